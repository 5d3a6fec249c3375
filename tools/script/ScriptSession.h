#pragma once

#include "platform/foundation/Clock.h"
#include "platform/host/DeviceProfile.h"
#include "platform/uikit/Point.h"
#include "platform/uikit/TraitCollection.h"
#include "tools/script/EngineKeys.h"
#include "tools/script/ScreenDefinition.h"
#include "tools/script/Script.h"
#include "tools/script/ViewFinder.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {
class HeadlessHost;
}

namespace script {

// One script running in this process, on the group directory of the process: the set-up it
// collects, the headless host its `start` makes, and the report of its failures. Commands reach
// the screen only through the host (touches, lifecycle, time) and read only what it shows.
class ScriptSession {
public:
    struct Settings {
        std::optional<std::filesystem::path> snapshots;  // where `snapshot NAME` writes; none: skipped
        std::filesystem::path processExecutable;         // what a `process` step runs
    };
    // Receives each line of the report.
    using Output = std::function<void(const std::string& line)>;

    // What `start` launches with; set-up commands fill it in.
    struct SetUp {
        host::DeviceProfile device = host::DeviceProfile::phone();
        host::Orientation orientation = host::Orientation::portrait;
        uikit::UserInterfaceStyle style = uikit::UserInterfaceStyle::light;
        std::string locale;
        std::optional<std::string> pasteboard;
        std::vector<std::string> arguments;  // the executable's command line
    };

    // What was already checked by `expect sounds|vibrations|urls`.
    struct Seen {
        std::size_t sounds = 0;
        std::size_t vibrations = 0;
        std::size_t urls = 0;
    };

    static constexpr const char* defaultLocale = "en_US";

    // Checks that every line is a known command of the script's screen with fitting words, in
    // the right place around `start`. Returns the screen, or null with the problem.
    static const ScreenDefinition* check(const Script& script, const std::vector<ScreenDefinition>& screens,
                                         ScriptProblem& problem);

    ScriptSession(const Script& script, const ScreenDefinition& screen, Settings settings, Output output);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // Runs every line in order (`onLine` hears each number first). True when every step ran and
    // every expectation held.
    bool run(const std::function<void(int line)>& onLine = {});

    // For commands: report a failed expectation (the script goes on), or a step that cannot run
    // (returns false: the script stops), or a line of output.
    void fail(const ScriptLine& line, const std::string& message);
    bool stop(const ScriptLine& line, const std::string& message);
    void emit(const std::string& text);
    // "FILE:LINE" of a line, as reports start.
    std::string where(const ScriptLine& line) const;

    const ScreenDefinition& screen() const { return screen_; }
    const Settings& settings() const { return settings_; }

    SetUp setUp;
    Seen seen;
    std::optional<DisplayTexts> lastProcess;
    // Where the finger of `press` is down, until `release` or `cancel`.
    std::optional<uikit::Point> pressed;

    // Launches the screen in a new headless host.
    bool start(const ScriptLine& line);
    bool started() const { return host_ != nullptr; }
    host::HeadlessHost& host() { return *host_; }
    // What the screen's start asked to keep (for a screen's own commands).
    const ScreenDefinition::KeepAlive& kept() const { return keepAlive_; }
    ViewFinder finder();

    // The wall clock: the moment set by `clock`, moved on by the host's virtual time.
    void setClock(foundation::Clock::TimePoint moment);
    foundation::Clock::TimePoint now() const;

private:
    bool runLine(const ScriptLine& line);
    void pinClock();

    const Script& script_;
    const ScreenDefinition& screen_;
    Settings settings_;
    Output output_;
    ScreenDefinition::KeepAlive keepAlive_;
    std::unique_ptr<host::HeadlessHost> host_;
    foundation::Clock::TimePoint clockOrigin_;
    int failures_ = 0;
};

}  // namespace script
