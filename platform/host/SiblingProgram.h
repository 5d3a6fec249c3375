#pragma once

#include <string>

namespace host {

// Starts a program that lies beside the running executable (as `cmake --install` and the build
// tree put them) as a process of its own: it is not waited for and outlives this one.
class SiblingProgram {
public:
    // False, with the reason, when there is no such program beside this one or it cannot start.
    static bool start(const std::string& name, std::string& error);
};

}  // namespace host
