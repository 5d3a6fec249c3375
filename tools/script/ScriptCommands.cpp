// The commands every screen has: set-up before `start`, input and output after it.
#include "tools/script/ScriptCommands.h"

#include "engine/SharedSettings.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/KeyboardInput.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Switch.h"
#include "tools/script/ProcessStep.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"
#include "tools/script/UsKeyboard.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace script {

namespace {

using Session = ScriptSession;
constexpr auto many = ScriptCommand::manyWords;
constexpr double defaultHoldSeconds = 1.0;
// What `continue … times N` may make.
constexpr std::size_t largestActivityText = 256 << 20;

std::string profileNames() {
    std::string names = "phone, pad";
    for (const auto& profile : host::DeviceProfile::all()) names += ", " + inQuotes(profile.name);
    return names;
}

bool device(Session& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    std::optional<host::DeviceProfile> profile;
    if (!line.words[0].quoted && name == "phone") profile = host::DeviceProfile::phone();
    else if (!line.words[0].quoted && name == "pad") profile = host::DeviceProfile::pad();
    else profile = host::DeviceProfile::named(name);
    if (!profile) return s.stop(line, "no device " + inQuotes(name) + " (" + profileNames() + ")");
    s.setUp.device = *profile;
    if (line.words.size() == 2) {
        const std::string& orientation = line.words[1].text;
        if (orientation != "portrait" && orientation != "landscape")
            return s.stop(line, "an orientation is portrait or landscape, not " + inQuotes(orientation));
        s.setUp.orientation = orientation == "portrait" ? host::Orientation::portrait : host::Orientation::landscape;
    }
    return true;
}

bool locale(Session& s, const ScriptLine& line) {
    s.setUp.locale = line.words[0].text;
    foundation::Locale::setCurrent(s.setUp.locale);
    return true;
}

// clock YYYY-MM-DD HH:MM UTC
bool clock(Session& s, const ScriptLine& line) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    char end = 0;
    const bool readable =
        std::sscanf(line.words[0].text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3 &&
        std::sscanf(line.words[1].text.c_str(), "%2d:%2d%c", &hour, &minute, &end) == 2 && line.words[2].text == "UTC";
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!readable || !date.ok() || hour > 23 || minute > 59 || hour < 0 || minute < 0)
        return s.stop(line, "usage: clock YYYY-MM-DD HH:MM UTC");
    s.setClock(sys_days{date} + hours{hour} + minutes{minute});
    return true;
}

bool theme(Session& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    if (name != "dark" && name != "light") return s.stop(line, "a theme is dark or light, not " + inQuotes(name));
    s.setUp.style = name == "dark" ? uikit::UserInterfaceStyle::dark : uikit::UserInterfaceStyle::light;
    if (s.started()) s.host().setUserInterfaceStyle(s.setUp.style);
    return true;
}

bool store(Session& s, const ScriptLine& line) {
    std::string error;
    auto value = parseStoreValue(line.words[1], error);
    if (!value) return s.stop(line, error);
    // Once the screen runs this is another program's write: made on a connection of its own (another
    // thread's), so that the screen's next key finds the store changed.
    bool stored = false;
    std::thread([&] { stored = ostrelo::SharedSettings::open()->set(line.words[0].text, *value); }).join();
    if (!stored) return s.stop(line, "the store did not take " + line.words[0].text);
    return true;
}

bool pasteboard(Session& s, const ScriptLine& line) {
    if (!s.started()) {
        s.setUp.pasteboard = line.words[0].text;
        return true;
    }
    uikit::Pasteboard::general().setString(line.words[0].text);
    s.host().runUntilIdle();
    return true;
}

bool tapDisplay(Session& s, const ScriptLine& line, const std::string& role) {
    auto name = s.screen().lines.find(role);
    if (name == s.screen().lines.end()) return s.stop(line, "the screen has no " + role + " line");
    uikit::View* view = s.finder().outlet(name->second);
    if (view == nullptr || !s.finder().shown(*view)) return s.stop(line, "the " + role + " line is not shown");
    s.host().tap(s.finder().touchPoint(*view));
    return true;
}

// A tap on the window away from the popover that is up.
bool tapOutside(Session& s, const ScriptLine& line) {
    uikit::ViewController* popover = s.finder().popover();
    if (popover == nullptr) return s.stop(line, "no popover is up");
    s.host().tap(s.finder().outside(*popover->popoverPresentationController()));
    return true;
}

// tap CAPTION... | tap display ROLE | tap outside
bool tap(Session& s, const ScriptLine& line) {
    if (line.words.size() == 2 && !line.words[0].quoted && line.words[0].text == "display")
        return tapDisplay(s, line, line.words[1].text);
    if (line.words.size() == 1 && !line.words[0].quoted && line.words[0].text == "outside") return tapOutside(s, line);
    for (const auto& word : line.words) {
        std::string error;
        uikit::Button* key = s.finder().key(word.text, error);
        if (key == nullptr) return s.stop(line, error);
        s.host().tap(s.finder().touchPoint(*key));
    }
    return true;
}

bool hold(Session& s, const ScriptLine& line) {
    double seconds = defaultHoldSeconds;
    if (line.words.size() == 2) {
        auto number = parseNumber(line.words[1].text);
        if (!number || *number < 0) return s.stop(line, "usage: hold CAPTION [SECONDS]");
        seconds = *number;
    }
    std::string error;
    uikit::Button* key = s.finder().key(line.words[0].text, error);
    if (key == nullptr) return s.stop(line, error);
    const uikit::Point point = s.finder().touchPoint(*key);
    s.host().hold(point, seconds);
    s.host().touchUp(point);
    return true;
}

// press CAPTION: a finger down on the key, kept there (while virtual time moves on) until
// `release` lifts it or `cancel` cancels the touch.
bool press(Session& s, const ScriptLine& line) {
    std::string error;
    uikit::Button* key = s.finder().key(line.words[0].text, error);
    if (key == nullptr) return s.stop(line, error);
    s.pressed = s.finder().touchPoint(*key);
    s.host().touchDown(*s.pressed);
    return true;
}

bool release(Session& s, const ScriptLine& line) {
    if (!s.pressed) return s.stop(line, "no finger is down (press CAPTION first)");
    s.host().touchUp(*s.pressed);
    s.pressed.reset();
    return true;
}

bool cancel(Session& s, const ScriptLine& line) {
    if (!s.pressed) return s.stop(line, "no finger is down (press CAPTION first)");
    s.host().touchCancel();
    s.pressed.reset();
    return true;
}

// toggle LABEL: a tap on the switch beside a label (or @outlet).
bool toggle(Session& s, const ScriptLine& line) {
    std::string error;
    uikit::Switch* control = s.finder().switchNamed(line.words[0].text, error);
    if (control == nullptr) return s.stop(line, error);
    s.host().tap(s.finder().touchPoint(*control));
    return true;
}

void rotate(Session& s) {
    const bool portrait = s.host().orientation() == host::Orientation::portrait;
    s.host().rotate(portrait ? host::Orientation::landscape : host::Orientation::portrait);
}

// A key-down as the window host takes it: a press, a rotation (Ctrl+R) or nothing.
void strike(Session& s, const UsKeyboard::Stroke& stroke) {
    const auto result = host::KeyboardInput::translate(stroke);
    if (result.action == host::KeyboardInput::Action::rotate) rotate(s);
    else if (result.action == host::KeyboardInput::Action::press) s.host().pressKey(result.key);
}

// key NAME...: a quoted word is one press carrying its characters.
bool key(Session& s, const ScriptLine& line) {
    for (const auto& word : line.words) {
        if (word.quoted) {
            s.host().pressKey(word.text);
            continue;
        }
        auto stroke = UsKeyboard::named(word.text);
        if (!stroke) return s.stop(line, "no key " + inQuotes(word.text) + " on a US keyboard");
        strike(s, *stroke);
    }
    return true;
}

// type "TEXT"
bool type(Session& s, const ScriptLine& line) {
    for (char c : line.words[0].text) {
        auto stroke = UsKeyboard::typing(c);
        if (!stroke) return s.stop(line, "a US keyboard does not type " + inQuotes(std::string(1, c)));
        strike(s, *stroke);
    }
    return true;
}

// continue [TYPE] ["TEXT" [times N]]: hands an activity to the running screen as a later start
// does; without words, the activity the group directory holds.
bool continueActivity(Session& s, const ScriptLine& line) {
    constexpr const char* usage = "usage: continue [TYPE] [\"TEXT\" [times N]]";
    const auto& words = line.words;
    std::size_t i = 0;
    std::optional<std::string> type, text;
    if (i < words.size() && !words[i].quoted) type = words[i++].text;
    if (i < words.size() && words[i].quoted) text = words[i++].text;
    if (i < words.size()) {
        auto times = i + 2 == words.size() && words[i].text == "times" ? parseNumber(words[i + 1].text) : std::nullopt;
        if (!text || !times || *times < 1 || *times != std::floor(*times)) return s.stop(line, usage);
        const auto count = static_cast<std::size_t>(*times);
        if (*times * static_cast<double>(text->size()) > static_cast<double>(largestActivityText))
            return s.stop(line, "an activity text of at most " + std::to_string(largestActivityText) + " bytes");
        std::string repeated;
        repeated.reserve(text->size() * count);
        for (std::size_t n = 0; n < count; ++n) repeated += *text;
        text = std::move(repeated);
    }
    if (words.empty()) {
        s.host().handle({host::LaunchRequest::Kind::activity, ""});
        return true;
    }
    const auto& own = s.screen().activity;
    if (!own) return s.stop(line, "the screen takes no activities");
    const auto folder = foundation::UserDefaults::groupDirectory() / "continued";
    foundation::UserActivity activity(type.value_or(own->type), folder);
    activity.setTitle(own->title);
    if (text) activity.setUserInfo({{own->key, *text}});
    if (!activity.becomeCurrent()) return s.stop(line, "cannot write the activity in " + folder.string());
    s.host().handle({host::LaunchRequest::Kind::activity, (folder / foundation::UserActivity::fileName).string()});
    return true;
}

bool alternateIcons(Session& s, const ScriptLine& line) {
    const std::string& state = line.words[0].text;
    if (state != "on" && state != "off") return s.stop(line, "usage: alternate-icons on|off");
    s.setUp.alternateIcons = state == "on";
    return true;
}

bool advance(Session& s, const ScriptLine& line) {
    auto seconds = parseNumber(line.words[0].text);
    if (!seconds || *seconds < 0) return s.stop(line, "usage: advance SECONDS");
    s.host().advance(*seconds);
    s.host().runUntilIdle();
    return true;
}

bool process(Session& s, const ScriptLine& line) {
    std::string error;
    s.lastProcess = ProcessStep::run(s.settings().processExecutable, line.words[0].text, s.setUp.locale, s.now(), error);
    if (!s.lastProcess) return s.stop(line, error);
    return true;
}

bool print(Session& s, const ScriptLine& line) {
    s.emit(s.where(line) + ": print");
    for (const auto& shown : s.finder().describe(s.screen().lines)) s.emit("  " + shown);
    auto text = uikit::Pasteboard::general().string();
    s.emit("  pasteboard " + (text ? inQuotes(*text) : std::string("absent")));
    return true;
}

bool snapshot(Session& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    if (name.empty() || name.find('/') != std::string::npos || name.front() == '.')
        return s.stop(line, "a snapshot name is a plain file name: " + inQuotes(name));
    if (!s.settings().snapshots) return true;
    std::error_code ignored;
    std::filesystem::create_directories(*s.settings().snapshots, ignored);
    auto file = *s.settings().snapshots / (name + ".png");
    if (!s.host().writeSnapshot(file)) return s.stop(line, "cannot write " + file.string());
    return true;
}

// A command that only calls the host.
ScriptCommand hostStep(std::string name, void (host::HeadlessHost::*step)()) {
    return {name, Phase::running, 0, 0, name, [step](Session& s, const ScriptLine&) {
                (s.host().*step)();
                return true;
            }};
}

}  // namespace

const ScriptCommands& commonCommands() {
    static const ScriptCommands commands = {
        {"screen", Phase::setUp, 1, 1, "screen NAME", [](Session&, const ScriptLine&) { return true; }},
        {"device", Phase::setUp, 1, 2, "device phone|pad|\"PROFILE NAME\" [portrait|landscape]", device},
        {"locale", Phase::setUp, 1, 1, "locale NAME", locale},
        {"clock", Phase::setUp, 3, 3, "clock YYYY-MM-DD HH:MM UTC", clock},
        {"theme", Phase::any, 1, 1, "theme dark|light", theme},
        {"store", Phase::any, 2, 2, "store KEY VALUE", store},
        {"pasteboard", Phase::any, 1, 1, "pasteboard \"TEXT\"", pasteboard},
        {"alternate-icons", Phase::setUp, 1, 1, "alternate-icons on|off", alternateIcons},
        {"start", Phase::setUp, 0, 0, "start", [](Session& s, const ScriptLine& line) { return s.start(line); }},
        {"tap", Phase::running, 1, many, "tap CAPTION... | tap display primary|secondary | tap outside", tap},
        {"hold", Phase::running, 1, 2, "hold CAPTION [SECONDS]", hold},
        {"press", Phase::running, 1, 1, "press CAPTION", press},
        {"release", Phase::running, 0, 0, "release", release},
        {"cancel", Phase::running, 0, 0, "cancel", cancel},
        {"toggle", Phase::running, 1, 1, "toggle LABEL", toggle},
        {"rotate", Phase::running, 0, 0, "rotate",
         [](Session& s, const ScriptLine&) {
             rotate(s);
             return true;
         }},
        {"key", Phase::running, 1, many, "key NAME...", key},
        {"type", Phase::running, 1, 1, "type \"TEXT\"", type},
        {"continue", Phase::running, 0, 4, "continue [TYPE] [\"TEXT\" [times N]]", continueActivity},
        hostStep("activate", &host::HeadlessHost::becomeActive),
        hostStep("background", &host::HeadlessHost::enterBackground),
        hostStep("foreground", &host::HeadlessHost::enterForeground),
        {"advance", Phase::running, 1, 1, "advance SECONDS", advance},
        {"process", Phase::running, 1, 1, "process \"KEYS\"", process},
        {"print", Phase::running, 0, 0, "print", print},
        {"snapshot", Phase::running, 1, 1, "snapshot NAME", snapshot},
    };
    return commands;
}

}  // namespace script
