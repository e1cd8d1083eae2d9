#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "escl/escl_capabilities.h"
#include "escl/escl_options.h"
#include "escl/escl_status.h"
#include "escl/scan_settings_xml.h"

namespace tarnwick {
namespace {

// What AirSane sends over the SANE test backend, trimmed: a 200 mm bed, grey and colour at 8
// and 16 bits, discrete resolutions, a feeder.
const char* kAirSane = R"(<?xml version='1.0' encoding='UTF-8'?>
<scan:ScannerCapabilities xmlns:pwg='http://www.pwg.org/schemas/2010/12/sm'
 xmlns:scan='http://schemas.hp.com/imaging/escl/2011/05/03'>
<pwg:Version>2.0</pwg:Version><pwg:MakeAndModel>Noname frontend-tester</pwg:MakeAndModel>
<scan:Platen><scan:PlatenInputCaps><scan:MinWidth>0</scan:MinWidth><scan:MinHeight>0</scan:MinHeight>
<scan:MaxWidth>2362</scan:MaxWidth><scan:MaxHeight>2362</scan:MaxHeight>
<scan:SettingProfiles><scan:SettingProfile name='0'><scan:ColorModes>
<scan:ColorMode>Grayscale8</scan:ColorMode><scan:ColorMode>Grayscale16</scan:ColorMode>
<scan:ColorMode>RGB24</scan:ColorMode><scan:ColorMode>RGB48</scan:ColorMode></scan:ColorModes>
<scan:SupportedResolutions><scan:DiscreteResolutions>
<scan:DiscreteResolution><scan:XResolution>300</scan:XResolution><scan:YResolution>300</scan:YResolution></scan:DiscreteResolution>
<scan:DiscreteResolution><scan:XResolution>75</scan:XResolution><scan:YResolution>75</scan:YResolution></scan:DiscreteResolution>
<scan:DiscreteResolution><scan:XResolution>150</scan:XResolution><scan:YResolution>300</scan:YResolution></scan:DiscreteResolution>
</scan:DiscreteResolutions></scan:SupportedResolutions>
<scan:DocumentFormats><pwg:DocumentFormat>image/jpeg</pwg:DocumentFormat>
<pwg:DocumentFormat>image/png</pwg:DocumentFormat></scan:DocumentFormats>
</scan:SettingProfile></scan:SettingProfiles></scan:PlatenInputCaps></scan:Platen>
<scan:Adf><scan:AdfSimplexInputCaps><scan:MaxWidth>2550</scan:MaxWidth><scan:MaxHeight>4200</scan:MaxHeight>
<scan:SettingProfiles><scan:SettingProfile><scan:ColorModes><scan:ColorMode>BlackAndWhite1</scan:ColorMode>
<scan:ColorMode>Grayscale8</scan:ColorMode></scan:ColorModes><scan:SupportedResolutions>
<scan:ResolutionRange/><scan:XResolutionRange><scan:Min>100</scan:Min><scan:Max>600</scan:Max>
<scan:Normal>300</scan:Normal><scan:Step>50</scan:Step></scan:XResolutionRange></scan:SupportedResolutions>
<scan:DocumentFormats><pwg:DocumentFormat>image/jpeg</pwg:DocumentFormat></scan:DocumentFormats>
</scan:SettingProfile></scan:SettingProfiles></scan:AdfSimplexInputCaps></scan:Adf>
<scan:BrightnessSupport><Min>-100</Min><Max>100</Max><Normal>0</Normal></scan:BrightnessSupport>
</scan:ScannerCapabilities>)";

EsclCapabilities airSane() {
    const XmlResult xml = parseXml(kAirSane);
    EXPECT_TRUE(xml.root) << xml.error;
    const auto caps = parseCapabilities(*xml.root);
    EXPECT_TRUE(caps);
    return *caps;
}

const OptionDescriptor& named(const std::vector<OptionDescriptor>& list, const std::string& name) {
    for (const OptionDescriptor& d : list)
        if (d.name == name) return d;
    static OptionDescriptor none;
    ADD_FAILURE() << "no option " << name;
    return none;
}

Word indexOf(const EsclOptions& options, const std::string& name) {
    return named(options.descriptors(), name).index;
}

TEST(EsclCapabilities, ReadsEachInputWithItsModesResolutionsAndFormats) {
    const EsclCapabilities caps = airSane();
    EXPECT_EQ(caps.makeAndModel, "Noname frontend-tester");
    ASSERT_TRUE(caps.platen && caps.adfSimplex);
    EXPECT_FALSE(caps.adfDuplex);
    EXPECT_EQ(caps.platen->maxWidth, 2362);
    // Unequal x and y resolutions are left out; the rest ascending.
    EXPECT_EQ(caps.platen->resolutions, (std::vector<int>{75, 300}));
    ASSERT_TRUE(caps.adfSimplex->resolutionRange);
    EXPECT_EQ(caps.adfSimplex->resolutionRange->step, 50);
    ASSERT_TRUE(caps.brightness);
    EXPECT_EQ(caps.brightness->min, -100);
}

TEST(EsclCapabilities, RefusesDocumentsWithoutAUsableInput) {
    for (const char* text : {"<html/>", "<ScannerCapabilities/>",
                             "<ScannerCapabilities><Platen><PlatenInputCaps><MaxWidth>10"
                             "</MaxWidth><MaxHeight>10</MaxHeight></PlatenInputCaps></Platen>"
                             "</ScannerCapabilities>"}) {
        const XmlResult xml = parseXml(text);
        ASSERT_TRUE(xml.root) << text;
        EXPECT_FALSE(parseCapabilities(*xml.root)) << text;
    }
}

TEST(EsclOptions, OffersTheModesDepthsResolutionsSourcesAndAreaInMillimetres) {
    EsclOptions options(airSane());
    const auto list = options.descriptors();
    EXPECT_EQ(named(list, "mode").stringList, (std::vector<std::string>{"Gray", "Color"}));
    EXPECT_EQ(named(list, "depth").wordList, (std::vector<Word>{8, 16}));
    EXPECT_EQ(named(list, "resolution").wordList, (std::vector<Word>{75, 300}));
    EXPECT_EQ(named(list, "source").stringList, (std::vector<std::string>{"Flatbed", "ADF"}));
    EXPECT_NEAR(fromFixedWord(named(list, "br-x").range.max), 2362 * 25.4 / 300, 1e-3);
    EXPECT_EQ(named(list, "brightness").range.min, -100);
    EXPECT_EQ(options.text(indexOf(options, "mode")), "Color");
}

TEST(EsclOptions, AnotherSourceBringsItsOwnModesAndResolutions) {
    EsclOptions options(airSane());
    Word info = 0;
    EXPECT_FALSE(options.setText(indexOf(options, "source"), "Camera", info));
    ASSERT_TRUE(options.setText(indexOf(options, "source"), "ADF", info));
    EXPECT_TRUE(info & SANE_INFO_RELOAD_OPTIONS);
    const auto list = options.descriptors();
    EXPECT_EQ(named(list, "mode").stringList, (std::vector<std::string>{"Lineart", "Gray"}));
    // Colour is gone: the first mode left.
    EXPECT_EQ(options.text(indexOf(options, "mode")), "Lineart");
    EXPECT_EQ(named(list, "depth").wordList, (std::vector<Word>{1}));
    EXPECT_EQ(named(list, "resolution").constraintType, SANE_CONSTRAINT_RANGE);
    EXPECT_EQ(options.request().format, "image/jpeg");
    EXPECT_TRUE(options.request().feeder);
}

TEST(EsclOptions, ValuesStayWithinTheirConstraints) {
    EsclOptions options(airSane());
    const Word resolution = indexOf(options, "resolution");
    struct Case {
        double asked, taken;
        bool inexact;
    } cases[] = {{300, 300, false}, {200, 300, true}, {10, 75, true}, {1e12, 300, true}};
    for (const Case& c : cases) {
        const Word info = options.setNumber(resolution, c.asked);
        EXPECT_EQ(options.number(resolution), c.taken) << c.asked;
        EXPECT_EQ((info & SANE_INFO_INEXACT) != 0, c.inexact) << c.asked;
    }
    const Word brx = indexOf(options, "br-x");
    EXPECT_TRUE(options.setNumber(brx, 500) & SANE_INFO_INEXACT);
    EXPECT_NEAR(options.number(brx), 2362 * 25.4 / 300, 1e-3);
}

TEST(EsclOptions, AskForTheAreaInThreeHundredthsOfAnInchAndPngWhereOffered) {
    EsclOptions options(airSane());
    options.setNumber(indexOf(options, "tl-x"), 25.4);
    options.setNumber(indexOf(options, "tl-y"), 50.8);
    options.setNumber(indexOf(options, "br-x"), 127);
    options.setNumber(indexOf(options, "br-y"), 101.6);
    options.setNumber(indexOf(options, "resolution"), 75);
    options.setNumber(indexOf(options, "depth"), 16);
    const EsclScanRequest request = options.request();
    EXPECT_EQ(request.x, 300);
    EXPECT_EQ(request.y, 600);
    EXPECT_EQ(request.width, 1200);
    EXPECT_EQ(request.height, 600);
    EXPECT_EQ(request.colorMode, ColorMode::rgb48);
    EXPECT_EQ(request.format, "image/png");
    const Parameters p = options.parameters();
    EXPECT_EQ(p.pixelsPerLine, 300);
    EXPECT_EQ(p.lines, 150);
    EXPECT_EQ(p.bytesPerLine, 300 * 6);
    const std::string xml = scanSettingsXml(request);
    for (const char* part :
         {"<pwg:Width>1200</pwg:Width>", "<pwg:XOffset>300</pwg:XOffset>",
          "<scan:ColorMode>RGB48</scan:ColorMode>", "<pwg:InputSource>Platen</pwg:InputSource>",
          "<scan:Brightness>0</scan:Brightness>"})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    EXPECT_TRUE(parseXml(xml).root);
}

TEST(EsclStatus, FeederStatesBecomeTheSaneStatusOfTheirFault) {
    const std::pair<const char*, Word> cases[] = {{"ScannerAdfJam", SANE_STATUS_JAMMED},
                                                  {"ScannerAdfEmpty", SANE_STATUS_NO_DOCS},
                                                  {"ScannerAdfHatchOpen", SANE_STATUS_COVER_OPEN},
                                                  {"ScannerAdfDoorOpen", SANE_STATUS_COVER_OPEN},
                                                  {"ScannerAdfMispick", SANE_STATUS_JAMMED},
                                                  {"ScannerAdfLoaded", SANE_STATUS_GOOD},
                                                  {"ScannerAdfProcessing", SANE_STATUS_GOOD},
                                                  {"SomethingNew", SANE_STATUS_GOOD}};
    for (const auto& [state, status] : cases) EXPECT_EQ(statusOfAdfState(state), status) << state;
    const XmlResult xml = parseXml(
        "<scan:ScannerStatus xmlns:scan='s' xmlns:pwg='p'><pwg:State>Idle</pwg:State>"
        "<scan:Jobs><scan:JobInfo><pwg:JobUri>/eSCL/ScanJobs/9</pwg:JobUri><pwg:JobState>"
        "Canceled</pwg:JobState><pwg:JobStateReasons><pwg:JobStateReason>JobCanceledByUser"
        "</pwg:JobStateReason></pwg:JobStateReasons></scan:JobInfo></scan:Jobs>"
        "</scan:ScannerStatus>");
    ASSERT_TRUE(xml.root);
    const auto status = parseStatus(*xml.root);
    ASSERT_TRUE(status && status->job("/eSCL/ScanJobs/9"));
    EXPECT_EQ(status->job("/eSCL/ScanJobs/9")->state, "Canceled");
    EXPECT_EQ(status->job("/eSCL/ScanJobs/9")->reasons.front(), "JobCanceledByUser");
}

}  // namespace
}  // namespace tarnwick
