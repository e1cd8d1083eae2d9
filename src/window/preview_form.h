// The scanning window: connection and device choice, option pages and tool bars, the preview
// with its regions, the scan loop and the saved option values of each device.
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

#include "image/bitmap.h"
#include "options/control_owner.h"
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
#include "window/regions.h"
#include "window/scan_batch.h"
#include "window/scan_window.h"

namespace tarnwick {

class Connection;
class Device;
class NumberOption;
class Option;
class PropertiesServices;
class TFFloat;
class TFProperties;
class TGammaForm;

// Raised by the status routine after a fatal report, once device and connection are closed, so
// that the operation in progress ends; its text is the translated "Connection cancelled".
class ConnectionCancelled : public std::runtime_error {
  public:
    ConnectionCancelled();
};

class TFPreview : public ui::Form, public ControlOwner {
  public:
    // Builds the whole layout with its handlers and menus, then runs FormCreate (companion
    // forms, bitmaps, settings, regions, translation). Nothing is connected yet.
    // `propertiesServices` go to the settings dialog; `open` opens web addresses (the About
    // box's links and BTwitterClick); both default to the platform's.
    explicit TFPreview(std::unique_ptr<PropertiesServices> propertiesServices = nullptr,
                       TFAbout::Opener open = {});
    // Runs FormDestroy.
    ~TFPreview() override;

    TGammaForm& gammaEditor() override;

    // ---- lifecycle and device choice ----
    void FormCreate();
    // Every activation; the first one in the process (firstActivation) connects and opens the
    // device. SaneDevice calls it once right after creating the window.
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
    // The status routine of the connection and of the window. "0" shows the banner. A fatal
    // report closes device and connection and throws ConnectionCancelled.
    void reportStatus(const std::string& message, bool showError, bool fatal);
    bool connectToDaemon(bool firstTime);
    // The device's callback: Device::optionsReloaded or Device::parametersLoaded.
    void deviceNotify(int event);
    // Translates the window and its companion forms when the settings dialog asks for it.
    void translateForms();

    // ---- device opening and option pages ----
    bool openDevice(const std::string& name);
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
    // Writes the existing geometry options in the order tl-x, br-x, br-y, tl-y.
    // False when the device refused or changed a value.
    bool setScanArea(double x1, double y1, double x2, double y2);
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
    // Reads one image, all its frames, into the bitmap; true when it was read completely.
    bool scanInto(Bitmap& bitmap);

  private:
    // The open scanner's side of the window and the tests' access to its inner state.
    friend class ScanWindow;
    friend class TFPreviewProbe;

    // ---- saved option values ----
    void restoreSavedValue(Option& option);
    void saveAllValues();
    void saveValueUnderMouse();
    void storeLastResolution();
    void applyExitValues();
    // What closing writes: regions, window size, last resolution and on-exit values.
    void keepWindowState();

    // ---- the batch, as the open scanner drives it ----
    // Begins a batch (ScanBatch::begin); the page question is asked only when `mayAsk`.
    // Returns the feeder decision.
    bool beginBatch(bool mayAsk);
    // One image of the batch: its next rectangle written to the geometry options and read into
    // scanBitmap; without regions it also becomes the preview. False when no image was read.
    bool scanNextImage(Region& area);
    // After scanNextImage: a delivered image counts down the batch, anything else ends it; with
    // `cancelAtEnd` the end of the batch cancels the device when DeviceCancelType asks.
    void endImage(bool delivered, bool cancelAtEnd);

    // ---- process-wide state ----
    // Set when the library is loaded; cleared by the first successful activation and by every
    // close, so that a window created later in the process does not connect on its own.
    static bool firstActivation;
    // Set when a read begins; cleared by Escape or by a frame without data.
    static bool keepReading;
    // Phase of the dashed region outlines, 0 to 9.
    static int dashOffset;

    // ---- window state ----
    // Declared in the order of construction (the controls are made in this order); the fields
    // the open scanner reads are public among them.
    std::unique_ptr<Connection> connection;  // null when not connected

  public:
    std::unique_ptr<Device> device;     // null when none is open
    ScannerLink* saneDevice = nullptr;  // set by the scanner right after it made the window

  private:
    std::string host;
    std::string userName;
    int port = 6566;
    std::string deviceName;     // as shown in the device box; the section of its saved values
    int previewResolution = 0;  // 0: the lowest the device allows
    int edgeThreshold = 10;

  public:
    int cancelType = 1;  // bits: 1 after every read, 2 after previews and failed batches, 4 Escape

  private:
    bool forcePreviewEject = false;
    bool noInvertBlackWhite = false;
    int scanNPages = -1;  // pages per feeder batch; 0 asks the user, -1 until the feeder is empty
    bool windowSizeRestored = false;
    bool translated = false;
    bool destroying = false;

  public:
    Bitmap scanBitmap;     // every final scan, 16-bit samples kept
    Bitmap previewBitmap;  // the preview; a scan larger than the screen shows reduced

  private:
    Bitmap displayBitmap;  // 24 bits, so colour previews keep their colours; scaled to the zoom

  public:
    // The largest scan area of the open device, in the unit of the geometry options.
    Region scanArea;

  private:
    double scale = 1.0;       // scan-area units per preview pixel; never 0
    double zoomFactor = 1.0;  // screen pixels per preview pixel

  public:
    // The region table: regions.regions[0 .. regions.regionCount - 1], the selected or next
    // region regions.regionIndex (-1 none), regions.defaultRegion (-1 none), maxRegions and the
    // drag state.
    Regions regions;

  private:
    // The geometry options' values as the window last saw them: a reload that finds them
    // elsewhere moved the area.
    Region optionArea;
    ScanBatch batch{regions, scanArea, [this] { return isAdfScan(); }};

    // Option roles, reset before every open; null when the device has no such option.
    NumberOption* tlxOption = nullptr;
    NumberOption* tlyOption = nullptr;
    NumberOption* brxOption = nullptr;
    NumberOption* bryOption = nullptr;
    Option* previewOption = nullptr;

  public:
    Option* resolutionOption = nullptr;

  private:
    Option* modeOption = nullptr;
    Option* depthOption = nullptr;
    Option* waitOption = nullptr;
    Option* feederOption = nullptr;
    bool feederInverted = false;  // the feeder option's name contains "no"

    bool tabDragging = false;

    // ---- preview and scan loop ----
    // scanInto is reading: Scan and Preview, reached through message processing, wait for it.
    bool readingImage = false;
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

  public:
    ui::ToolButton& BScan;

  private:
    ui::ToolButton& BPreview;
    ui::ToolButton& BMail;
    ui::ToolButton& BEvernote;

  public:
    ui::ToolButton& BPrint;

  private:
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
    // Whether the next pages come from the document feeder; it may show a box and cut the
    // regions to one. The batch asks it once a batch, the preview once a preview.
    bool isAdfScan();
    // After the device reloaded its options: the regions follow the geometry options when
    // RemoveRegions is checked (deviceNotify(Device::optionsReloaded)).
    void followScanAreaOptions();
    // The region editing needs all four geometry options.
    bool hasAreaOptions() const;
    // The bounds of the geometry options (an edge without bound: its value), and their values
    // (scanArea's edge for a missing option).
    Region largestArea() const;
    Region optionsArea() const;
    // Screen pixels per scan-area unit.
    double pixelsPerUnit() const;
    // The zoom box's choice; `percent` is its leading number.
    ZoomMode zoomMode(double& percent) const;
    // The resolution a preview is taken at; 0 leaves the resolution as it is.
    double previewDpi(const NumberOption& resolution) const;
    void readPreviewResolution();
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
    // Own tool bars of options and their menu entries go; the device is closed and deleted.
    void closeDevice();
    void createOptionPages();
    void alignOptionColumns();
    void setRolesFor(Option& option, bool& feederBySource);
    // A fatal report may come from inside the connection's or the device's own functions: they
    // are closed at once but freed only once those calls have returned.
    void freeRetired();

    std::unique_ptr<PropertiesServices> propertiesServices_;  // until FormCreate
    TFAbout::Opener open_;
    std::vector<std::unique_ptr<Device>> retiredDevices_;
    std::vector<std::unique_ptr<Connection>> retiredConnections_;
    bool closingAfterFatal_ = false;
    std::string shownBanner_;  // the banner as last shown, in the language of then
    // The option pages named after a group, with the group's untranslated title.
    std::vector<std::pair<ui::TabSheet*, std::string>> groupPages_;
    bool retryingDevice_ = false;  // an activation tries the device again: no error boxes
    bool listDevices = true;
    ui::Point tabDragStart;
    // The window itself writes options (the scan area, preview, resolution): the reloads this
    // causes do not replace the regions.
    bool adjustingOptions = false;
};

}  // namespace tarnwick
