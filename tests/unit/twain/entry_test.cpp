// DS_Entry: the registry rule for word-like applications, and no exception leaving the source.
#include <gtest/gtest.h>

#include <stdexcept>

#include "twain/entry.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

class Entry : public SourceTest {
  protected:
    TW_UINT16 enter(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
        return enterSource(*source, links, &application, DG, DAT, MSG, pData);
    }
    TW_UINT16 getIdentity() {
        TW_IDENTITY identity{};
        return enter(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity);
    }
    TW_UINT16 processEvent() {
        TW_EVENT event{nullptr, MSG_NULL};
        return enter(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }

    std::string removeWordKey = "Software\\Microsoft\\Office\\Word\\Twain";
    int settingReads = 0;
    std::vector<std::string> deletedKeys;
    WordKeyLinks links{[this] {
                           ++settingReads;
                           return removeWordKey;
                       },
                       [this](const std::string& path) {
                           deletedKeys.push_back(path);
                           return false;  // a failing deletion changes nothing
                       }};
};

TEST_F(Entry, BeforeTheFirstOpenEveryRequestButEventsDeletesTheKey) {
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_EQ(deletedKeys, std::vector<std::string>{removeWordKey});
    EXPECT_EQ(enter(DG_CONTROL, DAT_PARENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(deletedKeys.size(), 2u) << "unsupported requests count too";
    EXPECT_EQ(processEvent(), TWRC_NOTDSEVENT);
    EXPECT_EQ(enter(DG_CONTROL, DAT_EVENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(deletedKeys.size(), 2u);
    EXPECT_EQ(settingReads, 2) << "events never read the settings";
}

TEST_F(Entry, AnOrdinaryApplicationDeletesNothingFromOpeningToTheFirstNotification) {
    EXPECT_EQ(enter(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    deletedKeys.clear();  // the open request itself came before the identity was known
    TW_USERINTERFACE ui{1, 0, nullptr};
    EXPECT_EQ(enter(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_TRUE(deletedKeys.empty());

    source->notifyApplication(MSG_XFERREADY);
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_EQ(processEvent(), TWRC_DSEVENT);  // it carries the notification
    EXPECT_EQ(enter(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(deletedKeys.size(), 2u) << "from the first notification on, until the next open";

    EXPECT_EQ(enter(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    source->setState(4);
    EXPECT_EQ(enter(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(enter(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    deletedKeys.clear();
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_TRUE(deletedKeys.empty()) << "the new open brought the manufacturer back";
}

TEST_F(Entry, AnApplicationFromAWordMakerAlwaysDeletesTheKey) {
    application = applicationNamed("Microsoft Word Team");
    EXPECT_EQ(enter(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    deletedKeys.clear();
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_EQ(deletedKeys.size(), 2u);
}

TEST_F(Entry, TheWordTestIsCaseSensitiveAndBoundedByTheField) {
    TW_IDENTITY app{};
    setText(app.Manufacturer, "wordsmith");
    EXPECT_FALSE(isWordLike(app));
    setText(app.Manufacturer, "AWordB");
    EXPECT_TRUE(isWordLike(app));
    std::memset(app.Manufacturer, 'x', sizeof app.Manufacturer);  // no terminator
    EXPECT_FALSE(isWordLike(app));
    app.Manufacturer[0] = '\0';
    EXPECT_TRUE(isWordLike(app));
}

TEST_F(Entry, AnEmptySettingNeverDeletesAnything) {
    removeWordKey.clear();
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_EQ(getIdentity(), TWRC_SUCCESS);
    EXPECT_TRUE(deletedKeys.empty());
    EXPECT_EQ(settingReads, 2);
}

TEST_F(Entry, NoExceptionLeavesTheSource) {
    ASSERT_EQ(enter(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    TW_USERINTERFACE ui{1, 0, nullptr};
    scanner.showWindowThrows = 2;
    EXPECT_EQ(enter(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BUMMER);
    scanner.showWindowThrows = 1;
    EXPECT_EQ(enter(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_LOWMEMORY);

    links.readRemoveWordKey = []() -> std::string { throw std::runtime_error("settings"); };
    appIdentity.Manufacturer[0] = '\0';
    EXPECT_EQ(getIdentity(), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BUMMER);
}

TEST_F(Entry, TheProcessWideSourceAnswersThroughDsEntry) {
    TW_IDENTITY identity{};
    identity.Id = 5;
    EXPECT_EQ(dsEntry(&application, DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_STREQ(identity.ProductName, "Tarnwick");
    EXPECT_EQ(dsEntry(&application, DG_CONTROL, DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(processDataSource().conditionCode, TWCC_BADVALUE);
    EXPECT_EQ(processDataSource().state(), 3);
}

}  // namespace
}  // namespace tarnwick::testing
