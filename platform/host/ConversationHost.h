#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/ConversationHostController.h"

#include <filesystem>

namespace host {

class HeadlessHost;

// Runs a messages extension in a conversation window (ConversationHostController), in an SDL
// window or in the headless host. Inserted texts are also appended to messages-transcript.txt
// in the group directory.
class ConversationHost {
public:
    using Factory = ConversationHostController::Factory;

    // What an extension's main() calls: takes no arguments (usage and 2 otherwise), checks the
    // extension's files (AppDescription::checkBeforeStart), runs once per user (a later start
    // brings the window forward and ends) until the window is closed.
    static int run(int argc, char** argv, Factory makeExtension,
                   std::function<bool(std::string& error)> checkBeforeStart = {});
    // The start-up both hosts run.
    static AppDescription description(Factory makeExtension);
    // Launches the extension in a headless host; the conversation window is the root.
    static ConversationHostController* launch(HeadlessHost& host, Factory makeExtension);
    // The conversation window a window shows, if any.
    static ConversationHostController* controller(uikit::Window& window);
    static std::filesystem::path transcriptPath();
};

}  // namespace host
