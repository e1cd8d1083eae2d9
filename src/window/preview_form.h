// The scanning window over its scan session: connection and device choice, option pages and tool
// bars, the preview with its regions, the Scan button and the saved option values of each device.
//
// Its behaviour is split over several files, one per concern: preview_form.cpp (layout),
// lifecycle.cpp (creation, activation, connecting, status, keyboard, closing), device_pages.cpp
// (opening a device, its pages and tool bars, tearing pages off), saved_values.cpp,
// preview_scan.cpp, preview_display.cpp, region_editing.cpp and scan_loop.cpp.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "discovery/found_service.h"
#include "image/bitmap.h"
#include "options/control_owner.h"
#include "options/option_roles.h"
#include "session/regions.h"
#include "session/scan_session.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/paint_box.h"
#include "ui/timer.h"
#include "ui/tool_bar.h"
#include "ui/track_bar.h"
#include "widgets/about_form.h"
#include "window/preview_geometry.h"
#include "window/scan_window.h"

namespace tarnwick {

class NumberOption;
class Option;
class PropertiesServices;
class SettingsFile;
class TFFloat;
class TFProperties;
class TGammaForm;

// The window works through a scan session, which it watches: it holds its controls, the preview
// and the companion forms, never the connection or the scanner.
// The URL of an eSCL scanner found on the network (its host name, port and TXT `rs`).
// The device box's entries for found scanners, in their order, with their URLs: each by its
// name, with its host where two share a name.
std::vector<std::pair<std::string, std::string>> scannerEntries(
    const std::vector<FoundService>& scanners);

class TFPreview : public ui::Form, public ControlOwner, public ScanObserver {
  public:
    // Builds the whole layout with its handlers and menus, then runs FormCreate (companion
    // forms, bitmaps, settings, regions, translation). Nothing is connected yet.
    // `propertiesServices` go to the settings dialog; `open` opens web addresses (the About
    // box's links and BTwitterClick); both default to the platform's.
    explicit TFPreview(ScanSession& session,
                       std::unique_ptr<PropertiesServices> propertiesServices = nullptr,
                       TFAbout::Opener open = {});
    // Runs FormDestroy.
    ~TFPreview() override;

    TGammaForm& gammaEditor() override;

    ScanSession& session() { return session_; }
    // The open scanner's way back; null until set.
    void setLink(ScannerLink* link) { link_ = link; }
    // Shows the window without making it modal; `uiOnly` (settings only) shows it with the
    // Scan and Print buttons disabled, giving them their states back afterwards, and with an
    // OK button that confirms the settings.
    void showForUse(bool uiOnly);
    // Hides the window and stops a read under way.
    void hideFromUse();
    // Reading an image or running a handler, which may have called the application: the
    // window must outlive that call.
    bool busy() const { return session_.reading() || handlersRunning > 0; }
    // Every activation in a process connects until one succeeds or the window is closed; an
    // opening of the source starts that again.
    static void connectOnActivation() { firstActivation = true; }

    // ---- lifecycle and device choice ----
    void FormCreate();
    // Every activation; the first one in the process (firstActivation) connects and opens the
    // device. OpenScanner calls it once right after creating the window.
    void FormActivate();
    // The user closes the window: regions, window size, last resolution and on-exit values are
    // written, the application is asked to close the source; the window is only hidden.
    void FormClose(ui::CloseAction& action);
    // The settings-only window's OK: hidden like a closed one, the settings confirmed.
    void BOkClick();
    void FormDestroy();
    void FormKeyDown(ui::KeyEvent& e);
    void DevicesChange();
    void BPropertiesClick();
    void BHelpClick();
    void BTwitterClick();
    // With AutoScan: once the source is enabled (TWAIN state 5), one full scan as BScan does.
    void WaitForState5Timer();
    // Refreshes every option without a restored value (after every preview and scan); the
    // status line then shows `outcome`, what the read ended with, again.
    void updateOptions(const std::string& outcome);
    // The status routine of the window, through the session's. "0" shows the banner. A fatal
    // report closes scanner and connection and throws ConnectionCancelled.
    void reportStatus(const std::string& message, bool showError, bool fatal);
    bool connectToDaemon(bool firstTime);
    // A saved device the daemon lists under another name (a USB scanner in another port) is
    // that device: the name is updated and its saved values go with it.
    void followMovedDevice();
    // What the daemon listed of the device opened by `name`, kept to find it again.
    void rememberDeviceIdentity(const std::string& name);
    // Translates the window and its companion forms when the settings dialog asks for it.
    void translateForms();

    // ---- device opening and option pages ----
    bool openDevice(const std::string& name);
    // The pages of a device opened while the window was off the screen, built when it shows.
    void FormShow();
    void BOptionClick(ui::MenuItem& entry);
    // `byUser` is false for the call at creation, which does not write the setting.
    void LargeIconsClick(bool byUser);
    void FormResize();
    void PreviewAndOptionsMouseDown(const ui::MouseEvent& e);
    void PreviewAndOptionsMouseMove(const ui::MouseEvent& e);
    void PreviewAndOptionsMouseUp(const ui::MouseEvent& e);
    void FormMouseDown(const ui::MouseEvent& e);
    void TransferFocus(ui::TabSheet& page);

    // ---- preview scan and display ----
    void BPreviewClick();
    void ZoomChange();
    // Draws displayBitmap and the region outlines onto PaintBox.
    void paintPreview();
    void showPlaceholder();
    // The window takes the size that shows a preview of this size, when the work area allows.
    void fitPreview(int previewWidth, int previewHeight);
    // scanBitmap, a scan of the whole area, becomes the preview: a copy no larger than the
    // whole page shows on the screen, as a scan of several hundred megabytes would otherwise
    // be held twice.
    void showScanAsPreview();
    void TimerTimer();

    // ---- regions ----
    void ImageMouseDown(const ui::MouseEvent& e);
    void ImageMouseMove(const ui::MouseEvent& e);
    void ImageMouseUp(const ui::MouseEvent& e);
    void DeleteRegionClick();
    void SizePreset(ui::MenuItem& sender);
    void SetSize(const std::string& name);
    void findFit();
    void storeRegions();
    void restoreRegions();
    void showRegionSize();

    // ---- scan loop ----
    // Also the handler of BMail, BEvernote and BPrint.
    void BScanClick();
    // Begins a batch (ScanBatch::begin); the page question is asked only when `mayAsk`.
    // Returns the feeder decision.
    bool beginBatch(bool mayAsk);
    // One image of the batch read into the session's scan bitmap; without regions it also
    // becomes the preview. False when no image was read.
    bool scanNextImage(Region& area);

    // Screen pixels per preview pixel, and scan-area units per preview pixel.
    double zoomFactor() const { return zoomFactor_; }
    double unitsPerPreviewPixel() const { return scale; }
    // For a preview drawn by other means than a scan.
    void setUnitsPerPreviewPixel(double units) { scale = units == 0 ? 1.0 : units; }
    // Pages torn off into floating windows, in the order they were torn off.
    std::size_t floatingPages() const { return floats.size(); }
    TFFloat& floatingPage(std::size_t i) const { return *floats.at(i); }
    TFAbout& aboutBox() const { return *FAbout; }
    // The region outlines are animated; an automatic scan waits for the application.
    bool outlinesAnimate() const { return Timer.enabled(); }
    bool autoScanWaiting() const { return WaitForState5.enabled(); }

  private:
    // ---- what the session tells ----
    void status(const std::string& message, bool showError, bool fatal) override;
    void scannerEvent(int event) override;
    bool confirmButtonStart() override;
    void readStarts() override;
    void frameBegins(int lines) override;
    void rowsRead(int rows) override;
    void readEnds() override;
    void regionsCutForFeeder() override;

    // ---- saved option values ----
    void restoreSavedValue(Option& option);
    void saveAllValues();
    void saveValueUnderMouse();
    void storeLastResolution();
    void applyExitValues();
    // What closing writes: regions, window size, last resolution and on-exit values.
    void keepWindowState();

    // ---- process-wide state ----
    // Set when the library is loaded; cleared by the first successful activation and by every
    // close, so that a window created later in the process does not connect on its own.
    static bool firstActivation;
    // Phase of the dashed region outlines, 0 to 9.
    static int dashOffset;

    // ---- window state ----
    ScanSession& session_;
    ScannerLink* link_ = nullptr;
    // The session's regions, which the window edits.
    Regions& regions;
    std::string host;
    std::string userName;
    int port = 6566;
    std::string deviceName;  // as shown in the device box; the section of its saved values
    bool windowSizeRestored = false;
    bool translated = false;
    bool pagesPending_ = false;  // the open device's pages wait for the window's showing
    bool destroying = false;

  public:
    Bitmap previewBitmap;  // the preview; a scan larger than the screen shows reduced

  private:
    Bitmap displayBitmap;      // 24 bits, so colour previews keep their colours; scaled to the zoom
    double scale = 1.0;        // scan-area units per preview pixel; never 0
    double zoomFactor_ = 1.0;  // screen pixels per preview pixel
    bool tabDragging = false;
    // Handlers under way (run through guarded); one may have called the application, which
    // may have closed the source.
    int handlersRunning = 0;

    // ---- companion forms ----
    std::unique_ptr<TFProperties> FProperties;
    // Made by createGammaEditor; the deleter comes with it, so that this header needs only the
    // name of the editor's class.
    std::unique_ptr<TGammaForm, void (*)(TGammaForm*)> GammaForm{nullptr, nullptr};
    std::unique_ptr<TFAbout> FAbout;
    // Pages torn off into floating windows.
    std::vector<std::unique_ptr<TFFloat>> floats;

    // ---- controls ----
    ui::CoolBar& TopDock;  // bands 0..3: TZoom, TScanMode, TResolution, TDevice
    ui::ToolBar& TZoom;

    ui::ToolButton& BScan;
    ui::ToolButton& BPreview;
    ui::ToolButton& BMail;
    ui::ToolButton& BEvernote;
    ui::ToolButton& BPrint;
    ui::ToolButton& BRegions;
    ui::ComboBox& Zoom;
    ui::ToolButton& BProperties;
    ui::ToolButton& BHelp;
    ui::ToolButton& BTwitter;
    ui::ToolBar& TScanMode;
    ui::ToolBar& TResolution;
    ui::ToolBar& TDevice;
    ui::ComboBox& Devices;
    ui::PageControl& PreviewAndOptions;
    ui::TabSheet& Preview;
    ui::TabSheet& Options;
    ui::ScrollBox& ImageScrollBox;
    ui::PaintBox& PaintBox;
    ui::PageControl& OptionPages;
    ui::TabSheet& TabSheet2;
    ui::StatusBar& StatusBar;
    ui::ProgressBar& ProgressBar;  // on the status bar, client-aligned, hidden
    ui::Panel& OkPanel;            // above the status bar; shown for settings only
    ui::Button& BOk;
    ui::Timer Timer;          // 500 ms, off: the outline animation
    ui::Timer WaitForState5;  // 250 ms, off
    ui::PopupMenu& RegionPopup;
    ui::MenuItem& DeleteRegion;
    ui::MenuItem& MenuFindfit;
    ui::PopupMenu& RegionsOnly;
    ui::MenuItem& Findfit2;
    ui::PopupMenu& OptionsPopup;  // LargeIcons, a separator, then one entry per option
    ui::MenuItem& LargeIcons;
    ui::PopupMenu& Printers;

  protected:
    // Every change of size runs FormResize.
    void boundsChanged() override;

  private:
    // No host configured: a search of the network. True when it gave the host to connect to.
    bool hostFromSearch(SettingsFile& file);
    // The first eSCL scanner of that search becomes the device when no saned host answered.
    bool scannerFromSearch(SettingsFile& file);
    // The open scanner (null when none) and its option roles, both the session's.
    ScannerTransport* device() const { return session_.scanner(); }
    const OptionRoles& roles() const { return session_.roles(); }
    ScanSettings& settings() { return session_.settings(); }
    const ScanSettings& settings() const { return session_.settings(); }
    // Reads the settings file again into the session's settings (after the settings dialog).
    void readSettings();
    // After the scanner reloaded its options: the regions follow the geometry options when
    // RemoveRegions is checked (scannerEvent(ScannerTransport::optionsReloaded)).
    void followScanAreaOptions();
    // The region editing needs all four geometry options.
    bool hasAreaOptions() const;
    // Screen pixels per scan-area unit.
    double pixelsPerUnit() const;
    // The zoom box's choice; `percent` is its leading number.
    ZoomMode zoomMode(double& percent) const;
    // The resolution a preview is taken at; 0 leaves the resolution as it is.
    double previewDpi(const NumberOption& resolution) const;
    FitSource fitSource() const;
    // The selected region's outline, drawn by inverting: drawing it again takes it away.
    void drawRubberBand();
    void createGammaEditor();
    void dockFloats();
    void translateGammaEditor();
    // Runs a bound handler; an error it raises goes to the status line.
    template <class F>
    void guarded(F&& handler);
    void bindHandlers();
    void setBandTexts();
    void readWindowSize(const std::string& text);
    // The options' controls, own tool bars and menu entries go.
    void removeOptionControls();
    void createOptionPages();
    void showOptionPages();
    // Without pages (the window not shown yet, perhaps never): the saved values are applied
    // straight to the device, and only the options with a role are read.
    void prepareWithoutPages();
    // The scan area's edges and the preview switch: the window sets them itself, so they get
    // no control and no saved value.
    bool setByTheWindow(const Option& option) const;
    void alignOptionColumns();

    std::unique_ptr<PropertiesServices> propertiesServices_;  // until FormCreate
    TFAbout::Opener open_;
    std::string shownBanner_;  // the banner as last shown, in the language of then
    // The option pages named after a group, with the group's untranslated title.
    std::vector<std::pair<ui::TabSheet*, std::string>> groupPages_;
    bool retryingDevice_ = false;  // an activation tries the device again: no error boxes
    bool listDevices = true;
    std::vector<DeviceRecord> listedDevices_;  // as the daemon last listed them
    // The eSCL scanners in the device box: the entry shown, the URL opened.
    std::vector<std::pair<std::string, std::string>> listedScanners_;
    // The device an entry of the box names: a listed scanner's URL, else the entry itself.
    std::string deviceOfEntry(const std::string& entry) const;
    // The entry that shows a device: a listed scanner's name for its URL, else the device.
    std::string entryOfDevice(const std::string& device) const;
    ui::Point tabDragStart;
};

}  // namespace tarnwick
