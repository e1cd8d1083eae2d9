#include "options/option_factory.h"

#include "options/number_option.h"
#include "options/simple_options.h"
#include "options/string_option.h"

namespace tarnwick {
namespace {

double numberOf(Word word, bool fixed) {
    return fixed ? fromFixedWord(word) : double(word);
}

std::unique_ptr<Option> makeNumber(const OptionDescriptor& d, OptionDevice* device) {
    auto option = std::make_unique<NumberOption>(d.index, d.name, d.title, d.desc, d.unit, d.size,
                                                 d.cap, device);
    bool fixed = d.type == SANE_TYPE_FIXED;
    if (fixed) option->setFixed();
    auto value = [fixed](Word word) { return numberOf(word, fixed); };
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

void renewConstraint(Option& option, const OptionDescriptor& d) {
    if (option.valueType() != d.type) return;
    if (auto* number = dynamic_cast<NumberOption*>(&option)) {
        const bool fixed = number->isFixed;
        std::vector<double> entries;
        if (d.constraintType == SANE_CONSTRAINT_WORD_LIST)
            for (Word entry : d.wordList) entries.push_back(numberOf(entry, fixed));
        const Word kind = d.constraintType == SANE_CONSTRAINT_RANGE       ? numberRange
                          : d.constraintType == SANE_CONSTRAINT_WORD_LIST ? numberWordList
                                                                          : numberNone;
        number->replaceConstraint(kind, numberOf(d.range.min, fixed), numberOf(d.range.max, fixed),
                                  numberOf(d.range.quant, fixed), std::move(entries));
    } else if (auto* text = dynamic_cast<StringOption*>(&option)) {
        text->replaceChoices(d.constraintType == SANE_CONSTRAINT_STRING_LIST
                                 ? d.stringList
                                 : std::vector<std::string>{});
    }
}

}  // namespace tarnwick
