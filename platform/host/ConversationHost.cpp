#include "platform/host/ConversationHost.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Window.h"

namespace host {

int ConversationHost::run(int argc, char** argv, Factory makeExtension,
                          std::function<bool(std::string& error)> checkBeforeStart) {
    AppDescription app = description(std::move(makeExtension));
    app.checkBeforeStart = std::move(checkBeforeStart);
    return WindowHost::run(argc, argv, app);
}

AppDescription ConversationHost::description(Factory makeExtension) {
    AppDescription app;
    app.title = "Ostrelo Messages";
    app.singleInstance = true;
    app.makeRootViewController = [makeExtension = std::move(makeExtension)] {
        return std::make_unique<ConversationHostController>(makeExtension, transcriptPath());
    };
    return app;
}

ConversationHostController* ConversationHost::launch(HeadlessHost& host, Factory makeExtension) {
    host.launch(description(std::move(makeExtension)));
    return controller(host.window());
}

ConversationHostController* ConversationHost::controller(uikit::Window& window) {
    return dynamic_cast<ConversationHostController*>(window.rootViewController());
}

std::filesystem::path ConversationHost::transcriptPath() {
    return foundation::UserDefaults::groupDirectory() / "messages-transcript.txt";
}

}  // namespace host
