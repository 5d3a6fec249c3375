#include "platform/foundation/Log.h"

#include <errno.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace foundation {

namespace {
void write(std::string_view level, std::string_view message) {
    // Each program names itself: ostrelo, ostrelo-widget, ostrelo-keyboard, …
    std::string line = std::string(program_invocation_short_name) + "[" + std::to_string(getpid()) + "] " + std::string(level) + ": " +
                       std::string(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}
}  // namespace

void Log::warning(std::string_view message) { write("warning", message); }
void Log::error(std::string_view message) { write("error", message); }
void Log::info(std::string_view message) { write("info", message); }

}  // namespace foundation
