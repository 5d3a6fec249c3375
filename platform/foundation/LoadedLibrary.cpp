#include "platform/foundation/LoadedLibrary.h"

#include <dlfcn.h>

namespace foundation {

bool LoadedLibrary::open(const char* name, std::string& error) {
    name_ = name;
    handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) return true;
    const char* reason = dlerror();
    error = std::string("cannot load ") + name + (reason != nullptr ? std::string(": ") + reason : "");
    return false;
}

void* LoadedLibrary::address(const char* symbol) {
    void* found = handle_ != nullptr ? dlsym(handle_, symbol) : nullptr;
    if (found == nullptr && missing_.empty()) missing_ = symbol;
    return found;
}

bool LoadedLibrary::complete(std::string& error) const {
    if (missing_.empty()) return true;
    error = name_ + " lacks " + missing_;
    return false;
}

}  // namespace foundation
