#include "escl/scan_settings_xml.h"

namespace tarnwick {

namespace {

std::string element(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
}

}  // namespace

std::string scanSettingsXml(const EsclScanRequest& r) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<scan:ScanSettings xmlns:pwg=\"http://www.pwg.org/schemas/2010/12/sm\" "
        "xmlns:scan=\"http://schemas.hp.com/imaging/escl/2011/05/03\">";
    xml += element("pwg:Version", "2.0");
    xml += element("scan:Intent", "TextAndGraphic");
    xml += "<pwg:ScanRegions pwg:MustHonor=\"true\"><pwg:ScanRegion>";
    xml += element("pwg:ContentRegionUnits", "escl:ThreeHundredthsOfInches");
    xml += element("pwg:Height", std::to_string(r.height));
    xml += element("pwg:Width", std::to_string(r.width));
    xml += element("pwg:XOffset", std::to_string(r.x));
    xml += element("pwg:YOffset", std::to_string(r.y));
    xml += "</pwg:ScanRegion></pwg:ScanRegions>";
    xml += element("pwg:InputSource", r.feeder ? "Feeder" : "Platen");
    if (r.feeder) xml += element("scan:Duplex", r.duplex ? "true" : "false");
    xml += element("scan:ColorMode", colorModeName(r.colorMode));
    xml += element("scan:XResolution", std::to_string(r.resolution));
    xml += element("scan:YResolution", std::to_string(r.resolution));
    xml += element("pwg:DocumentFormat", r.format);
    for (const auto& [name, value] : r.levels)
        xml += element((std::string("scan:") + name).c_str(), std::to_string(value));
    xml += "</scan:ScanSettings>";
    return xml;
}

}  // namespace tarnwick
