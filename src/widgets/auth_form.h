// The dialog that asks for a user name and password when the daemon protects a resource.
#pragma once

#include "sane/authorization.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"

namespace tarnwick {

class TFAuth : public ui::Form, public Authorizer {
  public:
    // Builds the form and runs FormCreate.
    TFAuth();

    // Translates the form's texts.
    void FormCreate();
    // OK is possible exactly when a user name is there.
    void UsernameChange();

    // Shows the dialog modally; the texts typed stay for the next prompt.
    std::optional<Credentials> ask(const std::string& resource) override;

    ui::Label& Label1;
    ui::Label& Label2;
    ui::Edit& Username;
    ui::Edit& Password;
    ui::Button& bOK;
    ui::Button& bCancel;
};

}  // namespace tarnwick
