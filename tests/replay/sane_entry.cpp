// The SANE C API of the replay backend: one device, read from the listing the environment names.
#include <sane/sane.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "listing_reader.h"
#include "replay_handle.h"
#include "replay_settings.h"

#define REPLAY_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace tarnwick::replay;

struct Backend {
    ReplaySettings settings;
    std::unique_ptr<ReplayDevice> listed;
    std::string error;
    SANE_Device device{};
    const SANE_Device* devices[2] = {nullptr, nullptr};
    // sane_exit closes what is still open, as SANE has it.
    std::set<ReplayHandle*> open;
    ~Backend() {
        for (ReplayHandle* h : open) delete h;
    }
};

Backend* backend = nullptr;

// A listing that cannot be read fails loudly: the test that meant to replay it must not pass.
SANE_Status fail(const std::string& error) {
    std::fprintf(stderr, "sane-replay: %s\n", error.c_str());
    return SANE_STATUS_INVAL;
}

std::unique_ptr<ReplayDevice> load(Backend& b) {
    std::unique_ptr<ReplayDevice> device = readListingFile(b.settings.listing, b.error);
    if (device == nullptr) {
        b.error = b.settings.listing + ": " + b.error;
        return nullptr;
    }
    if (!b.settings.name.empty()) device->name = b.settings.name;
    return device;
}

ReplayHandle* handleOf(SANE_Handle handle) {
    return static_cast<ReplayHandle*>(handle);
}

}  // namespace

REPLAY_EXPORT SANE_Status sane_init(SANE_Int* version_code, SANE_Auth_Callback) {
    if (version_code != nullptr) *version_code = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, 0, 0);
    delete backend;
    backend = new Backend;
    if (!readSettings(backend->settings, backend->error)) return fail(backend->error);
    backend->listed = load(*backend);
    if (backend->listed == nullptr) return fail(backend->error);
    const ReplayDevice& listed = *backend->listed;
    backend->device = {listed.name.c_str(), listed.vendor.c_str(), listed.model.c_str(),
                       listed.type.c_str()};
    backend->devices[0] = &backend->device;
    return SANE_STATUS_GOOD;
}

REPLAY_EXPORT void sane_exit(void) {
    delete backend;
    backend = nullptr;
}

REPLAY_EXPORT SANE_Status sane_get_devices(const SANE_Device*** device_list, SANE_Bool) {
    if (backend == nullptr || device_list == nullptr) return SANE_STATUS_INVAL;
    *device_list = backend->devices;
    return SANE_STATUS_GOOD;
}

REPLAY_EXPORT SANE_Status sane_open(SANE_String_Const name, SANE_Handle* handle) {
    if (backend == nullptr || handle == nullptr) return SANE_STATUS_INVAL;
    if (backend->listed == nullptr) return fail(backend->error);
    std::string wanted = name != nullptr ? name : "";
    if (!wanted.empty() && wanted != backend->listed->name) return SANE_STATUS_INVAL;
    // Each open starts from the listing's values, as a device freshly opened does.
    std::unique_ptr<ReplayDevice> device = load(*backend);
    if (device == nullptr) return fail(backend->error);
    auto* opened = new ReplayHandle(std::move(device), backend->settings);
    backend->open.insert(opened);
    *handle = opened;
    return SANE_STATUS_GOOD;
}

REPLAY_EXPORT void sane_close(SANE_Handle handle) {
    if (backend != nullptr) backend->open.erase(handleOf(handle));
    delete handleOf(handle);
}

REPLAY_EXPORT const SANE_Option_Descriptor* sane_get_option_descriptor(SANE_Handle handle,
                                                                       SANE_Int option) {
    return handleOf(handle)->descriptor(option);
}

REPLAY_EXPORT SANE_Status sane_control_option(SANE_Handle handle, SANE_Int option,
                                              SANE_Action action, void* value, SANE_Int* info) {
    return handleOf(handle)->control(option, action, value, info);
}

REPLAY_EXPORT SANE_Status sane_get_parameters(SANE_Handle handle, SANE_Parameters* params) {
    return handleOf(handle)->parameters(params);
}

REPLAY_EXPORT SANE_Status sane_start(SANE_Handle handle) {
    return handleOf(handle)->start();
}

REPLAY_EXPORT SANE_Status sane_read(SANE_Handle handle, SANE_Byte* data, SANE_Int max_length,
                                    SANE_Int* length) {
    return handleOf(handle)->read(data, max_length, length);
}

REPLAY_EXPORT void sane_cancel(SANE_Handle handle) {
    handleOf(handle)->cancel();
}

REPLAY_EXPORT SANE_Status sane_set_io_mode(SANE_Handle, SANE_Bool non_blocking) {
    return non_blocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

REPLAY_EXPORT SANE_Status sane_get_select_fd(SANE_Handle, SANE_Int*) {
    return SANE_STATUS_UNSUPPORTED;
}

REPLAY_EXPORT SANE_String_Const sane_strstatus(SANE_Status status) {
    switch (status) {
        case SANE_STATUS_GOOD:
            return "Success";
        case SANE_STATUS_UNSUPPORTED:
            return "Operation not supported";
        case SANE_STATUS_CANCELLED:
            return "Operation was cancelled";
        case SANE_STATUS_DEVICE_BUSY:
            return "Device busy";
        case SANE_STATUS_INVAL:
            return "Invalid argument";
        case SANE_STATUS_EOF:
            return "End of file reached";
        case SANE_STATUS_JAMMED:
            return "Document feeder jammed";
        case SANE_STATUS_NO_DOCS:
            return "Document feeder out of documents";
        case SANE_STATUS_COVER_OPEN:
            return "Scanner cover is open";
        case SANE_STATUS_IO_ERROR:
            return "Error during device I/O";
        case SANE_STATUS_NO_MEM:
            return "Out of memory";
        case SANE_STATUS_ACCESS_DENIED:
            return "Access to resource has been denied";
    }
    return "Unknown SANE status code";
}
