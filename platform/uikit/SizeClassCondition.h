#pragma once

#include "platform/uikit/TraitCollection.h"

#include <optional>
#include <string>
#include <vector>

namespace uikit {

// Which size classes a part of a scene belongs to, written as in the scene files: "wC", "wR"
// (compact or regular width), "hC", "hR" (height); "+" joins classes that must all hold and
// "|" separates alternatives, so "wC+hR" is the upright phone and "wR|hC" everything wider.
class SizeClassCondition {
public:
    // None for text that is not such a condition.
    static std::optional<SizeClassCondition> parse(const std::string& text);

    bool matches(const TraitCollection& traits) const;
    const std::string& text() const { return text_; }

private:
    struct Term {
        std::optional<UserInterfaceSizeClass> width;
        std::optional<UserInterfaceSizeClass> height;
    };
    std::vector<Term> alternatives_;
    std::string text_;
};

}  // namespace uikit
