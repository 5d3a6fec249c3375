#include "platform/host/XkbCommonLibrary.h"

#include "platform/foundation/LoadedLibrary.h"

namespace host {

namespace {

using foundation::LoadedLibrary;

constexpr const char* libraryName = "libxkbcommon.so.0";

struct Loaded {
    XkbCommonLibrary library;
    std::string error;
    bool ok = false;
};

Loaded loadLibrary() {
    Loaded loaded;
    LoadedLibrary library;
    if (!library.open(libraryName, loaded.error)) return loaded;
    XkbCommonLibrary& x = loaded.library;
    library.resolve(x.keysym_to_utf8, "xkb_keysym_to_utf8");
    library.resolve(x.context_new, "xkb_context_new");
    library.resolve(x.context_unref, "xkb_context_unref");
    library.resolve(x.compose_table_new_from_locale, "xkb_compose_table_new_from_locale");
    library.resolve(x.compose_table_unref, "xkb_compose_table_unref");
    library.resolve(x.compose_state_new, "xkb_compose_state_new");
    library.resolve(x.compose_state_unref, "xkb_compose_state_unref");
    library.resolve(x.compose_state_feed, "xkb_compose_state_feed");
    library.resolve(x.compose_state_reset, "xkb_compose_state_reset");
    library.resolve(x.compose_state_get_status, "xkb_compose_state_get_status");
    library.resolve(x.compose_state_get_utf8, "xkb_compose_state_get_utf8");
    loaded.ok = library.complete(loaded.error);
    return loaded;
}

}  // namespace

const XkbCommonLibrary* XkbCommonLibrary::load(std::string& error) {
    static const Loaded loaded = loadLibrary();
    if (!loaded.ok) error = loaded.error;
    return loaded.ok ? &loaded.library : nullptr;
}

}  // namespace host
