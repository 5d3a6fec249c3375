#pragma once

#include <string>

namespace foundation {

// A shared library loaded while the program runs (dlopen) rather than with it, and the functions
// looked up in it. It is never unloaded: its functions stay valid until the process ends.
class LoadedLibrary {
public:
    // Loads `name` (a soname such as "libcurl.so.4"), resolving every symbol now; false, with the
    // reason in `error`, when it cannot be loaded.
    bool open(const char* name, std::string& error);

    // Looks up `symbol` into `function` (null when missing; the first missing one is kept).
    template <class Function>
    void resolve(Function& function, const char* symbol) {
        function = reinterpret_cast<Function>(address(symbol));
    }

    // True when every symbol asked for was found; else false, with the first missing one named
    // in `error`.
    bool complete(std::string& error) const;

private:
    void* address(const char* symbol);

    std::string name_;
    void* handle_ = nullptr;
    std::string missing_;
};

}  // namespace foundation
