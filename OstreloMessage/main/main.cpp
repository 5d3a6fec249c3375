// ostrelo-messages: the messaging extension in its conversation window.
#include "OstreloMessage/MessagesExtension.h"
#include "platform/host/ConversationHost.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    // A storyboard without the extension's scenes is a fault of the build: nothing could be shown.
    std::string error;
    if (!ostrelo::MessagesExtension::checkScenes(error)) {
        std::fprintf(stderr, "ostrelo-messages: %s\n", error.c_str());
        return 1;
    }
    return host::ConversationHost::run(argc, argv, ostrelo::MessagesExtension::makeRoot);
}
