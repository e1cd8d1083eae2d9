// What an option's controls need of the window that holds them.
#pragma once

namespace tarnwick {

class TGammaForm;

class ControlOwner {
  public:
    // The window's gamma table editor, opened by the table button of a number option.
    virtual TGammaForm& gammaEditor() = 0;

  protected:
    ~ControlOwner() = default;
};

}  // namespace tarnwick
