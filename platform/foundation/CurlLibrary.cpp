#include "platform/foundation/CurlLibrary.h"

#include "platform/foundation/LoadedLibrary.h"

namespace foundation {

namespace {

constexpr const char* libraryName = "libcurl.so.4";

struct Loaded {
    CurlLibrary library;
    std::string error;
    bool ok = false;
};

Loaded loadLibrary() {
    Loaded loaded;
    LoadedLibrary library;
    if (!library.open(libraryName, loaded.error)) return loaded;
    CurlLibrary& c = loaded.library;
    library.resolve(c.global_init, "curl_global_init");
    library.resolve(c.easy_init, "curl_easy_init");
    library.resolve(c.easy_cleanup, "curl_easy_cleanup");
    library.resolve(c.easy_setopt, "curl_easy_setopt");
    library.resolve(c.easy_getinfo, "curl_easy_getinfo");
    library.resolve(c.easy_strerror, "curl_easy_strerror");
    library.resolve(c.multi_init, "curl_multi_init");
    library.resolve(c.multi_cleanup, "curl_multi_cleanup");
    library.resolve(c.multi_add_handle, "curl_multi_add_handle");
    library.resolve(c.multi_remove_handle, "curl_multi_remove_handle");
    library.resolve(c.multi_perform, "curl_multi_perform");
    library.resolve(c.multi_info_read, "curl_multi_info_read");
    library.resolve(c.multi_poll, "curl_multi_poll");
    library.resolve(c.multi_wakeup, "curl_multi_wakeup");
    library.resolve(c.url, "curl_url");
    library.resolve(c.url_cleanup, "curl_url_cleanup");
    library.resolve(c.url_set, "curl_url_set");
    library.resolve(c.url_get, "curl_url_get");
    library.resolve(c.free, "curl_free");
    if (!library.complete(loaded.error)) return loaded;
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
