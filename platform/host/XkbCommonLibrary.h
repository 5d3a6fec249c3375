#pragma once

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <string>

namespace host {

// libxkbcommon, loaded with the first key rather than with the program, so that start-up does not
// load it: the text of keysyms and the compose tables (dead keys, the Compose key). The functions
// are those of its interface.
class XkbCommonLibrary {
public:
    // Loads the library on the first call (main thread; later calls return what the first one
    // did); null, with the reason, when it cannot be loaded.
    static const XkbCommonLibrary* load(std::string& error);

    int (*keysym_to_utf8)(xkb_keysym_t, char*, size_t) = nullptr;
    xkb_context* (*context_new)(xkb_context_flags) = nullptr;
    void (*context_unref)(xkb_context*) = nullptr;
    xkb_compose_table* (*compose_table_new_from_locale)(xkb_context*, const char*, xkb_compose_compile_flags) = nullptr;
    void (*compose_table_unref)(xkb_compose_table*) = nullptr;
    xkb_compose_state* (*compose_state_new)(xkb_compose_table*, xkb_compose_state_flags) = nullptr;
    void (*compose_state_unref)(xkb_compose_state*) = nullptr;
    xkb_compose_feed_result (*compose_state_feed)(xkb_compose_state*, xkb_keysym_t) = nullptr;
    void (*compose_state_reset)(xkb_compose_state*) = nullptr;
    xkb_compose_status (*compose_state_get_status)(xkb_compose_state*) = nullptr;
    int (*compose_state_get_utf8)(xkb_compose_state*, char*, size_t) = nullptr;
};

}  // namespace host
