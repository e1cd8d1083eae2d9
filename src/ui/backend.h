// The services a backend provides to the widgets. The toolkit starts with a peer-less backend
// that needs no operating system: modal forms answer Cancel at once, message boxes go to the
// platform service (platform/message_box.h, scripted in tests), text is
// measured by the fixed metrics, and posted work runs when pending messages are processed. The
// headless test driver and the Win32 backend install their own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "ui/text_metrics.h"
#include "ui/types.h"

namespace ui {

class Control;
class Form;
class Timer;
class MenuItem;
class PopupMenu;
enum class ImageSize;

// Tool-button images of one size, by image index (see ui/tool_pictures.h for the order).
struct ImageList {
    int side = 16;
    std::vector<Surface> images;
};

enum class BoxKind { Information, Warning, Error, Confirmation };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct NumberLocale {
    char decimal = '.';
    char thousands = ',';
};

class Backend : public TextMeasurer {
  public:
    // Runs until the form has a modal result (or the backend closes it) and returns that result.
    virtual ModalResult runModal(Form& form);
    virtual ModalResult messageBox(const std::string& text, const std::string& caption,
                                   BoxKind kind, BoxButtons buttons);
    // True when the user confirms; value holds the preset answer on entry and the answer on exit.
    virtual bool inputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value);
    // Opens a popup menu at a screen position; the user's choice arrives later as a click.
    virtual void popup(PopupMenu& menu, Point screen);
    virtual void processPendingMessages();
    // Whether a modal form reaches a user who can answer it (not so where no form reaches a
    // screen).
    virtual bool asksUser() { return false; }
    // A monotonic clock in milliseconds, for pacing work between message processing.
    virtual long long milliseconds();
    virtual void timerChanged(Timer& timer);
    virtual void formShown(Form& form, bool shown);

    int width(const Font& font, const std::string& text) override;
    int lineHeight(const Font& font) override;
    virtual NumberLocale numberLocale();
    virtual Rect screen();
    // The work area of the monitor nearest to the point.
    virtual Rect workAreaAt(Point p);
    // How far the form's frame (border and caption) reaches beyond its client area on each side,
    // at its DPI; none without a screen.
    virtual Rect frameOf(const Form& form);
    virtual Point cursorPos();
    virtual void setScreenCursor(Cursor cursor);
    virtual Cursor screenCursor();
    virtual void setCapture(Control* control);
    virtual Control* capture();
    // The DPI of the monitor a new window appears on (96 = 100 percent); without a screen,
    // whatever setDpi set (96 at first).
    virtual int defaultDpi() { return dpi_; }
    void setDpi(int dpi) { dpi_ = dpi; }
    // The tool-button images, `side` pixels square: here the drawings themselves, a native
    // backend its resources where it has them at that side.
    virtual const ImageList& toolImages(int side);

    // Work to do at the next processing of pending messages (in posting order).
    void post(std::function<void()> work) { posted_.push_back(std::move(work)); }
    std::size_t pendingCount() const { return posted_.size(); }

  protected:
    // The platform's message box for the toolkit's kinds and buttons, owned by `owner`.
    static ModalResult platformBox(const std::string& text, const std::string& caption,
                                   BoxKind kind, BoxButtons buttons, void* owner);
    std::vector<std::function<void()>> posted_;
    Cursor screenCursor_ = Cursor::Default;
    Control* capture_ = nullptr;
    int dpi_ = 96;
};

// The side of the tool-button pictures of a size at a DPI: 16 or 32 pixels at 96.
int toolImageSide(ImageSize size, int dpi);

Backend& backend();
// Installs a backend (null: the default one); returns the previous one (null for the default).
Backend* installBackend(Backend* backend);
// The backend in use when none is installed; the backend folder linked in provides it (the
// peer-less one for the headless toolkit, native windows on Windows).
Backend& defaultBackend();

// Lets the backend deliver what is waiting (input, painting, posted work).
void processPendingMessages();
ModalResult messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                       BoxButtons buttons = BoxButtons::Ok);
bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The answer, or the preset answer when the box is closed without confirming.
std::string inputBox(const std::string& caption, const std::string& prompt,
                     const std::string& preset);

}  // namespace ui
