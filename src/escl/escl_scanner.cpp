// The scanner's opening and its options; the pages are in escl_pages.cpp.
#include "escl/escl_scanner.h"

#include <bit>

#include "base/debug_log.h"
#include "base/translate.h"
#include "escl/xml_reader.h"
#include "options/number_option.h"
#include "options/option_factory.h"

namespace tarnwick {

EsclScanner::EsclScanner(std::string url, StatusCallback report)
    : url_(std::move(url)), report_(std::move(report)), address_(parseEsclUrl(url_)) {
    if (address_) http_ = std::make_unique<HttpConnection>(address_->host, address_->port);
}

EsclScanner::~EsclScanner() {
    close();
}

HttpReply EsclScanner::get(const std::string& path, std::size_t maxBody) {
    return http_->request("GET", path, {}, {}, maxBody);
}

bool EsclScanner::open(Callback callback) {
    callback_ = std::move(callback);
    if (!http_) {
        tarnwick::report(report_, tr("Error establishing connection to host"), true, false);
        return false;
    }
    tarnwick::report(report_, tr("Retrieving option values"), false, false);
    HttpReply reply;
    if (!untilNotBusy(
            [&] { return get(address_->basePath + "/ScannerCapabilities", kMaxXmlBytes); }, reply))
        return false;
    if (!reply.ok() || reply.status() != 200) {
        reportHttp(reply);
        return false;
    }
    const XmlResult xml = parseXml(
        std::string_view(reinterpret_cast<const char*>(reply.body.data()), reply.body.size()));
    std::optional<EsclCapabilities> caps;
    if (xml.root) caps = parseCapabilities(*xml.root);
    if (!caps) {
        debugLog("eSCL capabilities refused: %s\n", xml.error.c_str());
        tarnwick::report(report_, tr("The scanner's answer could not be understood"), true, false);
        return false;
    }
    options_ = std::make_unique<EsclOptions>(std::move(*caps));
    loadParameters();
    return true;
}

void EsclScanner::close() {
    if (!options_) return;
    // A feeder job may still hold pages; left open it would block the next client.
    if (pageWhole_ && !job_.empty() && !jobFeeder_) finishJob();
    deleteJob();
    if (http_) http_->close();
    options_.reset();
}

void EsclScanner::loadParameters() {
    parameters_ = options_->parameters();
    if (callback_) callback_(parametersLoaded);
}

const EsclScanner::OptionList& EsclScanner::loadOptions(bool reload, bool hideInactive) {
    if (!options_) return list_;
    if (!list_.empty() && !reload) return list_;
    const std::vector<OptionDescriptor> descriptors = options_->descriptors();
    if (list_.empty()) {
        for (const OptionDescriptor& d : descriptors)
            if (std::unique_ptr<Option> option = makeOption(d, this, hideInactive))
                list_.push_back(std::move(option));
        return list_;
    }
    for (const OptionDescriptor& d : descriptors)
        for (const auto& option : list_)
            if (option->index == d.index) renewConstraint(*option, d);
    return list_;
}

void EsclScanner::react(Word info) {
    if ((info & SANE_INFO_RELOAD_OPTIONS) && !reloadEnabled_) reloadPending_ = true;
    if ((info & SANE_INFO_RELOAD_OPTIONS) && reloadEnabled_) {
        loadOptions(true, false);
        for (const auto& option : list_)
            if (!option->restored) option->refresh();
        if (callback_) callback_(optionsReloaded);
    }
    if (info & SANE_INFO_RELOAD_PARAMS) loadParameters();
}

void EsclScanner::setReloadEnabled(bool enabled) {
    reloadEnabled_ = enabled;
    if (!enabled || !reloadPending_) return;
    reloadPending_ = false;
    loadOptions(true, false);
}

bool EsclScanner::controlBool(Word, Option&, bool value) {
    return value;
}

void EsclScanner::controlNumbers(Word action, NumberOption& option) {
    if (!options_ || option.values.empty()) return;
    if (action == SANE_ACTION_SET_VALUE) {
        option.info = options_->setNumber(option.index, option.values.front());
        option.values.front() = options_->number(option.index);
        react(option.info);
    }
    for (double& value : option.values) value = options_->number(option.index);
}

bool EsclScanner::setNumber(NumberOption& option, double value) {
    if (!options_ || option.values.empty()) return false;
    option.info = options_->setNumber(option.index, value);
    for (double& v : option.values) v = options_->number(option.index);
    react(option.info);
    return (option.info & SANE_INFO_INEXACT) == 0;
}

std::string EsclScanner::controlString(Word action, Option& option, const std::string& text) {
    if (!options_) return text;
    if (action == SANE_ACTION_SET_VALUE) {
        Word info = 0;
        if (options_->setText(option.index, text, info)) {
            option.info = info;
            react(info);
        }
    }
    return options_->text(option.index);
}

bool EsclScanner::littleEndianSamples() const {
    // The decoders give 16-bit samples in the machine's order.
    return std::endian::native == std::endian::little;
}

void EsclScanner::setWaitHook(WaitHook hook) {
    waitHook_ = hook;
    if (http_) http_->setWaitHook(std::move(hook));
}

}  // namespace tarnwick
