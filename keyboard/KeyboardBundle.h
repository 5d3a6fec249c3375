#pragma once

namespace ostrelo {

// The keyboard's bundle as its property list describes it: an extension embedded in the app,
// with the app's version texts, whose principal class is KeyboardViewController.
struct KeyboardBundle {
    static constexpr const char* bundleIdentifier = "org.ostrelo().Ostrelo.Keyboard";

    // Fills the running program's bundle with this information and makes the interface kit's
    // classes known to the keyboard's nibs. Safe to repeat.
    static void load();
};

}  // namespace ostrelo
