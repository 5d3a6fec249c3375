#include "tools/script/ScriptSession.h"

#include "platform/foundation/Locale.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Pasteboard.h"
#include "tools/script/PickerCommands.h"
#include "tools/script/ScriptCommands.h"

#include <chrono>
#include <utility>

namespace script {

namespace {

// A screen's own command (or expectation) first, then the common one, then the pickers'.
const ScriptCommand* commandFor(const ScreenDefinition* screen, bool expectation, const std::string& name) {
    if (screen != nullptr)
        if (const auto* own = findCommand(expectation ? screen->expectations : screen->commands, name)) return own;
    if (const auto* common = findCommand(expectation ? commonExpectations() : commonCommands(), name)) return common;
    return findCommand(expectation ? pickerExpectations() : pickerCommands(), name);
}

const ScreenDefinition* screenNamed(const std::vector<ScreenDefinition>& screens, const std::string& name) {
    for (const auto& screen : screens)
        if (screen.name == name) return &screen;
    return nullptr;
}

std::string screenNames(const std::vector<ScreenDefinition>& screens) {
    std::string names;
    for (const auto& screen : screens) names += (names.empty() ? "" : ", ") + screen.name;
    return names.empty() ? "none" : names;
}

// The command a line runs and the line as the command sees it (an expectation without its kind).
struct Resolved {
    const ScriptCommand* command = nullptr;
    ScriptLine line;
};

Resolved resolve(const ScriptLine& line, const ScreenDefinition* screen, std::string& error) {
    if (line.command != "expect") {
        const auto* command = commandFor(screen, false, line.command);
        if (command == nullptr) error = "unknown command \"" + line.command + "\"";
        return {command, line};
    }
    if (line.words.empty() || line.words.front().quoted) {
        error = "expect needs a kind: expect primary \"0\"";
        return {};
    }
    ScriptLine rest{line.number, line.words.front().text, {line.words.begin() + 1, line.words.end()}};
    const auto* command = commandFor(screen, true, rest.command);
    if (command == nullptr) error = "unknown expectation \"" + rest.command + "\"";
    return {command, rest};
}

foundation::Clock::TimePoint defaultMoment() {
    using namespace std::chrono;
    return sys_days{year{2025} / January / 1} + hours{12};
}

}  // namespace

const ScreenDefinition* ScriptSession::check(const Script& script, const std::vector<ScreenDefinition>& screens,
                                             ScriptProblem& problem) {
    const ScreenDefinition* screen = nullptr;
    for (const auto& line : script.lines) {
        if (line.command != "screen" || line.words.size() != 1) continue;
        screen = screenNamed(screens, line.words.front().text);
        if (screen == nullptr) {
            problem = {line.number, "no screen \"" + line.words.front().text + "\" (screens: " + screenNames(screens) + ")"};
            return nullptr;
        }
        break;
    }
    bool startSeen = false, screenSeen = false;
    for (const auto& line : script.lines) {
        std::string error;
        Resolved resolved = resolve(line, screen, error);
        const ScriptCommand* command = resolved.command;
        if (command == nullptr) {
            problem = {line.number, error};
            return nullptr;
        }
        auto fail = [&](const std::string& message) {
            problem = {line.number, message};
            return nullptr;
        };
        if (!command->takes(resolved.line.words.size())) return fail("usage: " + command->usage);
        if (line.command == "screen" && std::exchange(screenSeen, true)) return fail("a second screen line");
        if (line.command == "start" && startSeen) return fail("a second start");
        if (command->phase == Phase::setUp && startSeen) return fail(line.command + " belongs before start");
        if (command->phase == Phase::running && !startSeen) return fail(line.command + " comes after start");
        if (line.command == "start") startSeen = true;
    }
    if (screen == nullptr) problem = {0, "the script names no screen (screen NAME; screens: " + screenNames(screens) + ")"};
    else if (!startSeen) problem = {0, "the script never starts its screen (start)"};
    return startSeen ? screen : nullptr;
}

ScriptSession::ScriptSession(const Script& script, const ScreenDefinition& screen, Settings settings, Output output)
    : script_(script), screen_(screen), settings_(std::move(settings)), output_(std::move(output)) {
    setUp.locale = defaultLocale;
    foundation::Locale::setCurrent(setUp.locale);
    setClock(defaultMoment());
}

ScriptSession::~ScriptSession() {
    host_.reset();
    keepAlive_.reset();
    foundation::Clock::replaceSource({});
}

bool ScriptSession::run(const std::function<void(int line)>& onLine) {
    for (const auto& line : script_.lines) {
        if (onLine) onLine(line.number);
        if (!runLine(line)) return false;
        pinClock();
    }
    return failures_ == 0;
}

bool ScriptSession::runLine(const ScriptLine& line) {
    std::string error;
    Resolved resolved = resolve(line, &screen_, error);
    if (resolved.command == nullptr) return stop(line, error);
    return resolved.command->run(*this, resolved.line);
}

void ScriptSession::fail(const ScriptLine& line, const std::string& message) {
    ++failures_;
    emit(where(line) + ": " + message);
}

std::string ScriptSession::where(const ScriptLine& line) const { return script_.name + ":" + std::to_string(line.number); }

bool ScriptSession::stop(const ScriptLine& line, const std::string& message) {
    fail(line, message);
    return false;
}

void ScriptSession::emit(const std::string& text) { output_(text); }

bool ScriptSession::start(const ScriptLine& line) {
    host_ = std::make_unique<host::HeadlessHost>(setUp.device, setUp.orientation);
    host_->setUserInterfaceStyle(setUp.style);
    if (setUp.pasteboard) uikit::Pasteboard::general().setString(*setUp.pasteboard);
    pinClock();
    std::string error;
    if (!screen_.start || !screen_.start(*host_, setUp.arguments, keepAlive_, error))
        return stop(line, "the screen \"" + screen_.name + "\" did not start: " + error);
    host_->runUntilIdle();
    return true;
}

ViewFinder ScriptSession::finder() { return ViewFinder(host_->window()); }

void ScriptSession::setClock(foundation::Clock::TimePoint moment) {
    clockOrigin_ = moment - std::chrono::duration_cast<foundation::Clock::TimePoint::duration>(
                                std::chrono::duration<double>(host_ ? host_->now() : 0.0));
    pinClock();
}

foundation::Clock::TimePoint ScriptSession::now() const {
    return clockOrigin_ + std::chrono::duration_cast<foundation::Clock::TimePoint::duration>(
                              std::chrono::duration<double>(host_ ? host_->now() : 0.0));
}

// Pinned between commands rather than read from the run loop on every call: other threads may
// read the clock while the main thread moves virtual time.
void ScriptSession::pinClock() { foundation::Clock::pinAt(now()); }

}  // namespace script
