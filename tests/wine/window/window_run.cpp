// The scanning window under Wine, driven as an application and a user would: the source opened
// and enabled with its user interface, a preview taken, two regions drawn with the mouse, and
// the batch of both regions taken by native transfers.
//   tarnwick-wine-window <settings folder> <ready file> <shot file> <result file>
// The ready file appears when the window shows its preview and regions; the program scans once
// the shot file exists (the screenshot is taken in between) and writes its outcome to the
// result file: "images N" and one line per image.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "support/preview_probe.h"
#include "support/scoped_environment.h"
#include "twain/data_source.h"
#include "twain/sane_device.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace {

using namespace tarnwick;

std::vector<TW_UINT16> received;  // what the source sent to the application

TW_UINT16 TW_CALLINFO managerEntry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32 DG, TW_UINT16 DAT,
                                   TW_UINT16 MSG, TW_MEMREF) {
    if (DG == DG_CONTROL && DAT == DAT_NULL) received.push_back(MSG);
    return TWRC_SUCCESS;
}

// The program is its own manager: no manager library, its own entry point.
DsmLink ownManager() {
    DsmLink::Loader loader;
    loader.libraryNames = [] { return std::span<const char* const>(); };
    loader.loadLibrary = [](const char*) -> platform::LibraryHandle { return nullptr; };
    loader.findFunction = [](platform::LibraryHandle, const char*) -> platform::FunctionAddress {
        return nullptr;
    };
    loader.findProcessFunction = [](const char*) {
        return reinterpret_cast<platform::FunctionAddress>(&managerEntry);
    };
    return DsmLink(loader);
}

// Runs the message loop until `done` holds or the time is up.
bool pumpUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        ui::processPendingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

void drag(ui::Control& c, ui::Point from, ui::Point to) {
    const auto at = [](ui::Point p) { return ui::MouseEvent{ui::MouseButton::Left, 0, p.x, p.y}; };
    c.userMouseMove(at(from));
    c.userMouseDown(at(from));
    c.userMouseMove(at(to));
    c.userMouseUp(at(to));
}

int run(const std::string& settings, const std::string& ready, const std::string& shot,
        std::ostream& result) {
    testing_support::ScopedEnvironment environment;
    for (const char* name : {"ALLUSERSPROFILE", "APPDATA"}) environment.unset(name);
    environment.set("USERPROFILE", settings);

    DataSource source(createScanner, ownManager());
    TW_IDENTITY application{};
    application.Id = 1;
    TW_IDENTITY identity{};
    if (source.dispatch(&application, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) !=
        TWRC_SUCCESS) {
        result << "the source did not open\n";
        return 1;
    }
    TW_USERINTERFACE userInterface{TRUE, FALSE, nullptr};
    if (source.dispatch(&application, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS,
                        &userInterface) != TWRC_SUCCESS) {
        result << "the source was not enabled\n";
        return 1;
    }
    TFPreview& w = static_cast<SaneDevice&>(*source.scanner).window();
    if (!pumpUntil([&] { return w.visible() && w.device; }, std::chrono::seconds(30))) {
        result << "the scanning window did not open on the device\n";
        return 1;
    }
    // The window keeps the place it had (none yet: the corner); moved into view for the photograph.
    w.setBounds(60, 60, w.width(), w.height());
    probe(w).BPreview.userClick();
    if (!pumpUntil([&] { return w.previewBitmap.width() > 0 && !probe(w).readingImage; },
                   std::chrono::seconds(60))) {
        result << "no preview\n";
        return 1;
    }
    const int width = probe(w).PaintBox.width(), height = probe(w).PaintBox.height();
    drag(probe(w).PaintBox, {width / 10, height / 10}, {width / 2, height / 3});
    drag(probe(w).PaintBox, {width * 6 / 10, height / 2}, {width * 9 / 10, height * 9 / 10});
    if (w.regions.regionCount != 2) {
        result << "regions drawn: " << w.regions.regionCount << "\n";
        return 1;
    }
    pumpUntil([] { return false; }, std::chrono::seconds(2));
    result << "window at " << w.left() << "," << w.top() << ", " << w.width() << "x" << w.height()
           << "\n";
    std::ofstream(ready) << "window\n";
    if (!pumpUntil([&] { return std::filesystem::exists(shot); }, std::chrono::seconds(120))) {
        result << "no screenshot was taken\n";
        return 1;
    }

    w.BScan.userClick();
    if (!pumpUntil([] { return !received.empty(); }, std::chrono::seconds(120)) ||
        received.front() != MSG_XFERREADY) {
        result << "no MSG_XFERREADY\n";
        return 1;
    }
    std::ostringstream images;
    int count = 0;
    TW_PENDINGXFERS pending{1, 0};
    while (pending.Count != 0 && count < 10) {
        TW_IMAGEINFO info{};
        if (source.dispatch(&application, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS)
            break;
        TW_HANDLE bitmap = nullptr;
        const TW_UINT16 rc =
            source.dispatch(&application, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap);
        if (bitmap) GlobalFree(static_cast<HGLOBAL>(bitmap));
        if (rc != TWRC_XFERDONE) break;
        ++count;
        images << "image " << count << ": " << info.ImageWidth << "x" << info.ImageLength << "\n";
        source.dispatch(&application, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    }
    source.dispatch(&application, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface);
    source.dispatch(&application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
    result << "images " << count << "\n" << images.str();
    return count == 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SETTINGS READY SHOT RESULT\n", argv[0]);
        return 2;
    }
    std::ostringstream result;
    const int status = run(argv[1], argv[2], argv[3], result);
    std::ofstream(argv[4]) << result.str() << "status " << status << "\n";
    return status;
}
