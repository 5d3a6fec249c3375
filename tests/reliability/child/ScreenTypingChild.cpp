// One program's calculator screen on the headless host, typing what it is told: `app`, `messages`
// (the expanded calculator), `widget` (expanded) or `keyboard`. It reads one key title per line
// on standard input, taps the visible key with that title and answers "key shown TEXT" with its
// display's primary line once the key's work has run, or "key absent".
#include "OstreloMessage/MessagesExtension.h"
#include "app/AppStartup.h"
#include "app/core/CalculatorScreen.h"
#include "app/core/ScreenLinks.h"
#include "engine/ExchangeRateFeed.h"
#include "keyboard/KeyboardViewController.h"
#include "platform/foundation/Locale.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/PanelHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/uikit/MessagesAppViewController.h"
#include "platform/uikit/Storyboard.h"
#include "today/TodayStartup.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

bool shown(const uikit::View& view) {
    for (const uikit::View* v = &view; v != nullptr; v = v->superview())
        if (v->hidden() || v->alpha() <= 0) return false;
    return true;
}

ostrelo::CalculatorButton* visibleKey(uikit::View& root, const std::string& title) {
    for (const auto& child : root.subviews()) {
        auto* key = dynamic_cast<ostrelo::CalculatorButton*>(child.get());
        if (key != nullptr && key->normalTitle() == title && shown(*key)) return key;
        if (auto* found = visibleKey(*child, title)) return found;
    }
    return nullptr;
}

// The screen of the program named, launched on the host; null when it did not load.
uikit::ViewController* launch(host::HeadlessHost& host, const std::string& program) {
    if (program == "app") {
        uikit::Storyboard::setDirectory(std::filesystem::path(APP_SCENES));
        host.launch(ostrelo::AppStartup::description());
        return host.rootViewController();
    }
    if (program == "messages") {
        uikit::Storyboard::setDirectory(std::filesystem::path(MESSAGES_SCENES));
        auto* window = host::ConversationHost::launch(host, ostrelo::MessagesExtension::makeRoot);
        if (window == nullptr) return nullptr;
        window->toggleStyle();
        host.runUntilIdle();
        const auto& children = window->extension()->childViewControllers();
        return children.empty() ? nullptr : children.front().get();
    }
    if (program == "widget") {
        uikit::Storyboard::setDirectory(std::filesystem::path(TODAY_SCENES));
        auto* panel = host::PanelHost::launch(host, ostrelo::TodayStartup::factory());
        if (panel == nullptr) return nullptr;
        panel->toggleDisplayMode();
        host.runUntilIdle();
        return panel->widget();
    }
    if (program == "keyboard") {
        uikit::Storyboard::setDirectory(std::filesystem::path(KEYBOARD_SCENES));
        auto* field =
            host::TextFieldHost::launch(host, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
        return field != nullptr ? field->keyboard() : nullptr;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    foundation::Locale::setCurrent("en_US");
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    uikit::ViewController* controller = launch(host, argv[1]);
    auto* screen = dynamic_cast<ostrelo::CalculatorScreen*>(controller);
    if (screen == nullptr || screen->links().primaryLine == nullptr) return 1;
    host.runUntilIdle();
    std::printf("ready\n");
    std::fflush(stdout);
    for (std::string title; std::getline(std::cin, title);) {
        ostrelo::CalculatorButton* key = visibleKey(*controller->view(), title);
        if (key != nullptr) {
            host.tap(host::HeadlessHost::centerOf(*key));
            host.runUntilIdle();
            std::printf("key shown %s\n", screen->links().primaryLine->text().c_str());
        } else {
            std::printf("key absent\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
