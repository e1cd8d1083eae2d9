// The tests' access to the scanning window's inner state and controls, which the window keeps
// private: `probe(w).PaintBox` where the window's own code says `PaintBox`.
#pragma once

#include "window/preview_form.h"

namespace tarnwick {

class TFPreviewProbe {
  public:
    explicit TFPreviewProbe(TFPreview& w)
        : w_(w),
          connection(w.connection),
          userName(w.userName),
          deviceName(w.deviceName),
          previewResolution(w.previewResolution),
          edgeThreshold(w.edgeThreshold),
          forcePreviewEject(w.forcePreviewEject),
          noInvertBlackWhite(w.noInvertBlackWhite),
          scanNPages(w.scanNPages),
          batch(w.batch),
          windowSizeRestored(w.windowSizeRestored),
          translated(w.translated),
          destroying(w.destroying),
          displayBitmap(w.displayBitmap),
          scale(w.scale),
          zoomFactor(w.zoomFactor),
          tlxOption(w.tlxOption),
          brxOption(w.brxOption),
          bryOption(w.bryOption),
          previewOption(w.previewOption),
          modeOption(w.modeOption),
          depthOption(w.depthOption),
          waitOption(w.waitOption),
          feederOption(w.feederOption),
          feederInverted(w.feederInverted),
          tabDragging(w.tabDragging),
          readingImage(w.readingImage),
          FProperties(w.FProperties),
          FAbout(w.FAbout),
          floats(w.floats),
          TopDock(w.TopDock),
          TZoom(w.TZoom),
          BPreview(w.BPreview),
          BMail(w.BMail),
          BRegions(w.BRegions),
          BEvernote(w.BEvernote),
          Zoom(w.Zoom),
          BProperties(w.BProperties),
          BHelp(w.BHelp),
          BTwitter(w.BTwitter),
          TScanMode(w.TScanMode),
          TResolution(w.TResolution),
          TDevice(w.TDevice),
          Devices(w.Devices),
          PreviewAndOptions(w.PreviewAndOptions),
          Preview(w.Preview),
          Options(w.Options),
          ImageScrollBox(w.ImageScrollBox),
          PaintBox(w.PaintBox),
          OptionPages(w.OptionPages),
          TabSheet2(w.TabSheet2),
          StatusBar(w.StatusBar),
          ProgressBar(w.ProgressBar),
          BOk(w.BOk),
          Timer(w.Timer),
          WaitForState5(w.WaitForState5),
          RegionPopup(w.RegionPopup),
          DeleteRegion(w.DeleteRegion),
          MenuFindfit(w.MenuFindfit),
          RegionsOnly(w.RegionsOnly),
          Findfit2(w.Findfit2),
          OptionsPopup(w.OptionsPopup),
          LargeIcons(w.LargeIcons) {}

    static inline bool& firstActivation = TFPreview::firstActivation;
    static inline bool& keepReading = TFPreview::keepReading;
    static inline int& dashOffset = TFPreview::dashOffset;

    bool scanNextImage(Region& area) { return w_.scanNextImage(area); }
    void endImage(bool delivered, bool cancelAtEnd) { w_.endImage(delivered, cancelAtEnd); }

  private:
    TFPreview& w_;

  public:
    decltype(TFPreview::connection)& connection;
    decltype(TFPreview::userName)& userName;
    decltype(TFPreview::deviceName)& deviceName;
    decltype(TFPreview::previewResolution)& previewResolution;
    decltype(TFPreview::edgeThreshold)& edgeThreshold;
    decltype(TFPreview::forcePreviewEject)& forcePreviewEject;
    decltype(TFPreview::noInvertBlackWhite)& noInvertBlackWhite;
    decltype(TFPreview::scanNPages)& scanNPages;
    decltype(TFPreview::batch)& batch;
    decltype(TFPreview::windowSizeRestored)& windowSizeRestored;
    decltype(TFPreview::translated)& translated;
    decltype(TFPreview::destroying)& destroying;
    decltype(TFPreview::displayBitmap)& displayBitmap;
    decltype(TFPreview::scale)& scale;
    decltype(TFPreview::zoomFactor)& zoomFactor;
    decltype(TFPreview::tlxOption)& tlxOption;
    decltype(TFPreview::brxOption)& brxOption;
    decltype(TFPreview::bryOption)& bryOption;
    decltype(TFPreview::previewOption)& previewOption;
    decltype(TFPreview::modeOption)& modeOption;
    decltype(TFPreview::depthOption)& depthOption;
    decltype(TFPreview::waitOption)& waitOption;
    decltype(TFPreview::feederOption)& feederOption;
    decltype(TFPreview::feederInverted)& feederInverted;
    decltype(TFPreview::tabDragging)& tabDragging;
    decltype(TFPreview::readingImage)& readingImage;
    decltype(TFPreview::FProperties)& FProperties;
    decltype(TFPreview::FAbout)& FAbout;
    decltype(TFPreview::floats)& floats;
    decltype(TFPreview::TopDock)& TopDock;
    decltype(TFPreview::TZoom)& TZoom;
    decltype(TFPreview::BPreview)& BPreview;
    decltype(TFPreview::BMail)& BMail;
    decltype(TFPreview::BRegions)& BRegions;
    decltype(TFPreview::BEvernote)& BEvernote;
    decltype(TFPreview::Zoom)& Zoom;
    decltype(TFPreview::BProperties)& BProperties;
    decltype(TFPreview::BHelp)& BHelp;
    decltype(TFPreview::BTwitter)& BTwitter;
    decltype(TFPreview::TScanMode)& TScanMode;
    decltype(TFPreview::TResolution)& TResolution;
    decltype(TFPreview::TDevice)& TDevice;
    decltype(TFPreview::Devices)& Devices;
    decltype(TFPreview::PreviewAndOptions)& PreviewAndOptions;
    decltype(TFPreview::Preview)& Preview;
    decltype(TFPreview::Options)& Options;
    decltype(TFPreview::ImageScrollBox)& ImageScrollBox;
    decltype(TFPreview::PaintBox)& PaintBox;
    decltype(TFPreview::OptionPages)& OptionPages;
    decltype(TFPreview::TabSheet2)& TabSheet2;
    decltype(TFPreview::StatusBar)& StatusBar;
    decltype(TFPreview::ProgressBar)& ProgressBar;
    decltype(TFPreview::BOk)& BOk;
    decltype(TFPreview::Timer)& Timer;
    decltype(TFPreview::WaitForState5)& WaitForState5;
    decltype(TFPreview::RegionPopup)& RegionPopup;
    decltype(TFPreview::DeleteRegion)& DeleteRegion;
    decltype(TFPreview::MenuFindfit)& MenuFindfit;
    decltype(TFPreview::RegionsOnly)& RegionsOnly;
    decltype(TFPreview::Findfit2)& Findfit2;
    decltype(TFPreview::OptionsPopup)& OptionsPopup;
    decltype(TFPreview::LargeIcons)& LargeIcons;
};

inline TFPreviewProbe probe(TFPreview& w) {
    return TFPreviewProbe(w);
}

}  // namespace tarnwick
