// One device of the SANE daemon, opened through the control connection: its handle, its
// options and their values, the frame parameters and the image data of its frames. It is the
// SANE network client's side of the scanner transport.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "options/number_option.h"
#include "options/option.h"
#include "options/scanner_transport.h"
#include "sane/authorization.h"
#include "sane/connection.h"
#include "sane/image_channel.h"
#include "sane/procedures.h"

namespace tarnwick {

class TFAuth;

class Device : public ScannerTransport {
  public:
    // The value sent with one control request and the value received into it: words for
    // integer and fixed-point values, raw bytes for booleans (one big-endian word) and texts.
    struct Buffer {
        std::vector<Word> words;
        Bytes raw;
    };

    // No traffic. The authorizer answers the daemon's requests for a user name and password;
    // without one the device asks the user with its own TFAuth dialog, made at the first request
    // and kept, so that a later prompt shows the texts typed before.
    Device(Connection& connection, const DeviceRecord& record, Authorizer* authorizer = nullptr);
    ~Device() override;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // SANE_NET_OPEN with the authorization exchange; the frame parameters follow when read.
    bool open(Callback callback) override;
    // SANE_NET_CLOSE when open.
    void close() override;
    // SANE_NET_GET_PARAMETERS into parameters(); tells the callback parametersLoaded.
    void loadParameters() override;
    // The option list, fetched once; with reload, a fresh descriptor list replaces only the
    // capabilities of the options already known.
    const OptionList& loadOptions(bool reload, bool hideInactive) override;
    // One SANE_NET_CONTROL_OPTION exchange and the reactions to its info bits. True when the
    // device answered with a value (the buffer then holds it).
    bool controlOption(Option& option, Word action, Word valueType, Buffer& buffer);

    bool controlBool(Word action, Option& option, bool value) override;
    void controlNumbers(Word action, NumberOption& option) override;
    // Sets the first value; false when the device refused it or took another (the option then
    // holds the device's value).
    bool setNumber(NumberOption& option, double value) override;
    std::string controlString(Word action, Option& option, const std::string& text) override;
    // With reloads off (while saved values are applied) a reload the daemon asks for is put off;
    // switching them on again fetches the descriptors then, without refreshing any control:
    // saned refuses further control requests until the descriptors have been fetched again.
    void setReloadEnabled(bool enabled) override;

    // The image data of a frame (see ImageChannel): start loads the frame parameters once
    // the frame has begun.
    bool start() override;
    bool readData(void* buffer, std::size_t maxLength, std::size_t& length) override;
    FrameEnd frameEnded() const override;
    Word failure() const override;
    bool littleEndianSamples() const override { return channel_.littleEndianSamples(); }
    void rowCompleted() override { channel_.rowCompleted(); }
    void setWaitHook(WaitHook hook) override { channel_.setWaitHook(std::move(hook)); }
    void cancel() override;

    Word handle() const { return handle_; }
    const OptionList& options() const override { return options_; }
    const Parameters& parameters() const override;
    bool parametersValid() const override;
    bool isOpen() const override { return isOpen_; }
    bool reloadEnabled() const { return reloadEnabled_; }
    Connection& connection() const { return connection_; }
    const std::string& name() const override { return name_; }
    const std::string& vendor() const { return vendor_; }
    const std::string& model() const { return model_; }
    const std::string& type() const { return type_; }

  private:
    Authorizer& authorizer();
    void report(const std::string& message, bool showError, bool fatal) const;
    void react(Word info, Word action);
    // After the device said any option may have changed: no value is known until read again.
    void forgetDeviceValues();

    // A text or boolean the device answered for a settable option, by option number: read
    // again only after the device said the options may have changed.
    bool keepsAnswer(const Option& option, Word valueType) const;
    std::map<Word, Bytes> answers_;

    Word handle_ = 0;
    OptionList options_;
    bool optionsLoaded_ = false;
    ImageChannel channel_;
    Callback callback_;
    Authorizer* authorizer_;
    std::unique_ptr<TFAuth> authForm_;
    bool reloadEnabled_ = true;
    bool reloadPending_ = false;
    bool isOpen_ = false;
    Connection& connection_;
    Parameters parameters_;
    bool parametersValid_ = false;
    // Changed since last fetched: most changes are followed by others before anyone reads them.
    bool parametersStale_ = true;
    std::string name_, vendor_, model_, type_;
};

}  // namespace tarnwick
