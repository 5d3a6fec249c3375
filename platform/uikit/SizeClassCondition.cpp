#include "platform/uikit/SizeClassCondition.h"

namespace uikit {

namespace {
// Splits at every `separator`; empty parts are kept (and rejected by the callers).
std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}
}  // namespace

std::optional<SizeClassCondition> SizeClassCondition::parse(const std::string& text) {
    SizeClassCondition condition;
    condition.text_ = text;
    for (const std::string& alternative : split(text, '|')) {
        Term term;
        for (const std::string& part : split(alternative, '+')) {
            if (part.size() != 2 || (part[1] != 'C' && part[1] != 'R')) return std::nullopt;
            auto sizeClass = part[1] == 'C' ? UserInterfaceSizeClass::compact : UserInterfaceSizeClass::regular;
            auto& axis = part[0] == 'w' ? term.width : part[0] == 'h' ? term.height : term.width;
            if ((part[0] != 'w' && part[0] != 'h') || axis) return std::nullopt;
            axis = sizeClass;
        }
        condition.alternatives_.push_back(term);
    }
    return condition;
}

bool SizeClassCondition::matches(const TraitCollection& traits) const {
    for (const Term& term : alternatives_) {
        if (term.width && *term.width != traits.horizontalSizeClass) continue;
        if (term.height && *term.height != traits.verticalSizeClass) continue;
        return true;
    }
    return false;
}

}  // namespace uikit
