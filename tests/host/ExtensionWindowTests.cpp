#include "platform/foundation/RunLoop.h"
#include "platform/host/ConversationHost.h"
#include "platform/uikit/HidUsage.h"
#include "platform/host/PanelHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Button.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace uikit;

namespace {

struct Widget : ViewController, WidgetProviding {
    int updates = 0;
    void viewDidLoad() override { extensionContext()->setWidgetLargestAvailableDisplayMode(WidgetDisplayModeExpanded); }
    void widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) override {
        ++updates;
        completion(WidgetUpdateResultNewData);
    }
    void widgetActiveDisplayModeDidChange(int, Size maximum) override { preferredContentSize = maximum; }
};

struct Extension : MessagesAppViewController {
    bool active = false;
    void willBecomeActiveWithConversation(const std::shared_ptr<Conversation>&) override { active = true; }
};

// Each host in an offscreen window, with dummy audio, as in CI.
class ExtensionWindowTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        setenv(host::NativeWindow::systemVariable, "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    std::unique_ptr<host::WindowHost> open(const host::AppDescription& app) {
        std::string error;
        auto window = host::WindowHost::open(app, error);
        EXPECT_TRUE(window) << error;
        if (window) window->launch();
        return window;
    }
    static Size size(host::WindowHost& window) { return window.nativeWindow().size(); }
    static void click(host::WindowHost& window, Point point) {
        for (auto kind : {host::WindowEvent::Kind::press, host::WindowEvent::Kind::release})
            window.nativeWindow().post({kind, point, {}});
    }
    static Point center(const View& view) {
        Rect b = view.bounds();
        return view.convertPoint({b.midX(), b.midY()}, nullptr);
    }
};

TEST_F(ExtensionWindowTest, ThePanelIsAnUndecoratedWindowThatFollowsTheWidgetAndClosesByItsButton) {
    auto window = open(host::PanelHost::description([] { return std::make_unique<Widget>(); }));
    ASSERT_TRUE(window);
    auto* panel = host::PanelHost::controller(window->driver().window());
    ASSERT_NE(panel, nullptr);
    const auto& style = window->nativeWindow().options().style;
    EXPECT_FALSE(style.decorated);
    EXPECT_FALSE(style.resizable);
    EXPECT_EQ(size(*window), (Size{320, 138}));
    EXPECT_TRUE(window->dragsWindowAt({40, 10}));
    EXPECT_EQ(static_cast<Widget*>(panel->widget())->updates, 1);

    panel->toggleDisplayMode();
    EXPECT_EQ(size(*window), (Size{320, 458}));
    EXPECT_EQ(window->driver().window().bounds().size, (Size{320, 458}));
    click(*window, center(panel->closeButton()));
    EXPECT_EQ(window->exec(), 0);
}

TEST_F(ExtensionWindowTest, TheTextFieldWindowIsAsLargeAsItsDeviceAndTakesTyping) {
    host::TextFieldHost::Arguments arguments{*host::DeviceProfile::named("iPad Air (5th generation)"),
                                             host::Orientation::landscape};
    auto window = open(host::TextFieldHost::description([] { return std::make_unique<InputViewController>(); }, arguments));
    ASSERT_TRUE(window);
    auto* field = host::TextFieldHost::controller(window->driver().window());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(size(*window), (Size{1180, 820}));
    field->tapGlobe();
    host::WindowEvent key{host::WindowEvent::Kind::key, {}, {}};
    key.key = {uikit::hid::digit1 + 6, "7", "7"};
    window->nativeWindow().post(key);
    foundation::RunLoop::main().schedule(0, [&] { window->quit(); });
    EXPECT_EQ(window->exec(), 0);
    EXPECT_EQ(field->fieldText(), "7");
}

TEST_F(ExtensionWindowTest, TheConversationWindowActivatesItsExtension) {
    auto window = open(host::ConversationHost::description([] { return std::make_unique<Extension>(); }));
    ASSERT_TRUE(window);
    auto* conversation = host::ConversationHost::controller(window->driver().window());
    ASSERT_NE(conversation, nullptr);
    EXPECT_TRUE(static_cast<Extension*>(conversation->extension())->active);
    window->drawFrame();
    EXPECT_EQ(window->frames(), 1u);
    foundation::RunLoop::main().schedule(0, [&] { window->quit(); });
    EXPECT_EQ(window->exec(), 0);
}

}  // namespace
