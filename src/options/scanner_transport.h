// What the scan session and the option model use of a scanner, whatever protocol reaches it:
// its option descriptors and value exchanges, and the frames of an image. The SANE network
// client (`Device`) is one implementation; another protocol plugs in here without a change to
// the session, the window or the TWAIN side.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/option.h"
#include "options/option_device.h"
#include "sane/procedures.h"

namespace tarnwick {

class NumberOption;

class ScannerTransport : public OptionDevice {
  public:
    // parametersChanged: the device said the next frame's parameters changed; they are fetched
    // when next read (parameters(), loadParameters()), which tells parametersLoaded.
    enum Event { optionsReloaded = 0, parametersLoaded = 1, parametersChanged = 2 };
    using Callback = std::function<void(int event)>;
    using OptionList = std::vector<std::unique_ptr<Option>>;
    // Called while a read waits for data; false stops the wait.
    using WaitHook = std::function<bool()>;

    // Opens the scanner and loads the frame parameters; the callback hears of reloads.
    virtual bool open(Callback callback) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The name the scanner was opened by.
    virtual const std::string& name() const = 0;

    // The option list, fetched once; with reload, fresh descriptors replace only the
    // capabilities of the options already known.
    virtual const OptionList& loadOptions(bool reload, bool hideInactive) = 0;
    virtual const OptionList& options() const = 0;
    // Sets the first value; false when the scanner refused it or took another.
    virtual bool setNumber(NumberOption& option, double value) = 0;
    // Off while saved values are applied: a reload asked for meanwhile is done when switched on.
    virtual void setReloadEnabled(bool enabled) = 0;

    // The parameters of the next (or current) frame; fetched first when the device changed them.
    virtual const Parameters& parameters() const = 0;
    virtual void loadParameters() = 0;
    virtual bool parametersValid() const = 0;
    // Begins a frame; its parameters are loaded once it has begun.
    virtual bool start() = 0;
    // The next bytes of the frame; false at its end or on a failure (see frameEnded).
    virtual bool readData(void* buffer, std::size_t maxLength, std::size_t& length) = 0;
    // How the last frame ended: whole, stopped by a cancel, or failed.
    enum class FrameEnd { whole, cancelled, failed };
    virtual FrameEnd frameEnded() const = 0;
    // Why the last start or frame failed, as a SANE status (SANE_STATUS_GOOD: it did not);
    // read when start or readData has just failed.
    virtual Word failure() const = 0;
    virtual bool littleEndianSamples() const = 0;
    // A row of the frame arrived: the read is not stalled.
    virtual void rowCompleted() = 0;
    virtual void setWaitHook(WaitHook hook) = 0;
    virtual void cancel() = 0;

    // The option with this name, or none.
    Option* findOption(const std::string& name) const;
};

}  // namespace tarnwick
