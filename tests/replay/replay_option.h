// One option of a replayed device: what its listing tells, its SANE descriptor and its value.
#pragma once

#include <sane/sane.h>

#include <string>
#include <vector>

namespace tarnwick::replay {

enum class Constraint { none, range, words, strings };

struct ReplayOption {
    std::string name;  // empty for a group
    std::string title;
    std::string description;
    SANE_Value_Type type = SANE_TYPE_INT;
    SANE_Unit unit = SANE_UNIT_NONE;
    SANE_Int cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    Constraint constraint = Constraint::none;
    double min = 0, max = 0, quant = 0;
    std::vector<double> words;
    std::vector<std::string> strings;
    std::size_t count = 1;        // elements of a numeric value; bytes of a string's storage
    std::vector<double> numbers;  // as listed; publish() makes them the value
    std::string text;

    // Builds the descriptor over this object's own storage: call once the option no longer moves.
    void publish();
    const SANE_Option_Descriptor& descriptor() const { return descriptor_; }

    bool active() const { return SANE_OPTION_IS_ACTIVE(cap); }
    bool settable() const { return SANE_OPTION_IS_SETTABLE(cap); }
    bool numeric() const {
        return type == SANE_TYPE_BOOL || type == SANE_TYPE_INT || type == SANE_TYPE_FIXED;
    }
    // The first element of a numeric value.
    double number() const;
    void setNumber(double value);

    // The value in SANE's form, into storage of descriptor().size bytes.
    void read(void* value) const;
    // Takes a value in SANE's form, brought within the constraint; false when it cannot be.
    bool write(const void* value, SANE_Int* info);
    // Brings a word within the constraint, as SANE's backends do (sanei_constrain_value).
    SANE_Word fit(SANE_Word word) const;
    SANE_Word toWord(double value) const;

  private:
    std::vector<SANE_Word> value_;
    SANE_Option_Descriptor descriptor_{};
    SANE_Range range_{};
    std::vector<SANE_Word> wordList_;
    std::vector<SANE_String_Const> stringList_;
};

}  // namespace tarnwick::replay
