// DAT_IDENTITY: the identity reported, opening (with its failures) and closing the source.
#include <gtest/gtest.h>

#include <new>

#include "twain/identity_text.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

class Identity : public SourceTest {};

TEST_F(Identity, GetFillsTheIdentityKeepsTheCallersIdAndRemembersIt) {
    TW_IDENTITY identity;
    std::memset(&identity, 0x5a, sizeof identity);
    identity.Id = 99;
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 99u);
    EXPECT_EQ(identity.Version.MajorNum, 1);
    EXPECT_EQ(identity.Version.MinorNum, 37);
    EXPECT_EQ(identity.Version.Language, TWLG_ENGLISH);
    EXPECT_EQ(identity.Version.Country, TWCY_USA);
    EXPECT_STREQ(identity.Version.Info, "Version 1.37");
    EXPECT_EQ(identity.ProtocolMajor, 2);
    EXPECT_EQ(identity.ProtocolMinor, 4);
    // A packed field: copied. DF_DS2 asks a TWAIN 2 manager for DAT_ENTRYPOINT.
    EXPECT_EQ(TW_UINT32{identity.SupportedGroups}, DG_CONTROL | DG_IMAGE | DF_DS2);
    EXPECT_STREQ(identity.Manufacturer, "Tarnwick project");
    EXPECT_STREQ(identity.ProductFamily, "Tarnwick bridge");
    EXPECT_STREQ(identity.ProductName, "Tarnwick");
    // The rest of each text field is cleared, not left as the caller's bytes.
    EXPECT_EQ(identity.ProductName[33], '\0');
    EXPECT_EQ(std::memcmp(&dsIdentity, &identity, sizeof identity), 0);
}

TEST_F(Identity, TextFieldsAreCutAndAlwaysTerminated) {
    TW_STR32 field;
    std::memset(field, 'x', sizeof field);
    const std::string longText(40, 'a');
    copyText(field, longText, 31);
    EXPECT_EQ(std::string(field), std::string(31, 'a'));
    EXPECT_EQ(field[33], '\0');
    copyText(field, longText, 32);
    EXPECT_EQ(std::string(field), std::string(32, 'a'));
    copyText(field, longText, 100);  // never past the terminator's place
    EXPECT_EQ(std::string(field).size(), 33u);
    EXPECT_EQ(cutText("Tarnwick", 3), "Tar");

    std::memset(field, 'W', sizeof field);  // an application that left out the NUL
    EXPECT_EQ(fieldText(field), std::string(34, 'W'));
}

class OpenClose : public SourceTest {};

TEST_F(OpenClose, OpeningCopiesTheApplicationTakesTheAssignedIdAndEntersStateFour) {
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 4);
    EXPECT_EQ(dsIdentity.Id, 42u);
    EXPECT_STREQ(appIdentity.Manufacturer, "Acme Imaging");
    EXPECT_EQ(appIdentity.Id, 7u);
    EXPECT_NE(source->scanner, nullptr);
    EXPECT_TRUE(shownBoxes().empty());

    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 3);
    EXPECT_EQ(source->scanner, nullptr);
    EXPECT_TRUE(scanner.destroyed);
}

TEST_F(OpenClose, ADeviceThatDoesNotOpenShowsTheErrorBoxAndLeavesTheSourceClosed) {
    scanner.deviceOpens = false;
    EXPECT_EQ(open(), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(source->state(), 3);
    EXPECT_EQ(source->scanner, nullptr);
    EXPECT_TRUE(scanner.destroyed);
    EXPECT_EQ(dsIdentity.Id, 0u);
    // The application's identity is taken whatever the outcome.
    EXPECT_STREQ(appIdentity.Manufacturer, "Acme Imaging");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].text, "Error opening device. You may need to reset the device.");
    EXPECT_EQ(shownBoxes()[0].kind, ui::BoxKind::Error);
    EXPECT_EQ(shownBoxes()[0].buttons, ui::BoxButtons::Ok);
    // The failure's code cannot be read back: DAT_STATUS is refused in state 3.
    TW_STATUS status{};
    EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    // A later attempt may succeed.
    scanner.deviceOpens = true;
    EXPECT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(scannersMade, 2);
}

TEST_F(OpenClose, WithoutAScannerOrWithoutMemoryTheSourceStaysClosed) {
    DataSource noScanner([](DataSource&) { return std::unique_ptr<Scanner>(); }, recordingDsm());
    EXPECT_EQ(noScanner.dispatch(&application, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned),
              TWRC_FAILURE);
    EXPECT_EQ(noScanner.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(shownBoxes().size(), 1u);

    DataSource noMemory([](DataSource&) -> std::unique_ptr<Scanner> { throw std::bad_alloc(); },
                        recordingDsm());
    EXPECT_EQ(noMemory.dispatch(&application, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned),
              TWRC_FAILURE);
    EXPECT_EQ(noMemory.conditionCode, TWCC_LOWMEMORY);
    EXPECT_EQ(noMemory.state(), 3);
    EXPECT_EQ(shownBoxes().size(), 1u) << "no box for an exhausted heap";
}

TEST_F(OpenClose, TheModulesOwnScannerFactoryOpensNoDeviceYet) {
    DataSource moduleSource;
    EXPECT_EQ(moduleSource.dispatch(&application, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned),
              TWRC_FAILURE);
    EXPECT_EQ(moduleSource.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(shownBoxes().size(), 1u);
}

TEST_F(OpenClose, TheApplicationIsCopiedOnlyWhenOpeningFromStateThree) {
    ASSERT_EQ(open(), TWRC_SUCCESS);
    application = applicationNamed("Someone Else");
    EXPECT_EQ(open(), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_STREQ(appIdentity.Manufacturer, "Acme Imaging");
}

TEST_F(OpenClose, ANullOriginIsRefusedBeforeAnythingIsCopied) {
    appIdentity = applicationNamed("Before");
    EXPECT_EQ(source->dispatch(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned),
              TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    EXPECT_STREQ(appIdentity.Manufacturer, "Before");
    EXPECT_EQ(scannersMade, 0);
    // Other requests do not read the origin.
    TW_IDENTITY identity{};
    EXPECT_EQ(source->dispatch(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity),
              TWRC_SUCCESS);
}

}  // namespace
}  // namespace tarnwick::testing
