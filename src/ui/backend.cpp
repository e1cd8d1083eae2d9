#include "ui/backend.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "platform/message_box.h"

#include "ui/control.h"
#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/tool_bar.h"
#include "ui/tool_pictures.h"

namespace ui {

namespace {
Backend* current = nullptr;
}  // namespace

Backend& backend() {
    return current ? *current : defaultBackend();
}

Backend* installBackend(Backend* b) {
    Backend* previous = current;
    current = b;
    return previous;
}

// Nobody can answer: the form closes as if the user had closed it.
ModalResult Backend::runModal(Form& form) {
    if (form.modalResult() == ModalResult::None) form.setModalResult(ModalResult::Cancel);
    return form.modalResult();
}

ModalResult Backend::messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                                BoxButtons buttons) {
    return platformBox(text, caption, kind, buttons, nullptr);
}

ModalResult Backend::platformBox(const std::string& text, const std::string& caption, BoxKind kind,
                                 BoxButtons buttons, void* owner) {
    using platform::MessageButtons, platform::MessageIcon, platform::MessageResult;
    MessageIcon icon = kind == BoxKind::Error         ? MessageIcon::error
                       : kind == BoxKind::Warning     ? MessageIcon::warning
                       : kind == BoxKind::Information ? MessageIcon::information
                                                      : MessageIcon::question;
    MessageButtons b = buttons == BoxButtons::Ok         ? MessageButtons::ok
                       : buttons == BoxButtons::OkCancel ? MessageButtons::okCancel
                       : buttons == BoxButtons::YesNo    ? MessageButtons::yesNo
                                                         : MessageButtons::yesNoCancel;
    switch (platform::showMessageBox(text, caption, icon, b, owner)) {
        case MessageResult::ok:
            return ModalResult::Ok;
        case MessageResult::cancel:
            return ModalResult::Cancel;
        case MessageResult::yes:
            return ModalResult::Yes;
        case MessageResult::no:
            return ModalResult::No;
    }
    return ModalResult::Cancel;
}

bool Backend::inputQuery(const std::string&, const std::string&, std::string&) {
    return false;
}
void Backend::popup(PopupMenu&, Point) {}

void Backend::processPendingMessages() {
    // Work posted while running is left for the next round, so a handler that posts again
    // cannot keep the caller here.
    auto work = std::move(posted_);
    posted_.clear();
    for (auto& w : work) w();
}

long long Backend::milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Backend::timerChanged(Timer&) {}
void Backend::formShown(Form&, bool) {}
int Backend::width(const Font& font, const std::string& text) {
    return fixedTextWidth(font, text);
}
int Backend::lineHeight(const Font& font) {
    return fixedLineHeight(font);
}
NumberLocale Backend::numberLocale() {
    return {};
}
Rect Backend::screen() {
    return {0, 0, 1024, 768};
}
Rect Backend::workAreaAt(Point) {
    return screen();
}
Rect Backend::frameOf(const Form&) {
    return {};
}
Point Backend::cursorPos() {
    return {};
}
void Backend::setScreenCursor(Cursor cursor) {
    screenCursor_ = cursor;
}
Cursor Backend::screenCursor() {
    return screenCursor_;
}
void Backend::setCapture(Control* control) {
    capture_ = control;
}
Control* Backend::capture() {
    return capture_;
}

int toolImageSide(ImageSize size, int dpi) {
    return scaled(size == ImageSize::Large ? 32 : 16, dpi);
}

const ImageList& Backend::toolImages(int side) {
    static std::map<int, ImageList> lists;
    side = std::clamp(side, 1, toolImageSide(ImageSize::Large, kMaxDpi));
    ImageList& list = lists[side];
    if (list.images.empty()) {
        list.side = side;
        for (int i = 0; i < kToolImageCount; ++i)
            list.images.push_back(drawToolImage(static_cast<ToolImage>(i), list.side));
    }
    return list;
}

void processPendingMessages() {
    backend().processPendingMessages();
}

ModalResult messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                       BoxButtons buttons) {
    return backend().messageBox(text, caption, kind, buttons);
}

bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    return backend().inputQuery(caption, prompt, value);
}

std::string inputBox(const std::string& caption, const std::string& prompt,
                     const std::string& preset) {
    std::string value = preset;
    if (!inputQuery(caption, prompt, value)) return preset;
    return value;
}

int textWidth(const Font& font, const std::string& text) {
    return backend().width(font, text);
}
int lineHeight(const Font& font) {
    return backend().lineHeight(font);
}

int fixedTextWidth(const Font& font, const std::string& text) {
    int points = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++points;
    const int dpi = boundedDpi(font.dpi);
    return points * ((font.size * 3 * dpi + 2 * kBaseDpi) / (4 * kBaseDpi));
}

int fixedLineHeight(const Font& font) {
    const int dpi = boundedDpi(font.dpi);
    return (font.size * 13 * dpi + 4 * kBaseDpi) / (8 * kBaseDpi);
}

}  // namespace ui
