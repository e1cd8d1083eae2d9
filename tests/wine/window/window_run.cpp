// The scanning window under Wine, driven as an application and a user would: the source opened
// and enabled with its user interface, a preview taken, two regions drawn with the mouse, and
// the batch of both regions taken by native transfers; then, opened again, the source disabled
// and closed by the application from a message handled inside a read. With "pages" it shows, after
// the window at first start, each option page and the About box instead, in the settings' language.
//   tarnwick-wine-window <settings folder> <ready file> <shot file> <result file> [pages]
// For each photograph the ready file appears holding its name; the program goes on once the
// shot file exists. It writes its outcome to the result file: "images N" and one line per image,
// the answers to the close inside the read, every text it found cut, and every bar of the top
// dock that the toolkit places elsewhere than the screen shows it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "host_awareness.h"
#include "layout_check.h"
#include "support/scoped_environment.h"
#include "support/window_controls.h"
#include "twain/data_source.h"
#include "twain/open_scanner.h"
#include "ui/backend.h"
#include "ui/win32/peers.h"
#include "window/preview_form.h"

namespace {

using namespace tarnwick;
using tarnwick::testing::control;
using tarnwick::testing::popupMenu;

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

class Photographer {
  public:
    Photographer(std::string ready, std::string shot, std::ostream& result)
        : ready_(std::move(ready)), shot_(std::move(shot)), result_(result) {}

    // Notes the texts the form cuts, then has the screen photographed.
    bool take(const std::string& name, ui::Form& form) {
        pumpUntil([] { return false; }, std::chrono::seconds(2));
        if (ui::win32::WindowPeer* peer = ui::win32::peerOf(form))
            for (const std::string& fault : wine::cutTexts(peer->hwnd())) {
                result_ << name << ": cut: " << fault << "\n";
                ++faults;
            }
        // Whole when it appears: written aside, then renamed.
        std::ofstream(ready_ + ".part") << name;
        std::filesystem::rename(ready_ + ".part", ready_);
        if (!pumpUntil([&] { return std::filesystem::exists(shot_); }, std::chrono::seconds(120))) {
            result_ << "no screenshot was taken of " << name << "\n";
            return false;
        }
        std::filesystem::remove(shot_);
        return true;
    }
    int faults = 0;

  private:
    std::string ready_, shot_;
    std::ostream& result_;
};

// The window at first start: centred on the work area and whole on it, with a preview to use.
bool placedForFirstStart(TFPreview& w, std::ostream& result) {
    RECT area, frame;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(ui::win32::peerOf(w)->hwnd(), &frame);
    result << "window at " << frame.left << "," << frame.top << ", " << frame.right - frame.left
           << "x" << frame.bottom - frame.top << "\n";
    const ui::Rect view = control<ui::ScrollBox>(w, "ImageScrollBox").clientRect();
    const bool inside = frame.left >= area.left && frame.top >= area.top &&
                        frame.right <= area.right && frame.bottom <= area.bottom;
    const bool centred = std::abs((frame.left + frame.right) - (area.left + area.right)) <= 32 &&
                         std::abs((frame.top + frame.bottom) - (area.top + area.bottom)) <= 32;
    if (inside && centred && view.height() >= 300) return true;
    result << "not placed for a first start; preview " << view.width() << "x" << view.height()
           << "\n";
    return false;
}

// Each bar of the top dock lies in the toolkit where the rebar shows it, so that Ctrl+S finds the
// control the user points at.
bool barsWhereShown(TFPreview& w, const char* when, std::ostream& result) {
    ui::CoolBar& dock = control<ui::CoolBar>(w, "TopDock");
    bool same = true;
    for (std::size_t i = 0; i < dock.bandCount(); ++i) {
        ui::Control& bar = *dock.band(i).control;
        ui::win32::WindowPeer* peer = ui::win32::peerOf(bar);
        if (!bar.visible() || !peer) continue;
        RECT shown;
        GetWindowRect(peer->hwnd(), &shown);
        const ui::Rect placed = bar.screenRect();
        if (placed.left == shown.left && placed.top == shown.top && placed.right == shown.right)
            continue;
        result << when << ": " << bar.name() << " at " << placed.left << "," << placed.top << "-"
               << placed.right << " in the toolkit, at " << shown.left << "," << shown.top << "-"
               << shown.right << " on the screen\n";
        same = false;
    }
    return same;
}

// The tool bar with large icons, and back on small ones.
bool switchIcons(TFPreview& w, Photographer& camera) {
    for (bool large : {true, false}) {
        // The first entry, "Use large icons" in whatever language the window speaks.
        popupMenu(w, "OptionsPopup").item(0).setChecked(large);
        w.LargeIconsClick(true);
        if (!camera.take(large ? "large-icons" : "small-icons", w)) return false;
    }
    return true;
}

// Each option page in turn, then the About box.
bool showPages(TFPreview& w, Photographer& camera) {
    control<ui::PageControl>(w, "PreviewAndOptions")
        .setActivePage(&control<ui::TabSheet>(w, "Options"));
    ui::PageControl& pages = control<ui::PageControl>(w, "OptionPages");
    for (int i = 0; i < pages.pageCount(); ++i) {
        pages.setActivePage(&pages.page(i));
        if (!camera.take("options-" + std::to_string(i + 1), w)) return false;
    }
    TFAbout& about = w.aboutBox();
    about.show();
    const bool taken = camera.take("about", about);
    about.hide();
    return taken;
}

// The application ends the session from a message the window handles while it reads: both
// triplets succeed and the read unwinds on a window that still exists.
bool closeWhileReading(DataSource& source, TW_IDENTITY& application, TW_IDENTITY& identity,
                       std::ostream& result) {
    TW_USERINTERFACE userInterface{TRUE, FALSE, nullptr};
    const auto call = [&](TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return source.dispatch(&application, DG_CONTROL, DAT, MSG, data);
    };
    if (call(DAT_IDENTITY, MSG_OPENDS, &identity) != TWRC_SUCCESS ||
        call(DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface) != TWRC_SUCCESS) {
        result << "the source did not open again\n";
        return false;
    }
    TFPreview& w = static_cast<OpenScanner&>(*source.scanner).window();
    if (!pumpUntil([&] { return w.visible() && w.session().scanner(); },
                   std::chrono::seconds(30))) {
        result << "the scanning window did not open again\n";
        return false;
    }
    std::vector<TW_UINT16> answers;
    bool given = false;  // ends the waiting when no read ever starts
    std::function<void()> closeInRead = [&] {
        if (given) return;
        if (!w.session().reading()) return ui::backend().post(closeInRead);
        given = true;
        answers.push_back(call(DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface));
        answers.push_back(call(DAT_IDENTITY, MSG_CLOSEDS, &identity));
    };
    ui::backend().post(closeInRead);
    control<ui::ToolButton>(w, "BScan").userClick();
    given = true;
    result << "closed while reading:";
    for (TW_UINT16 rc : answers) result << " " << rc;
    result << ", state " << source.state() << "\n";
    return answers == std::vector<TW_UINT16>{TWRC_SUCCESS, TWRC_SUCCESS} && source.state() == 3;
}

// What the host reads of its DPI awareness while the scanning window is open.
std::string awarenessWhileOpen;

int run(const std::string& settings, Photographer& camera, bool pages, std::ostream& result) {
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
    TFPreview& w = static_cast<OpenScanner&>(*source.scanner).window();
    if (!pumpUntil([&] { return w.visible() && w.session().scanner(); },
                   std::chrono::seconds(30))) {
        result << "the scanning window did not open on the device\n";
        return 1;
    }
    if (pages) {
        const bool placed = placedForFirstStart(w, result);
        if (!camera.take("first-start", w)) return 1;
        const bool barsAtFirst = barsWhereShown(w, "first start", result);
        if (!switchIcons(w, camera)) return 1;
        const bool barsAfterIcons = barsWhereShown(w, "icons switched", result);
        if (!showPages(w, camera)) return 1;
        return placed && barsAtFirst && barsAfterIcons && camera.faults == 0 ? 0 : 1;
    }
    control<ui::ToolButton>(w, "BPreview").userClick();
    if (!pumpUntil([&] { return w.previewBitmap.width() > 0 && !w.session().reading(); },
                   std::chrono::seconds(60))) {
        result << "no preview\n";
        return 1;
    }
    const int width = control<ui::PaintBox>(w, "PaintBox").width(),
              height = control<ui::PaintBox>(w, "PaintBox").height();
    drag(control<ui::PaintBox>(w, "PaintBox"), {width / 10, height / 10}, {width / 2, height / 3});
    drag(control<ui::PaintBox>(w, "PaintBox"), {width * 6 / 10, height / 2},
         {width * 9 / 10, height * 9 / 10});
    if (w.session().regions.regionCount != 2) {
        result << "regions drawn: " << w.session().regions.regionCount << "\n";
        return 1;
    }
    if (!camera.take("window", w)) return 1;
    awarenessWhileOpen = wine::hostAwareness();

    control<ui::ToolButton>(w, "BScan").userClick();
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
    const bool closed = closeWhileReading(source, application, identity, result);
    return count == 2 && closed && camera.faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool pages = argc == 6 && std::string(argv[5]) == "pages";
    if (argc != 5 && !pages) {
        std::fprintf(stderr, "usage: %s SETTINGS READY SHOT RESULT [pages]\n", argv[0]);
        return 2;
    }
    std::ostringstream result;
    Photographer camera(argv[2], argv[3], result);
    // The source works in the host's process: its awareness stays the host's throughout.
    const std::string before = tarnwick::wine::hostAwareness();
    int status = run(argv[1], camera, pages, result);
    const std::string after = tarnwick::wine::hostAwareness();
    result << "DPI awareness before: " << before
           << "; window open: " << (pages ? before : awarenessWhileOpen) << "; after: " << after
           << "\n";
    if (after != before || (!pages && awarenessWhileOpen != before)) status = 1;
    std::ofstream(argv[4]) << result.str() << "status " << status << "\n";
    return status;
}
