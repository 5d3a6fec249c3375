#include "platform/host/KeyComposer.h"

#include "platform/host/XkbCommonLibrary.h"

#include <algorithm>
#include <cstdlib>

namespace host {

namespace {

// The locale whose compose table applies, as the C library would choose it for characters.
const char* characterLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') return value;
    return "C";
}

}  // namespace

std::unique_ptr<KeyComposer> KeyComposer::open(const XkbCommonLibrary& xkb, std::string& error) {
    xkb_context* context = xkb.context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    if (context == nullptr) {
        error = "libxkbcommon has no context";
        return nullptr;
    }
    const char* locale = characterLocale();
    xkb_compose_table* table = xkb.compose_table_new_from_locale(context, locale, XKB_COMPOSE_COMPILE_NO_FLAGS);
    xkb.context_unref(context);
    if (table == nullptr) {
        error = std::string("no compose table for the locale \"") + locale + "\"";
        return nullptr;
    }
    // The state holds the table.
    xkb_compose_state* state = xkb.compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS);
    xkb.compose_table_unref(table);
    if (state == nullptr) {
        error = "no compose state";
        return nullptr;
    }
    return std::unique_ptr<KeyComposer>(new KeyComposer(xkb, state));
}

bool KeyComposer::begins(unsigned long keysym) {
    constexpr unsigned long firstDeadKey = XKB_KEY_dead_grave, lastDeadKey = XKB_KEY_dead_longsolidusoverlay;
    return keysym == XKB_KEY_Multi_key || (keysym >= firstDeadKey && keysym <= lastDeadKey);
}

KeyComposer::~KeyComposer() { xkb_.compose_state_unref(state_); }

KeyComposer::Step KeyComposer::feed(unsigned long keysym, std::string& text) {
    if (xkb_.compose_state_feed(state_, static_cast<xkb_keysym_t>(keysym)) == XKB_COMPOSE_FEED_IGNORED)
        return Step::passed;
    switch (xkb_.compose_state_get_status(state_)) {
    case XKB_COMPOSE_COMPOSING:
        return Step::composing;
    case XKB_COMPOSE_CANCELLED:
        return Step::cancelled;
    case XKB_COMPOSE_COMPOSED: {
        char bytes[64];
        const int length = xkb_.compose_state_get_utf8(state_, bytes, sizeof bytes);
        text.assign(bytes, length > 0 ? std::min<std::size_t>(static_cast<std::size_t>(length), sizeof bytes - 1) : 0);
        return Step::composed;
    }
    case XKB_COMPOSE_NOTHING:
        break;
    }
    return Step::passed;
}

void KeyComposer::reset() { xkb_.compose_state_reset(state_); }

}  // namespace host
