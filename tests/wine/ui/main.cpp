// The Windows toolkit under Wine: without arguments it runs the tests; with
// "--show <form> --ready <file> --quit <file>" it shows a form, writes the ready file once the
// form is painted, and runs until the quit file appears (what tests/wine/screenshot uses). The
// product's forms are checked then for anything cut or covered: the ready file lists it.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "sample_forms.h"
#include "ui/backend.h"
#include "ui/win32/peers.h"
#include "wine/window/layout_check.h"

namespace {

int showForm(const std::string& name, const std::string& ready, const std::string& quit) {
    tarnwick::wine::PrivateSettings settings;
    std::unique_ptr<ui::Form> form = tarnwick::wine::makeForm(name);
    if (!form) {
        std::fprintf(stderr, "no form named %s in this build\n", name.c_str());
        return 2;
    }
    form->show();
    auto start = std::chrono::steady_clock::now();
    bool told = false, settled = false;
    while (!std::filesystem::exists(quit)) {
        ui::processPendingMessages();
        auto elapsed = std::chrono::steady_clock::now() - start;
        // Once the desktop has given the form the focus.
        if (!settled && elapsed > std::chrono::seconds(1)) {
            tarnwick::wine::afterShown(name, *form);
            settled = true;
        }
        if (!told && elapsed > std::chrono::seconds(2)) {
            std::ofstream out(ready);
            out << "shown at " << form->dpi() << " DPI\n";
            // The toolkit's own samples are placed by hand, as at 96 DPI.
            const ui::win32::WindowPeer* peer = ui::win32::peerOf(*form);
            if (peer && name != "widgets" && name != "picture")
                for (const std::string& fault : tarnwick::wine::cutTexts(peer->hwnd()))
                    out << name << ": cut: " << fault << "\n";
            told = true;
        }
        if (elapsed > std::chrono::minutes(3)) return 1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::string(argv[1]) == "--show" && std::string(argv[3]) == "--ready" &&
        std::string(argv[5]) == "--quit")
        return showForm(argv[2], argv[4], argv[6]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
