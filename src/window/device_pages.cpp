// Opening a device: option roles, the scan area, one page per option group, the compact mode and
// resolution controls, the per-option tool bars and their menu; the top dock's furniture and
// tearing pages off into floating windows.
#include <algorithm>
#include <cstdlib>

#include "base/debug_log.h"
#include "base/translate.h"
#include "options/number_option.h"
#include "settings/properties.h"
#include "settings/settings_location.h"
#include "ui/backend.h"
#include "widgets/float_form.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

constexpr std::size_t kFirstOptionEntry = 2;  // after LargeIcons and the separator
// A band width read from the settings file, at 96 DPI: no screen is wider.
constexpr int kMaxBandWidth = 20000;

}  // namespace

void TFPreview::removeOptionControls() {
    for (std::size_t i = OptionsPopup.count(); i-- > kFirstOptionEntry;) {
        auto tag = static_cast<std::size_t>(OptionsPopup.item(i).tag());
        if (device() && tag < device()->options().size()) {
            Option& option = *device()->options()[tag];
            if (option.toolbar) {
                if (option.control && option.homeParent)
                    option.control->setParent(*option.homeParent);
                TopDock.removeBand(*option.toolbar);
                option.toolbar->destroy();
                option.toolbar = nullptr;
                option.homeParent = nullptr;
            }
        }
        OptionsPopup.remove(i);
    }
    if (device())
        for (const auto& option : device()->options()) option->destroyControl();
    // Tool bars left by the options of a device dropped after a fatal report.
    for (std::size_t i = TopDock.childCount(); i-- > 0;) {
        ui::Control& bar = TopDock.child(i);
        if (&bar == &TZoom || &bar == &TScanMode || &bar == &TResolution || &bar == &TDevice)
            continue;
        TopDock.removeBand(bar);
        bar.destroy();
    }
}

bool TFPreview::openDevice(const std::string& name) {
    if (name.empty()) {
        debugLog(tr("Trying to use empty device name!"));
        return false;
    }
    session_.freeRetired();
    const bool wasOpen = device() != nullptr;
    removeOptionControls();
    session_.closeScanner();
    if (wasOpen && openSettingsFile()->keyExists(SettingKey::connectionDevices)) {
        connectToDaemon(false);
        Devices.setComboText(deviceName);
    }
    while (OptionPages.pageCount() > 1) OptionPages.page(OptionPages.pageCount() - 1).destroy();
    OptionPages.setActivePage(&TabSheet2);
    groupPages_.clear();

    pagesPending_ = !visible();
    if (!session_.openScanner(name)) return false;
    // Every control reads its value from the device: a source driven without its window (or
    // before it shows) saves those round trips.
    if (visible())
        showOptionPages();
    else
        prepareWithoutPages();
    return true;
}

void TFPreview::FormShow() {
    if (!pagesPending_ || !device()) return;
    showOptionPages();
    // The buttons follow them.
    device()->loadParameters();
}

void TFPreview::showOptionPages() {
    pagesPending_ = false;
    createOptionPages();
    showPlaceholder();
    OptionPages.setVisible(true);
    OptionPages.setActivePage(&TabSheet2);
}

bool TFPreview::setByTheWindow(const Option& option) const {
    const OptionRoles& r = roles();
    return &option == r.tlx || &option == r.tly || &option == r.brx || &option == r.bry ||
           &option == r.preview;
}

void TFPreview::prepareWithoutPages() {
    pagesPending_ = true;
    for (const auto& option : device()->options())
        if (!setByTheWindow(*option) && option->valueType() != SANE_TYPE_GROUP)
            restoreSavedValue(*option);
}

void TFPreview::createOptionPages() {
    const ScannerTransport::OptionList& list = device()->options();
    OptionPages.setVisible(false);
    TResolution.setVisible(false);
    TScanMode.setVisible(false);

    long pendingGroup = -1;
    bool firstGroup = true;
    auto file = openSettingsFile();

    for (std::size_t i = 0; i < list.size(); ++i) {
        Option& option = *list[i];
        const std::string& name = option.name;
        if (setByTheWindow(option)) continue;
        if (option.valueType() == SANE_TYPE_GROUP) {
            pendingGroup = static_cast<long>(i);
            continue;
        }

        if (&option == roles().resolution) {
            option.createControl(*this, TResolution, true);
            if (TResolution.childCount() > 0) TResolution.child(0).setWidth(scaled(50));
            TResolution.setVisible(true);
        } else if (name == "mode") {
            option.createControl(*this, TScanMode, true);
            if (TScanMode.childCount() > 0) TScanMode.child(0).setWidth(scaled(60));
            // Translated modes may be longer than the width above.
            if (auto* box = dynamic_cast<ui::ComboBox*>(option.control))
                box->fitWidthToItems(scaled(60));
            TScanMode.setVisible(true);
        } else {
            if (pendingGroup >= 1) {
                const std::string& group = list[static_cast<std::size_t>(pendingGroup)]->title;
                std::string title = trSane(group);
                if (firstGroup) {
                    TabSheet2.setText(title);
                    groupPages_.emplace_back(&TabSheet2, group);
                    firstGroup = false;
                } else {
                    ui::TabSheet& page = OptionPages.addPage(title);
                    groupPages_.emplace_back(&page, group);
                    page.setBorderWidth(scaled(8));
                    page.onMouseDown = [this, &page](const ui::MouseEvent&) {
                        TransferFocus(page);
                    };
                    OptionPages.setActivePage(&page);
                }
                pendingGroup = -1;
            }
            option.createControl(*this, *OptionPages.activePage(), false);
            if (!name.empty()) {
                ui::MenuItem& entry = OptionsPopup.add(name);
                entry.setAutoCheck(true);
                entry.setTag(static_cast<int>(i));
                entry.onClick = [this](ui::MenuItem& item) { BOptionClick(item); };
                if (option.control && file->keyExists(SettingKey::toolbarsBandWidth, {}, name)) {
                    // Read before the click, which writes the new band's width under the key.
                    int width = file->readInteger(SettingKey::toolbarsBandWidth, {}, name);
                    entry.setChecked(true);
                    BOptionClick(entry);
                    if (option.toolbar)
                        if (ui::CoolBand* band = TopDock.bandOf(*option.toolbar)) {
                            // Kept as at 96 DPI.
                            band->width = scaled(std::clamp(width, 0, kMaxBandWidth));
                            band->minWidth = option.control->width();
                            TopDock.bandsChanged();
                            try {
                                file->writeInteger(SettingKey::toolbarsBandWidth,
                                                   unscaled(band->width), {}, name);
                            } catch (const std::exception&) {
                                // A read-only file keeps the width it has.
                            }
                        }
                }
            }
        }
        if (option.control) {
            // Entries of a device's lists are the device's texts.
            if (dynamic_cast<ui::ComboBox*>(option.control))
                option.control->setTranslateParts(ui::TranslateNone);
            // Applied already while the window was off the screen.
            if (!option.restored) restoreSavedValue(option);
        }
    }

    session_.takeAreaFromOptions();
    for (int p = 0; p < OptionPages.pageCount(); ++p) {
        ui::TabSheet& page = OptionPages.page(p);
        for (std::size_t c = page.childCount(); c-- > 0;) page.child(c).setAlign(ui::Align::Top);
    }
    alignOptionColumns();
}

// Each page's captions share the width of its longest one; a caption wraps to the lines its text
// needs (again when a language is chosen).
void TFPreview::alignOptionColumns() {
    if (!device()) return;
    for (int p = 0; p < OptionPages.pageCount(); ++p) {
        ui::TabSheet& page = OptionPages.page(p);
        std::vector<Option*> rows;
        for (const auto& option : device()->options())
            if (option->row() && option->row()->parent() == &page) rows.push_back(option.get());
        alignColumns(rows);
    }
}

void TFPreview::BOptionClick(ui::MenuItem& entry) {
    if (!device()) return;
    const ScannerTransport::OptionList& list = device()->options();
    auto tag = static_cast<std::size_t>(entry.tag());
    if (entry.tag() < 0 || tag >= list.size()) return;
    Option& option = *list[tag];
    if (!option.control) return;
    const std::string caption = entry.caption() + ":";
    if (entry.checked()) {
        if (!option.toolbar) {
            option.toolbar = &TopDock.add<ui::ToolBar>();
            option.toolbar->setName("T" + option.name);
            option.toolbar->setPopupMenu(&OptionsPopup);
        }
        TopDock.addBand(*option.toolbar, caption).breakLine = false;
        TopDock.bandsChanged();
        option.homeParent = option.control->parent();
        option.control->setParent(*option.toolbar);
        option.toolbar->layoutButtons();
    } else {
        if (option.homeParent) option.control->setParent(*option.homeParent);
        if (option.toolbar) TopDock.removeBand(*option.toolbar);
    }
    try {
        auto file = openSettingsFile();
        if (entry.checked()) {
            ui::CoolBand* band = TopDock.bandOf(*option.toolbar);
            file->writeInteger(SettingKey::toolbarsBandWidth, band ? unscaled(band->width) : 100,
                               {}, option.name);
        } else {
            file->deleteKey(SettingKey::toolbarsBandWidth, {}, option.name);
        }
    } catch (const std::exception&) {
        // Tool bar places are a convenience.
    }
    if (option.homeParent) option.homeParent->setVisible(!entry.checked());
    if (option.toolbar) option.toolbar->setVisible(entry.checked());
}

void TFPreview::LargeIconsClick(bool byUser) {
    const bool large = LargeIcons.checked();
    TZoom.setImages(large ? ui::ImageSize::Large : ui::ImageSize::Small);
    TZoom.setHeight(scaled(large ? 40 : 24));
    TZoom.setButtonHeight(scaled(large ? 38 : 22));
    if (!byUser) return;
    try {
        openSettingsFile()->writeBoolean(SettingKey::toolbarsUseLargeIcons, large);
    } catch (const std::exception&) {
        // The choice holds for this session.
    }
}

void TFPreview::FormResize() {
    ZoomChange();
    if (TopDock.bandCount() < 4) return;
    TopDock.band(0).width = scaled(280);
    TopDock.band(1).width = scaled(100);
    TopDock.band(2).width = scaled(200);
    TopDock.band(3).width = Devices.width();
    TopDock.bandsChanged();
}

void TFPreview::PreviewAndOptionsMouseDown(const ui::MouseEvent& e) {
    PreviewAndOptions.setFocus();
    ui::backend().setCapture(&PreviewAndOptions);
    tabDragStart = {e.x, e.y};
}

void TFPreview::PreviewAndOptionsMouseMove(const ui::MouseEvent& e) {
    if (!(e.shift & ui::LeftHeld)) return;
    if (std::abs(e.x - tabDragStart.x) <= scaled(4) && std::abs(e.y - tabDragStart.y) < scaled(5))
        return;
    tabDragging = true;
    const ui::Rect client{0, 0, PreviewAndOptions.width(), PreviewAndOptions.height()};
    ui::backend().setScreenCursor(client.contains({e.x, e.y}) ? ui::Cursor::NoDrop
                                                              : ui::Cursor::Drag);
}

void TFPreview::PreviewAndOptionsMouseUp(const ui::MouseEvent& e) {
    if (tabDragging) {
        tabDragging = false;
        ui::backend().setScreenCursor(ui::Cursor::Default);
        const ui::Rect client{0, 0, PreviewAndOptions.width(), PreviewAndOptions.height()};
        ui::TabSheet* page = PreviewAndOptions.activePage();
        if (!client.contains({e.x, e.y}) && page) {
            auto floating = std::make_unique<TFFloat>(PreviewAndOptions);
            floating->floatPage(*page);
            ui::Point at = PreviewAndOptions.clientToScreen({e.x, e.y});
            floating->setBounds(at.x, at.y, PreviewAndOptions.width() + scaled(8),
                                PreviewAndOptions.height() + scaled(8));
            floating->keepOnWorkArea();
            floating->show();
            floats.push_back(std::move(floating));
        }
    }
    ui::backend().setCapture(nullptr);
}

void TFPreview::FormMouseDown(const ui::MouseEvent& e) {
    ui::Control* target = controlAt({e.x, e.y});
    while (target && !target->canFocus()) target = target->parent();
    if (target && target != this) setActiveControl(target);
}

void TFPreview::TransferFocus(ui::TabSheet& page) {
    // Leaving the control that had the focus lets it hand its edit to the option.
    setActiveControl(&page);
}

}  // namespace tarnwick
