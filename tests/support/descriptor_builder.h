// Option descriptors as the daemon sends them, built field by field for tests.
#pragma once

#include <string>
#include <vector>

#include "sane/procedures.h"

namespace tarnwick::testing {

class DescriptorBuilder {
  public:
    DescriptorBuilder(Word index, std::string name, Word type) {
        d_.index = index;
        d_.name = std::move(name);
        d_.title = d_.name;
        d_.type = type;
        d_.size = type == SANE_TYPE_STRING ? 32 : 4;
        d_.cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    }
    DescriptorBuilder& title(std::string text) {
        d_.title = std::move(text);
        return *this;
    }
    DescriptorBuilder& unit(Word unit) {
        d_.unit = unit;
        return *this;
    }
    DescriptorBuilder& size(Word size) {
        d_.size = size;
        return *this;
    }
    DescriptorBuilder& cap(Word cap) {
        d_.cap = cap;
        return *this;
    }
    DescriptorBuilder& range(Word min, Word max, Word quant) {
        d_.constraintType = SANE_CONSTRAINT_RANGE;
        d_.range = {min, max, quant};
        return *this;
    }
    DescriptorBuilder& wordList(std::vector<Word> entries) {
        d_.constraintType = SANE_CONSTRAINT_WORD_LIST;
        d_.wordList = std::move(entries);
        return *this;
    }
    DescriptorBuilder& stringList(std::vector<std::string> entries) {
        d_.constraintType = SANE_CONSTRAINT_STRING_LIST;
        d_.stringList = std::move(entries);
        return *this;
    }
    const OptionDescriptor& build() const { return d_; }
    operator const OptionDescriptor&() const { return d_; }

  private:
    OptionDescriptor d_;
};

}  // namespace tarnwick::testing
