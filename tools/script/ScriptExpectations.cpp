// The kinds of `expect` every screen has. Each compares what a user or another program sees
// with the script's text and reports "expected … got …" when they differ; the script goes on.
#include "tools/script/ScriptCommands.h"

#include "engine/SharedSettings.h"
#include "platform/foundation/UserActivity.h"
#include "platform/host/HeadlessHost.h"
#include "platform/render/Image.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/StoreReviewController.h"
#include "platform/uikit/Switch.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"
#include "ui/CalculatorButton.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>

namespace script {

namespace {

using Session = ScriptSession;
constexpr auto many = ScriptCommand::manyWords;
constexpr double alphaTolerance = 0.005;
constexpr double sizeTolerance = 0.5;  // points

// Reports a difference; always lets the script go on.
bool compare(Session& s, const ScriptLine& line, const std::string& what, const std::string& expected,
             const std::string& got) {
    if (expected != got) s.fail(line, "expected " + what + expected + " got " + got);
    return true;
}

std::string stateName(std::optional<ostrelo::ButtonState> state) {
    if (!state) return "none";
    switch (*state) {
        case ostrelo::ButtonState::success: return "success";
        case ostrelo::ButtonState::error: return "error";
        case ostrelo::ButtonState::memoryNotEmpty: return "memoryNotEmpty";
        case ostrelo::ButtonState::memoryEmpty: return "memoryEmpty";
    }
    return "none";
}

// expect primary|secondary|memory "TEXT"
ScriptCommand displayLine(const std::string& role) {
    return {role, Phase::running, 1, 1, "expect " + role + " \"TEXT\"", [role](Session& s, const ScriptLine& line) {
                auto name = s.screen().lines.find(role);
                if (name == s.screen().lines.end()) return s.stop(line, "the screen has no " + role + " line");
                auto* label = dynamic_cast<uikit::Label*>(s.finder().outlet(name->second));
                if (label == nullptr) {
                    s.fail(line, "expected " + role + " " + inQuotes(line.words[0].text) + " got no " + role + " line");
                    return true;
                }
                return compare(s, line, role + " ", inQuotes(line.words[0].text), inQuotes(label->text()));
            }};
}

// The key a line names, or a reported failure.
uikit::Button* keyOf(Session& s, const ScriptLine& line) {
    std::string error;
    uikit::Button* key = s.finder().key(line.words[0].text, error);
    if (key == nullptr) s.fail(line, error);
    return key;
}

bool title(Session& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    uikit::View* view = name.size() > 1 && name.front() == '@' ? s.finder().outlet(name.substr(1)) : nullptr;
    if (auto* label = dynamic_cast<uikit::Label*>(view))
        return compare(s, line, "title of " + name + " ", inQuotes(line.words[1].text), inQuotes(label->text()));
    uikit::Button* key = keyOf(s, line);
    if (key == nullptr) return true;
    std::string shown = key->titleForState(uikit::ControlStateNormal).value_or("");
    return compare(s, line, "title of " + name + " ", inQuotes(line.words[1].text), inQuotes(shown));
}

// expect alpha KEY NUMBER: a key's alpha, or any view's by outlet (`@convertFromPicker`).
bool alpha(Session& s, const ScriptLine& line) {
    auto expected = parseNumber(line.words[1].text);
    if (!expected) return s.stop(line, "usage: expect alpha KEY NUMBER");
    // A key, or any view by @outlet (a picker, say).
    const std::string& name = line.words[0].text;
    uikit::View* view = name.size() > 1 && name.front() == '@' ? s.finder().outlet(name.substr(1)) : nullptr;
    if (view == nullptr) view = keyOf(s, line);
    if (view != nullptr && std::abs(view->alpha() - *expected) > alphaTolerance)
        s.fail(line, "expected alpha of " + name + " " + line.words[1].text + " got " + numberText(view->alpha()));
    return true;
}

// expect hidden|shown KEY: a caption counts as shown when any key reading it is shown.
ScriptCommand visibility(bool expectShown) {
    std::string name = expectShown ? "shown" : "hidden";
    return {name, Phase::running, 1, 1, "expect " + name + " KEY", [expectShown](Session& s, const ScriptLine& line) {
                const std::string& key = line.words[0].text;
                std::vector<uikit::View*> views;
                if (key.size() > 1 && key.front() == '@') {
                    if (auto* view = s.finder().outlet(key.substr(1))) views.push_back(view);
                } else {
                    for (auto* button : s.finder().keysReading(key)) views.push_back(button);
                }
                if (views.empty()) {
                    s.fail(line, key.front() == '@' ? "no outlet " + key + " on screen" : "no key reads " + inQuotes(key));
                    return true;
                }
                bool anyShown = false;
                for (auto* view : views) anyShown = anyShown || s.finder().shown(*view);
                if (anyShown != expectShown)
                    s.fail(line, "expected " + inQuotes(key) + (expectShown ? " shown got hidden" : " hidden got shown"));
                return true;
            }};
}

bool state(Session& s, const ScriptLine& line) {
    uikit::Button* key = keyOf(s, line);
    if (key == nullptr) return true;
    auto* calculatorKey = dynamic_cast<ostrelo::CalculatorButton*>(key);
    std::string shown = calculatorKey != nullptr ? stateName(calculatorKey->myButtonState) : "none";
    return compare(s, line, "state of " + line.words[0].text + " ", line.words[1].text, shown);
}

// expect pasteboard "TEXT" | absent
bool pasteboard(Session& s, const ScriptLine& line) {
    const ScriptWord& word = line.words[0];
    auto text = uikit::Pasteboard::general().string();
    std::string expected = word.quoted ? inQuotes(word.text) : word.text;
    return compare(s, line, "pasteboard ", expected, text ? inQuotes(*text) : "absent");
}

// expect store KEY VALUE | absent
bool store(Session& s, const ScriptLine& line) {
    const ScriptWord& word = line.words[1];
    std::string expected = "absent";
    if (word.quoted || word.text != "absent") {
        std::string error;
        auto value = parseStoreValue(word, error);
        if (!value) return s.stop(line, error);
        expected = storeValueText(*value);
    }
    auto stored = ostrelo::SharedSettings::open()->object(line.words[0].text);
    return compare(s, line, "store " + line.words[0].text + " ", expected, stored ? storeValueText(*stored) : "absent");
}

// expect sounds ID... (since the last check)
bool sounds(Session& s, const ScriptLine& line) {
    const auto& requests = s.host().sounds();
    std::string got;
    for (std::size_t i = s.seen.sounds; i < requests.size(); ++i)
        if (requests[i].soundID != uikit::AudioServices::vibrate) got += (got.empty() ? "" : " ") + std::to_string(requests[i].soundID);
    s.seen.sounds = requests.size();
    std::string expected;
    for (const auto& word : line.words) expected += (expected.empty() ? "" : " ") + word.text;
    return compare(s, line, "sounds ", "[" + expected + "]", "[" + got + "]");
}

// expect vibrations N (since the last check)
bool vibrations(Session& s, const ScriptLine& line) {
    const auto& requests = s.host().sounds();
    int count = 0;
    for (std::size_t i = s.seen.vibrations; i < requests.size(); ++i)
        count += requests[i].soundID == uikit::AudioServices::vibrate ? 1 : 0;
    s.seen.vibrations = requests.size();
    return compare(s, line, "vibrations ", line.words[0].text, std::to_string(count));
}

// expect urls "URL"... (opened since the last check)
bool urls(Session& s, const ScriptLine& line) {
    const auto& opened = s.host().openedURLs();
    std::string got, expected;
    for (std::size_t i = s.seen.urls; i < opened.size(); ++i) got += (got.empty() ? "" : " ") + inQuotes(opened[i]);
    s.seen.urls = opened.size();
    for (const auto& word : line.words) expected += (expected.empty() ? "" : " ") + inQuotes(word.text);
    return compare(s, line, "urls ", "[" + expected + "]", "[" + got + "]");
}

// expect popover NAME|none [ARROW [W H KEY]]: the scene shown as a popover, where its arrow
// points, and its size in widths and heights of a key.
bool popover(Session& s, const ScriptLine& line) {
    static const std::map<unsigned, std::string> arrows = {{uikit::PopoverArrowDirectionUp, "up"},
                                                           {uikit::PopoverArrowDirectionDown, "down"},
                                                           {uikit::PopoverArrowDirectionLeft, "left"},
                                                           {uikit::PopoverArrowDirectionRight, "right"}};
    if (line.words.size() == 3 || line.words.size() == 4)
        return s.stop(line, "usage: expect popover NAME|none [up|down|left|right [W H KEY]]");
    uikit::ViewController* shown = s.finder().popover();
    const std::string name = shown == nullptr ? "none" : shown->storyboardIdentifier;
    if (name != line.words[0].text || shown == nullptr) return compare(s, line, "popover ", line.words[0].text, name);
    const uikit::PopoverPresentationController& presentation = *shown->popoverPresentationController();
    if (line.words.size() >= 2) {
        auto arrow = arrows.find(presentation.arrowDirection());
        compare(s, line, "arrow ", line.words[1].text, arrow == arrows.end() ? "unknown" : arrow->second);
    }
    if (line.words.size() == 5) {
        auto widths = parseNumber(line.words[2].text), heights = parseNumber(line.words[3].text);
        if (!widths || !heights) return s.stop(line, "usage: expect popover NAME|none [up|down|left|right [W H KEY]]");
        std::string error;
        uikit::Button* key = s.finder().key(line.words[4].text, error);
        if (key == nullptr) return s.stop(line, error);
        const uikit::Size unit = key->bounds().size, size = presentation.popoverFrame().size;
        const double w = size.width / unit.width, h = size.height / unit.height;
        if (std::abs(size.width - *widths * unit.width) > sizeTolerance ||
            std::abs(size.height - *heights * unit.height) > sizeTolerance)
            s.fail(line, "expected size " + line.words[2].text + " × " + line.words[3].text + " of " + line.words[4].text +
                             " got " + numberText(w) + " × " + numberText(h));
    }
    return true;
}

// expect switch LABEL on|off
bool switchState(Session& s, const ScriptLine& line) {
    const std::string& expected = line.words[1].text;
    if (expected != "on" && expected != "off") return s.stop(line, "usage: expect switch LABEL on|off");
    std::string error;
    uikit::Switch* control = s.finder().switchNamed(line.words[0].text, error);
    if (control == nullptr) {
        s.fail(line, error);
        return true;
    }
    return compare(s, line, "switch " + inQuotes(line.words[0].text) + " ", expected, control->isOn() ? "on" : "off");
}

// expect icons "NAME"...: the alternate icons asked for since the last check.
bool icons(Session& s, const ScriptLine& line) {
    const auto& requests = uikit::Application::shared().alternateIconRequests();
    std::string got, expected;
    for (std::size_t i = s.seen.icons; i < requests.size(); ++i)
        got += (got.empty() ? "" : " ") + (requests[i] ? inQuotes(*requests[i]) : std::string("primary"));
    s.seen.icons = requests.size();
    for (const auto& word : line.words) expected += (expected.empty() ? "" : " ") + inQuotes(word.text);
    return compare(s, line, "icons ", "[" + expected + "]", "[" + got + "]");
}

bool reviews(Session& s, const ScriptLine& line) {
    return compare(s, line, "reviews ", line.words[0].text, std::to_string(uikit::StoreReviewController::requestCount()));
}

// expect process primary|secondary "TEXT": what the last `process` step's calculator showed.
bool process(Session& s, const ScriptLine& line) {
    const std::string& role = line.words[0].text;
    if (role != "primary" && role != "secondary") return s.stop(line, "usage: expect process primary|secondary \"TEXT\"");
    if (!s.lastProcess) return s.stop(line, "no process step ran before");
    const std::string& shown = role == "primary" ? s.lastProcess->primary : s.lastProcess->secondary;
    return compare(s, line, "process " + role + " ", inQuotes(line.words[1].text), inQuotes(shown));
}

// A drawn colour, each channel 0 to 255.
using Rgb = std::array<int, 3>;

Rgb rgbOf(const uikit::Color& colour) {
    auto channel = [](double value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    return {channel(colour.red), channel(colour.green), channel(colour.blue)};
}

std::string rgbText(const Rgb& rgb) {
    return std::to_string(rgb[0]) + " " + std::to_string(rgb[1]) + " " + std::to_string(rgb[2]);
}

// expect pixel X Y R G B: the window as drawn, at a point (in points, at the device's scale).
bool pixel(Session& s, const ScriptLine& line) {
    std::array<double, 5> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        auto number = parseNumber(line.words[i].text);
        if (!number || *number < 0 || (i >= 2 && *number > 255)) return s.stop(line, "usage: expect pixel X Y R G B");
        numbers[i] = *number;
    }
    const double scale = s.host().profile().scale;
    const Rgb got = rgbOf(s.host().snapshot().pixel(static_cast<int>(numbers[0] * scale), static_cast<int>(numbers[1] * scale)));
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - numbers[2 + i]) > 1) {
            std::string expected;
            for (const auto& word : line.words) expected += " " + word.text;
            s.fail(line, "expected pixel" + expected + " got " + rgbText(got));
            break;
        }
    return true;
}

// expect legible primary|secondary: the line's text stands out from the line's background (its
// most common colour) by at least half the range in some channel, somewhere.
bool legible(Session& s, const ScriptLine& line) {
    const std::string& role = line.words[0].text;
    auto name = s.screen().lines.find(role);
    uikit::View* view = name == s.screen().lines.end() ? nullptr : s.finder().outlet(name->second);
    if (view == nullptr || !s.finder().shown(*view)) return s.stop(line, "the " + role + " line is not shown");
    const double scale = s.host().profile().scale;
    const uikit::Rect area = s.finder().visibleRect(*view);
    const render::Image image = s.host().snapshot();
    auto eachPixel = [&](const std::function<bool(const Rgb&)>& visit) {
        for (int y = static_cast<int>(area.minY() * scale); y < static_cast<int>(area.maxY() * scale); ++y)
            for (int x = static_cast<int>(area.minX() * scale); x < static_cast<int>(area.maxX() * scale); ++x) {
                if (!visit(rgbOf(image.pixel(x, y)))) return;
            }
    };
    std::map<Rgb, int> counts;
    eachPixel([&](const Rgb& rgb) { return ++counts[rgb] > 0; });
    if (counts.empty()) return s.stop(line, "the " + role + " line has no visible area");
    const Rgb back =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })->first;
    bool standsOut = false;
    eachPixel([&](const Rgb& rgb) {
        for (int i = 0; i < 3; ++i) standsOut = standsOut || std::abs(rgb[i] - back[i]) >= 128;
        return !standsOut;
    });
    if (!standsOut) {
        auto* label = dynamic_cast<uikit::Label*>(view);
        s.fail(line, "expected " + role + " legible got " + inQuotes(label ? label->text() : "") + " drawn invisibly on " + rgbText(back));
    }
    return true;
}

// expect activity "TEXT": the text of the activity the screen has published (of its type and
// title) in the group directory.
bool activity(Session& s, const ScriptLine& line) {
    const auto& own = s.screen().activity;
    if (!own) return s.stop(line, "the screen publishes no activity");
    const auto published = foundation::UserActivity::readCurrent();
    std::string got = "none";
    if (published && (published->activityType() != own->type || published->title() != own->title)) {
        got = "type " + inQuotes(published->activityType()) + " titled " + inQuotes(published->title());
    } else if (published) {
        const auto entry = published->userInfo().find(own->key);
        got = entry != published->userInfo().end() ? inQuotes(entry->second) : "no " + own->key;
    }
    return compare(s, line, "activity ", inQuotes(line.words[0].text), got);
}

}  // namespace

const ScriptCommands& commonExpectations() {
    static const ScriptCommands expectations = {
        displayLine("primary"),
        displayLine("secondary"),
        displayLine("memory"),
        {"title", Phase::running, 2, 2, "expect title KEY \"TEXT\"", title},
        {"alpha", Phase::running, 2, 2, "expect alpha KEY NUMBER", alpha},
        visibility(false),
        visibility(true),
        {"state", Phase::running, 2, 2, "expect state KEY success|error|memoryNotEmpty|memoryEmpty|none", state},
        {"pasteboard", Phase::running, 1, 1, "expect pasteboard \"TEXT\"|absent", pasteboard},
        {"store", Phase::running, 2, 2, "expect store KEY VALUE|absent", store},
        {"sounds", Phase::running, 0, many, "expect sounds [ID...]", sounds},
        {"vibrations", Phase::running, 1, 1, "expect vibrations N", vibrations},
        {"urls", Phase::running, 0, many, "expect urls [\"URL\"...]", urls},
        {"reviews", Phase::running, 1, 1, "expect reviews N", reviews},
        {"popover", Phase::running, 1, 5, "expect popover NAME|none [up|down|left|right [W H KEY]]", popover},
        {"switch", Phase::running, 2, 2, "expect switch LABEL on|off", switchState},
        {"icons", Phase::running, 0, many, "expect icons [\"NAME\"...]", icons},
        {"process", Phase::running, 2, 2, "expect process primary|secondary \"TEXT\"", process},
        {"pixel", Phase::running, 5, 5, "expect pixel X Y R G B", pixel},
        {"legible", Phase::running, 1, 1, "expect legible primary|secondary", legible},
        {"activity", Phase::running, 1, 1, "expect activity \"TEXT\"", activity},
    };
    return expectations;
}

}  // namespace script
