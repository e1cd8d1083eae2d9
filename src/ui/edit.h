// Single-line edits: free text, a digit mask, whole numbers or real numbers.
#pragma once

#include <optional>

#include "ui/control.h"

namespace ui {

enum class EditInput {
    Text,     // anything
    Digits,   // a mask of optional digits such as "9999": digits only, at most maxLength
    Integer,  // a whole number: digits and one leading minus sign
    Real,     // a real number in the user's locale: digits, sign, separators
};

class Edit : public Control {
  public:
    explicit Edit(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(121), scaled(21));
        setTranslateParts(TranslateHint);  // the text is the user's
    }
    bool canFocus() const override { return true; }

    EditInput input() const { return input_; }
    void setInput(EditInput i) { input_ = i; }
    // 0: no limit. Limits what the user types, not what code sets.
    int maxLength() const { return maxLength_; }
    void setMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    // Shown instead of every character (passwords); 0 for none.
    char passwordChar() const { return passwordChar_; }
    void setPasswordChar(char c) { passwordChar_ = c; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool r) { readOnly_ = r; }
    // A suffix shown after the text (" dpi", "%"); not part of the text.
    const std::string& suffix() const { return suffix_; }
    void setSuffix(std::string s) { suffix_ = std::move(s); }

    // Set by the user's typing; code may set and clear it.
    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }

    // The text as a number of the edit's kind; nothing when it does not convert.
    std::optional<long long> integerValue() const;
    std::optional<double> realValue() const;

    // Every change of the text, by the user or by code, runs onChange.
    Handler onChange;

    // The user types one character at the end (refused characters change nothing); false when
    // the character was refused.
    bool userTypeChar(char c);
    void userBackspace();
    void userClear();
    // The user's editing (typing anywhere, pasting, deleting a selection) leaves this text; it
    // is refused, and nothing changes, when it is one the user could not have typed.
    bool userReplaceText(const std::string& t);

  protected:
    void textChanged() override;

  private:
    bool accepts(char c) const;
    EditInput input_ = EditInput::Text;
    int maxLength_ = 0;
    char passwordChar_ = 0;
    bool readOnly_ = false;
    bool modified_ = false;
    std::string suffix_;
};

}  // namespace ui
