#include "app/HardwareKeyMap.h"

#include "engine/Calculator.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/HidUsage.h"
#include "platform/uikit/Press.h"
#include "screens/CalculatorScreen.h"
#include "screens/KeyHandler.h"

#include <map>

namespace ostrelo {

namespace {

constexpr unsigned click = uikit::AudioServices::keyClick;
constexpr unsigned endClick = uikit::AudioServices::endKeyClick;

// Keys whose twin does not depend on the calculator's mode.
const std::map<std::string, std::string>& fixedTwins() {
    static const std::map<std::string, std::string> twins{
        {"*", "×"}, {"/", "÷"},  {"+", "+"},  {"-", "−"},  {"(", "("},  {")", ")"},
        {"×", "×"}, {"÷", "÷"}, {"−", "−"}, {"n", "±"}, {"r", "MR"}, {"c", "MC"}, {"s", "M−"}, {"a", "M+"},
    };
    return twins;
}

}  // namespace

HardwareKeyMap::HardwareKeyMap(CalculatorScreen& screen) : screen_(screen) {}

std::optional<HardwareKeyMap::Twin> HardwareKeyMap::twinOf(const uikit::Key& key) const {
    const std::string& c = key.characters;
    if (c.size() == 1 && c[0] >= '0' && c[0] <= '9') return Twin{c, click};
    if (auto fixed = fixedTwins().find(c); fixed != fixedTwins().end()) return Twin{fixed->second, click};
    if (c == "." || c == ",") return Twin{foundation::NumberFormatter().decimalSeparator(), click};
    if (c == "=" || c == "\r") return Twin{screen_.links().calculator->dateCalculator() ? "𝑑" : "=", endClick};
    if (c == "\b") return Twin{"C", endClick};
    if (c == "e") return Twin{"⇨", std::nullopt};
    if (key.keyCode == uikit::hid::escape) return Twin{"AC", endClick};
    return std::nullopt;
}

bool HardwareKeyMap::press(const uikit::Key& key) {
    const std::optional<Twin> twin = twinOf(key);
    if (!twin) return false;
    const bool* clicks = screen_.links().enableClickSound;
    if (twin->sound && clicks != nullptr && *clicks) uikit::AudioServices::playSystemSound(*twin->sound);
    KeyHandler{screen_}.act(twin->text);
    return true;
}

}  // namespace ostrelo
