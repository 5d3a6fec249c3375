#pragma once

#include <string>

namespace ostrelo {

class CalculatorButton;

// Key titles as the screens read and write them: what the key's title label shows, and the
// title of the normal state. A missing key reads as "" and ignores writes.
class KeyTitle {
public:
    static std::string shown(const CalculatorButton* key);
    static void set(CalculatorButton* key, const std::string& title);
};

}  // namespace ostrelo
