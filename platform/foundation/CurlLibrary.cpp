#include "platform/foundation/CurlLibrary.h"

#include <dlfcn.h>


namespace foundation {

namespace {

constexpr const char* libraryName = "libcurl.so.4";

template <class Function>
bool resolve(void* library, Function& function, const char* name, std::string& missing) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr && missing.empty()) missing = name;
    return function != nullptr;
}

struct Loaded {
    CurlLibrary library;
    std::string error;
    bool ok = false;
};

Loaded loadLibrary() {
    Loaded loaded;
    void* handle = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        loaded.error = std::string("cannot load ") + libraryName + (reason != nullptr ? std::string(": ") + reason : "");
        return loaded;
    }
    CurlLibrary& c = loaded.library;
    std::string missing;
    resolve(handle, c.global_init, "curl_global_init", missing);
    resolve(handle, c.easy_init, "curl_easy_init", missing);
    resolve(handle, c.easy_cleanup, "curl_easy_cleanup", missing);
    resolve(handle, c.easy_setopt, "curl_easy_setopt", missing);
    resolve(handle, c.easy_getinfo, "curl_easy_getinfo", missing);
    resolve(handle, c.easy_strerror, "curl_easy_strerror", missing);
    resolve(handle, c.multi_init, "curl_multi_init", missing);
    resolve(handle, c.multi_cleanup, "curl_multi_cleanup", missing);
    resolve(handle, c.multi_add_handle, "curl_multi_add_handle", missing);
    resolve(handle, c.multi_remove_handle, "curl_multi_remove_handle", missing);
    resolve(handle, c.multi_perform, "curl_multi_perform", missing);
    resolve(handle, c.multi_info_read, "curl_multi_info_read", missing);
    resolve(handle, c.multi_poll, "curl_multi_poll", missing);
    resolve(handle, c.multi_wakeup, "curl_multi_wakeup", missing);
    resolve(handle, c.url, "curl_url", missing);
    resolve(handle, c.url_cleanup, "curl_url_cleanup", missing);
    resolve(handle, c.url_set, "curl_url_set", missing);
    resolve(handle, c.url_get, "curl_url_get", missing);
    resolve(handle, c.free, "curl_free", missing);
    if (!missing.empty()) {
        loaded.error = std::string(libraryName) + " lacks " + missing;
        return loaded;  // the library stays loaded: it is not unloaded while the process runs
    }
    if (c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        loaded.error = std::string(libraryName) + " cannot be initialised";
        return loaded;
    }
    loaded.ok = true;
    return loaded;
}

}  // namespace

const CurlLibrary* CurlLibrary::load(std::string& error) {
    static const Loaded loaded = loadLibrary();
    if (!loaded.ok) error = loaded.error;
    return loaded.ok ? &loaded.library : nullptr;
}

}  // namespace foundation
