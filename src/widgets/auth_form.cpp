#include "widgets/auth_form.h"

#include "base/translate.h"
#include "widgets/form_translation.h"

namespace tarnwick {

namespace {

template <class T>
T& control(ui::Form& form, const char* name, int left, int top, int width, int height) {
    T& c = form.add<T>();
    c.setName(name);
    // Places as at 96 DPI.
    c.setBounds(c.scaled(left), c.scaled(top), c.scaled(width), c.scaled(height));
    return c;
}

}  // namespace

TFAuth::TFAuth()
    : Label1(control<ui::Label>(*this, "Label1", 8, 12, 60, 13)),
      Label2(control<ui::Label>(*this, "Label2", 8, 38, 60, 13)),
      Username(control<ui::Edit>(*this, "Username", 72, 8, 128, 21)),
      Password(control<ui::Edit>(*this, "Password", 72, 34, 128, 21)),
      bOK(control<ui::Button>(*this, "bOK", 24, 64, 75, 25)),
      bCancel(control<ui::Button>(*this, "bCancel", 108, 64, 75, 25)) {
    setName("FAuth");
    setCaption(N_("Authentication required"));
    setBorderStyle(ui::BorderStyle::Dialog);
    setClientSize(scaled(208), scaled(96));
    centerOnScreen();
    Label1.setText(N_("Username:"));
    Label2.setText(N_("Password:"));
    Password.setPasswordChar('*');
    bOK.setText(N_("OK"));
    bOK.setModalResult(ui::ModalResult::Ok);
    bOK.setDefault(true);
    bOK.setEnabled(false);
    bCancel.setText(N_("Cancel"));
    bCancel.setModalResult(ui::ModalResult::Cancel);
    bCancel.setCancel(true);
    Username.onChange = [this] { UsernameChange(); };
    FormCreate();
}

void TFAuth::FormCreate() {
    translateForm(*this);
}

void TFAuth::UsernameChange() {
    bOK.setEnabled(!Username.text().empty());
}

std::optional<Credentials> TFAuth::ask(const std::string&) {
    if (showModal() != ui::ModalResult::Ok) return std::nullopt;
    return Credentials{Username.text(), Password.text()};
}

}  // namespace tarnwick
