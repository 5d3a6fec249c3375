// ostrelo-messages: the messaging extension in its conversation window.
#include "OstreloMessage/MessagesExtension.h"
#include "platform/host/ConversationHost.h"

int main(int argc, char** argv) {
    // A storyboard without the extension's scenes is a fault of the build: nothing could be shown.
    return host::ConversationHost::run(argc, argv, ostrelo::MessagesExtension::makeRoot,
                                       ostrelo::MessagesExtension::checkScenes);
}
