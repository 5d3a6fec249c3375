// One program's calculator screen on the headless host: `app`, `messages` (expanded), `widget`
// (expanded) or `keyboard`. For each key title read from standard input it taps the visible key so
// titled and answers "key shown TEXT" (the primary display line) or "key absent". "wait S" lets S
// seconds pass on the run loop's clock and answers as a key does; "close" ends the program as a
// window's close does.
#include "OstreloMessage/MessagesExtension.h"
#include "app/AppStartup.h"
#include "engine/ExchangeRateFeed.h"
#include "keyboard/KeyboardViewController.h"
#include "platform/foundation/Locale.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/PanelHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/uikit/MessagesAppViewController.h"
#include "platform/uikit/Storyboard.h"
#include "screens/CalculatorScreen.h"
#include "today/TodayStartup.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"

#include <cstdio>
#include <iostream>

namespace {

ostrelo::CalculatorButton* visibleKey(uikit::View& root, const std::string& title) {
    for (const auto& child : root.subviews()) {
        if (child->hidden() || child->alpha() <= 0) continue;
        auto* key = dynamic_cast<ostrelo::CalculatorButton*>(child.get());
        if (key != nullptr && key->normalTitle() == title) return key;
        if (auto* found = visibleKey(*child, title)) return found;
    }
    return nullptr;
}

uikit::ViewController* launch(host::HeadlessHost& host, const std::string& program) {
    auto scenes = [](const char* directory) { uikit::Storyboard::setDirectory(std::filesystem::path(directory)); };
    if (program == "app") {
        scenes(APP_SCENES);
        host.launch(ostrelo::AppStartup::description());
        return host.rootViewController();
    }
    if (program == "messages") {
        scenes(MESSAGES_SCENES);
        auto* window = host::ConversationHost::launch(host, ostrelo::MessagesExtension::makeRoot);
        if (window == nullptr) return nullptr;
        window->toggleStyle();
        const auto& children = window->extension()->childViewControllers();
        return children.empty() ? nullptr : children.front().get();
    }
    if (program == "widget") {
        scenes(TODAY_SCENES);
        auto* panel = host::PanelHost::launch(host, ostrelo::TodayStartup::factory());
        if (panel != nullptr) panel->toggleDisplayMode();
        return panel != nullptr ? panel->widget() : nullptr;
    }
    scenes(KEYBOARD_SCENES);
    auto* field = host::TextFieldHost::launch(host, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
    return field != nullptr ? field->keyboard() : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    foundation::Locale::setCurrent("en_US");
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    uikit::ViewController* controller = argc == 2 ? launch(host, argv[1]) : nullptr;
    auto* screen = dynamic_cast<ostrelo::CalculatorScreen*>(controller);
    if (screen == nullptr || screen->links().primaryLine == nullptr) return 1;
    host.runUntilIdle();
    std::printf("ready\n");
    for (std::string title; std::fflush(stdout) == 0 && std::getline(std::cin, title) && title != "close";) {
        if (title.rfind("wait ", 0) == 0) {
            host.advance(std::stod(title.substr(5)));
            host.runUntilIdle();
            std::printf("key shown %s\n", screen->links().primaryLine->text().c_str());
            continue;
        }
        ostrelo::CalculatorButton* key = visibleKey(*controller->view(), title);
        if (key == nullptr) {
            std::printf("key absent\n");
            continue;
        }
        host.tap(host::HeadlessHost::centerOf(*key));
        host.runUntilIdle();
        std::printf("key shown %s\n", screen->links().primaryLine->text().c_str());
    }
    return 0;
}
