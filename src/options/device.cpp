#include "options/device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/translate.h"
#include "options/option_factory.h"
#include "sane/status.h"
#include "widgets/auth_form.h"

namespace tarnwick {

Device::Device(Connection& connection, const DeviceRecord& record, Authorizer* authorizer)
    : channel_(connection),
      authorizer_(authorizer),
      connection_(connection),
      name_(record.name),
      vendor_(record.vendor),
      model_(record.model),
      type_(record.type) {}

Device::~Device() = default;

Authorizer& Device::authorizer() {
    if (authorizer_) return *authorizer_;
    if (!authForm_) authForm_ = std::make_unique<TFAuth>();
    return *authForm_;
}

void Device::report(const std::string& message, bool showError, bool fatal) const {
    tarnwick::report(connection_.statusCallback(), message, showError, fatal);
}

bool Device::open(Callback callback) {
    callback_ = std::move(callback);
    auto decode = [](WireReader& reader) { return decodeOpenReply(reader); };
    for (;;) {
        OpenReply reply = connection_.call(encodeOpen(name_), decodeOpenReply);
        handle_ = reply.handle;
        bool asked = false;
        std::optional<OpenReply> final = connection_.authorized(reply, authorizer(), decode, asked);
        if (!final) {
            if (!connection_.reader().failed())
                report(statusText(SANE_STATUS_ACCESS_DENIED), true, true);
            return false;
        }
        handle_ = final->handle;
        // Denied after a prompt: the password may have been mistyped, so the user is asked
        // again (and ends it by cancelling).
        if (final->status == SANE_STATUS_ACCESS_DENIED && asked) continue;
        if (final->status == SANE_STATUS_GOOD) {
            isOpen_ = true;
            parametersStale_ = true;
            if (callback_) callback_(parametersChanged);
            return true;
        }
        // The connection stays good: another device, or this one later, may still open.
        if (final->status == SANE_STATUS_INVAL)
            report(tr("Error opening device. You may need to reset the device."), true, false);
        else if (final->status <= SANE_STATUS_ACCESS_DENIED)
            report(statusText(final->status), true, false);
        else
            report(statusText(final->status), false, false);
        return false;
    }
}

void Device::close() {
    if (!isOpen_) return;
    connection_.call(encodeClose(handle_), decodeWordReply);
    isOpen_ = false;
}

void Device::loadParameters() {
    GetParametersReply reply =
        connection_.call(encodeGetParameters(handle_), decodeGetParametersReply);
    parametersValid_ = reply.status == SANE_STATUS_GOOD && !connection_.reader().failed();
    parameters_ = reply.parameters;
    parametersStale_ = false;
    if (!parametersValid_) report(tr("Invalid parameters"), false, false);
    if (callback_) callback_(parametersLoaded);
}

const Parameters& Device::parameters() const {
    // Reading them is what costs the round trip, so it happens here and once.
    if (parametersStale_ && isOpen_) const_cast<Device*>(this)->loadParameters();
    return parameters_;
}

bool Device::parametersValid() const {
    parameters();
    return parametersValid_;
}

const Device::OptionList& Device::loadOptions(bool reload, bool hideInactive) {
    if (optionsLoaded_ && !reload) return options_;
    report(tr("Retrieving option values"), false, false);
    OptionDescriptorsReply reply =
        connection_.call(encodeGetOptionDescriptors(handle_), decodeOptionDescriptorsReply);
    if (connection_.reader().failed()) return options_;
    if (optionsLoaded_) {
        // A reload renews capabilities and constraints. Options are matched by option number, which
        // stays right when null or skipped descriptors shift list positions; descriptors the first
        // load did not have are left out, as their titles and types were never loaded.
        for (const OptionDescriptor& descriptor : reply.descriptors) {
            auto it = std::find_if(options_.begin(), options_.end(), [&](const auto& option) {
                return option->index == descriptor.index;
            });
            if (it == options_.end()) continue;
            (*it)->capabilities = descriptor.cap;
            renewConstraint(**it, descriptor);
        }
        return options_;
    }
    for (const OptionDescriptor& descriptor : reply.descriptors)
        if (std::unique_ptr<Option> option = makeOption(descriptor, this, hideInactive))
            options_.push_back(std::move(option));
    optionsLoaded_ = true;
    return options_;
}

bool Device::controlOption(Option& option, Word action, Word valueType, Buffer& buffer) {
    // What the device would refuse never goes out.
    if (!option.isActive()) return false;
    if (action == SANE_ACTION_SET_VALUE && (option.capabilities & SANE_CAP_SOFT_SELECT) == 0)
        return false;
    bool numbers = valueType == SANE_TYPE_INT || valueType == SANE_TYPE_FIXED;
    std::size_t capacity = numbers ? buffer.words.size() : buffer.raw.size();
    const bool keeps = keepsAnswer(option, valueType);
    if (keeps && action == SANE_ACTION_GET_VALUE) {
        if (auto known = answers_.find(option.index); known != answers_.end()) {
            const Bytes& answer = known->second;
            std::fill(buffer.raw.begin(), buffer.raw.end(), 0);
            std::copy_n(answer.begin(), std::min(answer.size(), buffer.raw.size()),
                        buffer.raw.begin());
            return true;
        }
    }
    answers_.erase(option.index);
    auto decode = [&](WireReader& reader) {
        return decodeControlOptionReply(reader, valueType, capacity);
    };
    ControlOptionRequest request{handle_,   option.index, action,
                                 valueType, buffer.words, buffer.raw};
    int deniedWithoutAsking = 0;
    for (;;) {
        ControlOptionReply reply = connection_.call(encodeControlOption(request),
                                                    decodeControlOptionReply, valueType, capacity);
        bool asked = false;
        std::optional<ControlOptionReply> final =
            connection_.authorized(reply, authorizer(), decode, asked);
        if (!final) {
            if (!connection_.reader().failed())
                report(statusText(SANE_STATUS_ACCESS_DENIED), true, false);
            return false;
        }
        Word status = final->status;
        if (status == SANE_STATUS_ACCESS_DENIED) {
            // Without a prompt in between, the same request would be denied for ever.
            if (asked || ++deniedWithoutAsking < kMaxAccessDeniedRepeats) continue;
            report(statusText(status), true, false);
            return false;
        }
        if (status == SANE_STATUS_INVAL) return false;
        if (status != SANE_STATUS_GOOD) {
            bool quiet = (action == SANE_ACTION_GET_VALUE && status == SANE_STATUS_UNSUPPORTED) ||
                         status > SANE_STATUS_ACCESS_DENIED;
            report(statusText(status), !quiet, false);
            return false;
        }
        option.info = final->info;
        if (numbers) {
            std::copy_n(final->words.begin(), std::min(final->words.size(), buffer.words.size()),
                        buffer.words.begin());
        } else {
            // The decoder kept at most the buffer's size. A shorter text is NUL-padded so that
            // nothing of the text sent survives behind it.
            std::size_t got = std::min(final->raw.size(), buffer.raw.size());
            std::copy_n(final->raw.begin(), got, buffer.raw.begin());
            if (valueType == SANE_TYPE_STRING)
                std::fill(buffer.raw.begin() + static_cast<std::ptrdiff_t>(got), buffer.raw.end(),
                          0);
        }
        react(final->info, action);
        // A reload refreshes every option, this one too; its caller still sees this reply's info.
        option.info = final->info;
        if (keeps && action != SANE_ACTION_SET_AUTO &&
            (final->info & SANE_INFO_RELOAD_OPTIONS) == 0)
            answers_[option.index] = buffer.raw;
        return true;
    }
}

void Device::react(Word info, Word action) {
    if (info & SANE_INFO_INEXACT)
        report(tr("The value was modified by the scanner backend"), false, false);
    if (action == SANE_ACTION_GET_VALUE) return;
    if (info & SANE_INFO_RELOAD_OPTIONS) forgetDeviceValues();
    if ((info & SANE_INFO_RELOAD_OPTIONS) && !reloadEnabled_) reloadPending_ = true;
    if ((info & SANE_INFO_RELOAD_OPTIONS) && reloadEnabled_) {
        report(tr("Reloading option values"), false, false);
        loadOptions(true, false);
        for (const auto& option : options_) followReload(*option);
        if (callback_) callback_(optionsReloaded);
        report("0", false, false);
    }
    if (info & SANE_INFO_RELOAD_PARAMS) {
        report(tr("Reloading scanner parameters"), false, false);
        parametersStale_ = true;
        if (callback_) callback_(parametersChanged);
    }
}

bool Device::keepsAnswer(const Option& option, Word valueType) const {
    // A sensor's or an automatic option's value changes without anyone setting it.
    return (valueType == SANE_TYPE_STRING || valueType == SANE_TYPE_BOOL) &&
           (option.capabilities & SANE_CAP_SOFT_SELECT) != 0 && !option.isAutomatic() &&
           option.valueType() == valueType;
}

void Device::forgetDeviceValues() {
    answers_.clear();
    for (const auto& option : options_)
        if (auto* number = dynamic_cast<NumberOption*>(option.get())) number->deviceWords.clear();
}

void Device::setReloadEnabled(bool enabled) {
    reloadEnabled_ = enabled;
    if (!enabled || !reloadPending_) return;
    reloadPending_ = false;
    if (isOpen_ && optionsLoaded_) loadOptions(true, false);
}

bool Device::controlBool(Word action, Option& option, bool value) {
    Buffer buffer;
    buffer.words = {value ? 1 : 0};
    buffer.raw = {0, 0, 0, static_cast<std::uint8_t>(value ? 1 : 0)};
    if (!controlOption(option, action, SANE_TYPE_BOOL, buffer)) return value;
    return std::any_of(buffer.raw.begin(), buffer.raw.end(), [](std::uint8_t b) { return b != 0; });
}

namespace {

// Values typed or computed by the user can lie outside what a word holds; they are sent as the
// nearest word (the device then adjusts them) instead of an undefined conversion.
Word numberWord(double value, bool fixed) {
    if (std::isnan(value)) return 0;
    constexpr double lowest = std::numeric_limits<Word>::min();
    constexpr double highest = std::numeric_limits<Word>::max();
    const double scaled = std::clamp(fixed ? value * 65536.0 : value, lowest, highest);
    return fixed ? toFixedWord(scaled / 65536.0) : toIntWord(scaled);
}

void takeWords(NumberOption& option, const std::vector<Word>& words) {
    for (std::size_t i = 0; i < option.values.size(); ++i)
        option.values[i] = option.isFixed ? fromFixedWord(words[i]) : words[i];
}

// The device's answer is what it holds, unless the exchange failed or the device said the
// options may have changed (its reload has renewed the known words already).
void rememberAnswer(NumberOption& option, bool answered, const std::vector<Word>& words) {
    if (!answered)
        option.deviceWords.clear();
    else if ((option.info & SANE_INFO_RELOAD_OPTIONS) == 0)
        option.deviceWords = words;
}

// What the device holds already costs no round trip (the scan area at each scan, both axes'
// shared resolution).
bool holds(const NumberOption& option, const std::vector<Word>& words) {
    return option.deviceWords == words && option.isActive() &&
           (option.capabilities & SANE_CAP_SOFT_SELECT) != 0;
}

}  // namespace

void Device::controlNumbers(Word action, NumberOption& option) {
    Buffer buffer;
    for (double value : option.values) buffer.words.push_back(numberWord(value, option.isFixed));
    if (action == SANE_ACTION_SET_VALUE && holds(option, buffer.words)) {
        option.info = 0;
        takeWords(option, buffer.words);
        option.stale = false;
        return;
    }
    const bool answered = controlOption(option, action, option.valueType(), buffer);
    rememberAnswer(option, answered, buffer.words);
    takeWords(option, buffer.words);
    option.stale = !answered;
}

bool Device::setNumber(NumberOption& option, double value) {
    if (option.values.empty()) return false;
    Buffer buffer;
    for (double v : option.values) buffer.words.push_back(numberWord(v, option.isFixed));
    buffer.words.front() = numberWord(value, option.isFixed);
    const std::vector<Word> sent = buffer.words;
    if (holds(option, sent)) {
        takeWords(option, sent);
        option.stale = false;
        return true;
    }
    const bool answered = controlOption(option, SANE_ACTION_SET_VALUE, option.valueType(), buffer);
    rememberAnswer(option, answered, buffer.words);
    // A refused value leaves the option at the device's value.
    if (!answered) return false;
    takeWords(option, buffer.words);
    option.stale = false;
    return buffer.words == sent && (option.info & SANE_INFO_INEXACT) == 0;
}

std::string Device::controlString(Word action, Option& option, const std::string& text) {
    Buffer buffer;
    buffer.raw.assign(option.size > 0 ? static_cast<std::size_t>(option.size) : 0, 0);
    // Cut to size - 1 so that a NUL always ends the text.
    if (!buffer.raw.empty())
        std::copy_n(text.begin(), std::min(text.size(), buffer.raw.size() - 1), buffer.raw.begin());
    controlOption(option, action, SANE_TYPE_STRING, buffer);
    auto end = std::find(buffer.raw.begin(), buffer.raw.end(), 0);
    return std::string(buffer.raw.begin(), end);
}

bool Device::start() {
    if (!channel_.start(handle_, authorizer())) return false;
    loadParameters();
    return true;
}

bool Device::readData(void* buffer, std::size_t maxLength, std::size_t& length) {
    return channel_.readData(buffer, maxLength, length);
}

Device::FrameEnd Device::frameEnded() const {
    switch (channel_.endStatus()) {
        case SANE_STATUS_EOF:
            return FrameEnd::whole;
        case SANE_STATUS_CANCELLED:
            return FrameEnd::cancelled;
        default:
            return FrameEnd::failed;
    }
}

Word Device::failure() const {
    if (channel_.startStatus() != SANE_STATUS_GOOD) return channel_.startStatus();
    const Word end = channel_.endStatus();
    return end == SANE_STATUS_EOF ? Word{SANE_STATUS_GOOD} : end;
}

void Device::cancel() {
    channel_.cancel(handle_);
}

}  // namespace tarnwick
