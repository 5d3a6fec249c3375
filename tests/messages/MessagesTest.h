#pragma once

#include "OstreloMessage/MessagesExtension.h"
#include "OstreloMessage/MessagesViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"

#include <memory>

namespace messagestest {

// The extension in a headless conversation window (iPhone 15 Pro, upright) from the source
// tree's scenes, with its own store and no network.
class MessagesTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        testsupport::SuiteTest::SetUp();
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
        host = std::make_unique<host::HeadlessHost>();
    }
    void TearDown() override {
        host.reset();
        foundation::DispatchQueue::global().waitUntilIdle();
        foundation::RunLoop::main().runUntilIdle();
        uikit::Storyboard::setDirectory(std::nullopt);
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        testsupport::SuiteTest::TearDown();
    }
    host::ConversationHostController* launch() {
        window = host::ConversationHost::launch(*host, ostrelo::MessagesExtension::makeRoot);
        return window;
    }
    ostrelo::MessagesViewController& root() { return static_cast<ostrelo::MessagesViewController&>(*window->extension()); }
    // The child the root shows, as T (null when it shows none or another).
    template <class T>
    T* child() {
        const auto& children = root().childViewControllers();
        return children.size() == 1 ? dynamic_cast<T*>(children.front().get()) : nullptr;
    }
    void toggle() { host->tap(host::HeadlessHost::centerOf(window->toggleButton())); }

    std::unique_ptr<host::HeadlessHost> host;
    host::ConversationHostController* window = nullptr;
};

}  // namespace messagestest
