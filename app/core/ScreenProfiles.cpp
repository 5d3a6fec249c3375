#include "app/core/ScreenProfiles.h"

#include "app/core/KeyHandler.h"

namespace ostrelo {

const ScreenProfile& ScreenProfiles::main() {
    using Condition = LongPressRow::Condition;
    static const ScreenProfile profile{
        .longPress = {{"(⋯)", ")"},
                      {"ƒ(x)", "€"},
                      {"MR", "MS"},
                      {"M+", "M−", Condition::compactWidthRegularHeight},
                      {"⇨", KeyHandler::reverseConversionKey, Condition::compactWidthRegularHeight},
                      {"AC", "AC"},
                      {"C", "AC"},
                      {"rad", "⚙"},
                      {"deg", "⚙"},
                      {"x²", "xⁿ"},
                      {"𝜋", "𝜑"},
                      {"𝑒", "#"},
                      {"sin", "sinh"},
                      {"cos", "cosh"},
                      {"tan", "tanh"},
                      {"sin⁻¹", "sinh⁻¹"},
                      {"cos⁻¹", "cosh⁻¹"},
                      {"tan⁻¹", "tanh⁻¹"},
                      {"(", "{"},
                      {")", "}"},
                      {"%", "%%"}},
        .constantKeys = {"𝜋", "𝑒", "%", "𝜑", "#", "rand"},
        .loanStartAcceptsZero = true,
    };
    return profile;
}

}  // namespace ostrelo
