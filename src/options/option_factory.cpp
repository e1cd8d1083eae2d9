#include "options/option_factory.h"

#include "options/number_option.h"
#include "options/simple_options.h"
#include "options/string_option.h"

namespace tarnwick {
namespace {

std::unique_ptr<Option> makeNumber(const OptionDescriptor& d, OptionDevice* device) {
    auto option = std::make_unique<NumberOption>(d.index, d.name, d.title, d.desc, d.unit, d.size,
                                                 d.cap, device);
    bool fixed = d.type == SANE_TYPE_FIXED;
    if (fixed) option->setFixed();
    auto value = [fixed](Word word) { return fixed ? fromFixedWord(word) : double(word); };
    if (d.constraintType == SANE_CONSTRAINT_RANGE)
        option->setRange(value(d.range.min), value(d.range.max), value(d.range.quant));
    else if (d.constraintType == SANE_CONSTRAINT_WORD_LIST)
        for (Word entry : d.wordList) option->addWordListEntry(value(entry));
    return option;
}

std::unique_ptr<Option> makeString(const OptionDescriptor& d, OptionDevice* device) {
    auto option = std::make_unique<StringOption>(d.index, d.name, d.title, d.desc, d.unit, d.size,
                                                 d.cap, device);
    if (d.constraintType == SANE_CONSTRAINT_STRING_LIST)
        for (const std::string& choice : d.stringList) option->addChoice(choice);
    return option;
}

template <class T>
std::unique_ptr<Option> makePlain(const OptionDescriptor& d, OptionDevice* device) {
    return std::make_unique<T>(d.index, d.name, d.title, d.desc, d.unit, d.size, d.cap, device);
}

}  // namespace

std::unique_ptr<Option> makeOption(const OptionDescriptor& descriptor, OptionDevice* device,
                                   bool hideInactive) {
    std::unique_ptr<Option> option;
    switch (descriptor.type) {
        case SANE_TYPE_BOOL:
            option = makePlain<BoolOption>(descriptor, device);
            break;
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED:
            option = makeNumber(descriptor, device);
            break;
        case SANE_TYPE_STRING:
            option = makeString(descriptor, device);
            break;
        case SANE_TYPE_BUTTON:
            option = makePlain<ButtonOption>(descriptor, device);
            break;
        case SANE_TYPE_GROUP:
            option = makePlain<GroupOption>(descriptor, device);
            break;
        default:
            return nullptr;
    }
    option->hideInactive = hideInactive;
    return option;
}

}  // namespace tarnwick
