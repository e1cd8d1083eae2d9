// Native peers: one window per widget that mirrors the widget's state and turns the user's input
// into the widget's own user operations, so that the widget's event rules apply unchanged.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <set>

#include "ui/backend.h"
#include "ui/control.h"

namespace ui {
class Form;
}

namespace ui::win32 {

// Arranges for posted work to run soon, from whatever message loop is running.
void wakeForPostedWork();

class WindowPeer : public Peer {
  public:
    explicit WindowPeer(Control& c) : control_(c) {}
    ~WindowPeer() override;
    WindowPeer(const WindowPeer&) = delete;
    WindowPeer& operator=(const WindowPeer&) = delete;

    void changed(Control& c, Property what) override;
    HWND hwnd() const { return hwnd_; }
    Control& control() const { return control_; }

    // Creates the window inside the parent window (none for a form); children follow.
    void realize(HWND parent);
    // The window the children's windows live in.
    virtual HWND childParent() const { return hwnd_; }
    // The window's rectangle in its parent window's client coordinates.
    virtual RECT placement() const;
    void place();

    // Notifications the parent window passes on to the control that sent them.
    virtual void command(WORD /*code*/, WORD /*id*/) {}
    virtual bool notified(NMHDR&, LRESULT&) { return false; }
    virtual void scrolled(WPARAM) {}
    // A key pressed in the window (or in a part of it, such as a combo box's edit) goes through
    // the form's key rules; false when they consumed it or the widget went away.
    bool keyDown(WPARAM key);

    // Every message of the window; subclassed controls pass on to their own procedure.
    virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT passOn(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Runs the user's operation on the widget. Properties the widget reports meanwhile are
    // brought up to date afterwards (only where the window differs), not while the window's own
    // notification is in progress. False when the widget went away during the operation.
    template <class F>
    bool userInput(F&& operation) {
        std::shared_ptr<bool> alive = alive_;
        bool outer = !fromUser_;
        fromUser_ = true;
        operation();
        if (!*alive) return false;
        if (outer) {
            fromUser_ = false;
            auto pending = std::move(pending_);
            pending_.clear();
            for (Property p : pending) sync(p);
            if (backend().pendingCount() > 0) wakeForPostedWork();
        }
        return true;
    }

  protected:
    // Creates the native window (not yet visible or placed).
    virtual HWND create(HWND parent) = 0;
    // Makes the window show this property of the widget.
    virtual void sync(Property what);
    virtual void syncAll();
    // Called once the window and its children's windows exist.
    virtual void realized() {}
    // Creates windows for children that have none and moves windows that changed parent.
    void realizeChildren();
    HWND createControl(const wchar_t* cls, DWORD style, DWORD exStyle, HWND parent);
    void subclass();
    void applyFont();
    bool mouseMessage(UINT msg, WPARAM wp, LPARAM lp);

    Control& control_;
    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
    bool fromUser_ = false;
    std::set<Property> pending_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Frees the fonts and brushes the peers share.
void releaseGdiCaches();

WindowPeer* peerOf(HWND hwnd);
WindowPeer* peerOf(const Control& c);
// The peer the widget's kind needs; null for widgets without a window of their own.
std::unique_ptr<Peer> makePeer(Control& c);
// Gives a form (and everything in it) its windows, unless it has them already.
WindowPeer& realizeForm(Form& form);

// Helpers shared by the peer files.
std::wstring wide(const std::string& text);
std::string windowText(HWND hwnd);
HFONT fontHandle(const Font& font);
HCURSOR cursorHandle(Cursor c);
COLORREF colorRef(Color c);
// The colour the control shows as its background: its own or its nearest container's.
std::optional<Color> backgroundOf(const Control& c);
HBRUSH brushFor(Color c);
int nextControlId();

}  // namespace ui::win32
