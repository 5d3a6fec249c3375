#pragma once

#include "platform/foundation/Clock.h"
#include "tools/script/EngineKeys.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace script {

// The `process` step: a second process on the same group directory presses keys on a
// calculation engine of its own and exits, as another deliverable does between two activations
// of a screen. The second process is `EXECUTABLE --process-keys KEYS --locale L --clock SECONDS`
// (a fresh exec, so no store connection crosses the fork); it prints its display lines.
class ProcessStep {
public:
    // Runs the second process and waits for it; none with `error` when it failed.
    static std::optional<DisplayTexts> run(const std::filesystem::path& executable, const std::string& keys,
                                           const std::string& locale, foundation::Clock::TimePoint clock,
                                           std::string& error);
    // True when the arguments ask for the second process's part.
    static bool requested(const std::vector<std::string>& arguments);
    // The second process's part: presses the keys (separated by blanks) and prints the primary and
    // the secondary line, one per line. Returns the exit status (2 for an unknown key).
    static int pressKeys(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};

}  // namespace script
