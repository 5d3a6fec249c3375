#pragma once

#include <string>
#include <vector>

namespace host {

// Starts a program that lies beside the running executable (as `cmake --install` and the build
// tree put them) as a process of its own: it is not waited for and outlives this one.
class SiblingProgram {
public:
    // False, with the reason, when there is no such program beside this one or it cannot start.
    static bool start(const std::string& name, std::string& error);
    // The same with arguments, and when there is none beside this one, the installed one that
    // the PATH finds.
    static bool startBesideOrInstalled(const std::string& name, const std::vector<std::string>& arguments,
                                       std::string& error);

private:
    static bool launch(std::string path, const std::vector<std::string>& arguments, std::string& error);
};

}  // namespace host
