#pragma once

#include <string_view>

namespace foundation {

// Process log on standard error: "ostrelo[<pid>] <level>: <message>".
class Log {
public:
    static void warning(std::string_view message);
    static void error(std::string_view message);
    static void info(std::string_view message);
};

}  // namespace foundation
