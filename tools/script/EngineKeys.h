#pragma once

#include <string>

namespace ostrelo {
class Calculator;
}

namespace script {

// What a calculator's display lines show.
struct DisplayTexts {
    std::string primary;
    std::string secondary;
};

// Presses one key on a calculation engine as a plain calculator screen of another deliverable
// would: digits, the decimal separator (which starts date mode on a typed day and month), "𝑑",
// operators, "=", "C", "AC", the memory keys, parentheses, "±", "deg"/"rad" and the function
// keys by their titles. Returns what the display shows after the key ("𝑑" shows the date result
// and then clears the calculation, as a screen does). False in `known` for a caption no
// calculator key has.
DisplayTexts pressEngineKey(ostrelo::Calculator& calculator, const std::string& caption, bool& known);

}  // namespace script
