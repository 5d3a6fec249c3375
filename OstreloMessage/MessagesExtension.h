#pragma once

#include "platform/uikit/MessagesAppViewController.h"

#include <memory>
#include <string>

namespace ostrelo {

// The messaging extension as a host starts it: the root controller, the initial scene of the
// storyboard "MainInterface". The host (the conversation window, or the headless host in tests)
// makes it with makeRoot and calls it as its messaging app would.
class MessagesExtension {
public:
    static constexpr const char* storyboardName = "MainInterface";
    static constexpr const char* bundleIdentifier = "org.ostrelo().Ostrelo.OstreloMessage";

    // The root, with the extension's classes known to scenes and its bundle's info filled in;
    // null (logged) when the storyboard or its initial scene cannot be loaded.
    static std::unique_ptr<uikit::MessagesAppViewController> makeRoot();
    // Whether the storyboard holds the root and its four scenes, each of its class; false with
    // the reason (for a child's scene: "Unable to instantiate an … from the storyboard").
    static bool checkScenes(std::string& error);
    // The class names that the extension's scenes use; safe to repeat.
    static void registerClasses();
};

}  // namespace ostrelo
