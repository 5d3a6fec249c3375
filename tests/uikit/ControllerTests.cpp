#include "platform/foundation/RunLoop.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

using namespace uikit;
using foundation::RunLoop;

namespace {

struct Screen : ViewController, PopoverPresentationControllerDelegate {
    std::vector<std::string> log;
    View* anchor = nullptr;
    int adaptiveAnswer = ModalPresentationNone;
    bool hidden = false;
    void viewDidLoad() override {
        log.push_back("didLoad");
        anchor = view()->add(std::make_unique<View>(Rect(20, 300, 60, 40)));
        view()->add(std::make_unique<View>(Rect(0, 0, 320, 480)));
    }
    void viewWillAppear(bool) override { log.push_back("willAppear"); }
    void viewDidAppear(bool) override { log.push_back("didAppear"); }
    void touchesBegan(const TouchSet&, const Event*) override { log.push_back("screen:touch"); }
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const PressSet&, const Event*) override { log.push_back("screen:press"); }
    bool prefersStatusBarHidden() override { return hidden; }
    int preferredStatusBarStyle() override { return StatusBarStyleLightContent; }
    void viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) override {
        ViewController::viewWillTransitionToSize(size, coordinator);
        log.push_back("willTransition");
        coordinator.animateAlongsideTransition(nullptr, [this, size](TransitionCoordinator&) {
            // The new size is laid out when the completion runs.
            log.push_back("completion " + std::to_string(static_cast<int>(view()->bounds().size.width)) + "x" +
                          std::to_string(static_cast<int>(size.height)));
        });
    }
    int adaptivePresentationStyleForPresentationController(PopoverPresentationController&, const TraitCollection&) override {
        return adaptiveAnswer;
    }
    void popoverPresentationControllerDidDismissPopover(PopoverPresentationController& p) override {
        log.push_back("dismissed " + std::to_string(p.arrowDirection()));
    }
    void popoverPresentationControllerWillRepositionPopoverToRect(PopoverPresentationController&, Rect& rect, View*&) override {
        rect = Rect(60, 20, 1, 1);
        log.push_back("reposition");
    }
};

struct Content : ViewController {
    std::vector<std::string>* log;
    explicit Content(std::vector<std::string>* l) : log(l) {}
    ~Content() override { log->push_back("content gone"); }
    void touchesBegan(const TouchSet&, const Event*) override { log->push_back("content:touch"); }
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        window = std::make_unique<Window>(Rect(0, 0, 320, 480));
        auto s = std::make_unique<Screen>();
        screen = s.get();
        window->setRootViewController(std::move(s));
    }
    void present(unsigned arrows) {
        auto content = std::make_unique<Content>(&screen->log);
        content->modalPresentationStyle = ModalPresentationPopover;
        content->preferredContentSize = Size{180, 120};
        auto* popover = content->popoverPresentationController();
        popover->sourceRect = Rect(60, 0, 1, 1);
        popover->setSourceView(screen->anchor);
        popover->permittedArrowDirections = arrows;
        popover->setDelegate(screen, screen->alive());
        popover->backgroundColor = Color::rgb(48, 48, 48);
        screen->presentViewController(std::move(content), true);
    }
    std::unique_ptr<Window> window;
    Screen* screen = nullptr;
};

}  // namespace

TEST_F(ControllerTest, LoadingAppearingStatusBarAndSizeTransitions) {
    EXPECT_EQ(screen->log, (std::vector<std::string>{"didLoad", "willAppear", "didAppear"}));
    EXPECT_EQ(window->statusBarStyle(), 1);
    EXPECT_FALSE(window->statusBarHidden());
    screen->hidden = true;
    screen->setNeedsStatusBarAppearanceUpdate();
    EXPECT_TRUE(window->statusBarHidden());
    EXPECT_EQ(screen->traitCollection().horizontalSizeClass, UserInterfaceSizeClass::compact);
    screen->log.clear();
    window->resize(Size{480, 320});
    EXPECT_EQ(screen->log, (std::vector<std::string>{"willTransition", "completion 480x320"}));
    EXPECT_EQ(screen->traitCollection().verticalSizeClass, UserInterfaceSizeClass::compact);
}

TEST_F(ControllerTest, ChildControllersAreOwnedAndTheirViewsReturnedOnRemoval) {
    auto child = std::make_unique<ViewController>();
    auto* c = screen->addChildViewController(std::move(child));
    c->moveViewInto(screen->view());
    EXPECT_EQ(c->view()->superview(), screen->view());
    EXPECT_EQ(c->parentViewController(), screen);
    EXPECT_EQ(screen->childViewControllers().size(), 1u);
    auto removed = c->removeFromParentViewController();
    EXPECT_EQ(removed.get(), c);
    EXPECT_EQ(c->view()->superview(), nullptr);
    EXPECT_TRUE(screen->childViewControllers().empty());
}

TEST_F(ControllerTest, PopoverIsAnchoredAndAnOutsideTapDismissesItWithoutReachingTheScreen) {
    present(PopoverArrowDirectionDown);
    auto* shown = screen->presentedViewController();
    ASSERT_NE(shown, nullptr);
    auto* popover = shown->popoverPresentationController();
    EXPECT_FALSE(popover->adaptedToFullScreen());
    EXPECT_EQ(popover->arrowDirection(), PopoverArrowDirectionDown);
    // Above the anchor (20+60 = 80 across, 300 down), arrow pointing down at it.
    EXPECT_EQ(popover->popoverFrame(), Rect(10, 300 - 13 - 120, 180, 120));
    EXPECT_EQ(shown->view()->superview()->backgroundColor(), Color::rgb(48, 48, 48));

    // A tap inside reaches the popover's content.
    screen->log.clear();
    window->touchDown({100, 200});
    window->touchUp({100, 200});
    EXPECT_EQ(screen->log, std::vector<std::string>{"content:touch"});
    EXPECT_NE(screen->presentedViewController(), nullptr);

    // A tap outside dismisses it, tells the delegate and never reaches the screen below.
    screen->log.clear();
    window->touchDown({300, 450});
    EXPECT_NE(screen->presentedViewController(), nullptr);
    window->touchUp({300, 450});
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(screen->log, (std::vector<std::string>{"dismissed 2", "content gone"}));
    screen->log.clear();
    window->touchDown({300, 450});
    window->touchUp({300, 450});
    EXPECT_EQ(screen->log, std::vector<std::string>{"screen:touch"});

    // Escape does what a tap outside does; without a popover it is the screen's key.
    Key escape;
    escape.keyCode = 41;
    present(PopoverArrowDirectionDown);
    screen->log.clear();
    window->pressKey(escape);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(screen->log, (std::vector<std::string>{"dismissed 2", "content gone"}));
    screen->log.clear();
    window->pressKey(escape);
    EXPECT_EQ(screen->log, std::vector<std::string>{"screen:press"});
}

TEST_F(ControllerTest, PopoverAdaptsOnlyWhenTheDelegateLetsItAndRepositionsOnResize) {
    screen->adaptiveAnswer = ModalPresentationFullScreen;
    present(PopoverArrowDirectionLeft);
    EXPECT_TRUE(screen->presentedViewController()->popoverPresentationController()->adaptedToFullScreen());
    screen->dismissViewController(false);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(screen->presentedViewController(), nullptr);

    screen->adaptiveAnswer = ModalPresentationNone;
    present(PopoverArrowDirectionLeft);
    auto* popover = screen->presentedViewController()->popoverPresentationController();
    EXPECT_FALSE(popover->adaptedToFullScreen());
    EXPECT_EQ(popover->arrowDirection(), PopoverArrowDirectionLeft);
    EXPECT_DOUBLE_EQ(popover->popoverFrame().minX(), 20 + 60 + 1 + 13);
    screen->log.clear();
    window->resize(Size{480, 320});
    EXPECT_NE(std::find(screen->log.begin(), screen->log.end(), "reposition"), screen->log.end());
    EXPECT_EQ(popover->sourceRect, Rect(60, 20, 1, 1));
    EXPECT_DOUBLE_EQ(popover->popoverFrame().minX(), 20 + 60 + 1 + 13);
    // Dismissal without animation, from the presented controller itself.
    screen->presentedViewController()->dismissViewController(false);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
    // Only one subview of the window remains: the screen's view.
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(ControllerTest, ViewDidLayoutSubviewsFollowsEveryLayoutOfTheRootView) {
    struct Laid : ViewController {
        View* key = nullptr;
        View* cap = nullptr;
        std::vector<double> widths;
        void viewDidLoad() override {
            auto* pad = view()->add(std::make_unique<View>());
            pad->relativeFrame = Rect(0, 0, 1, 1);
            key = pad->add(std::make_unique<View>());
            key->relativeFrame = Rect(0, 0, 0.25, 0.25);
        }
        void viewDidLayoutSubviews() override {
            // The subtree is laid out already; views added here do not start another pass.
            widths.push_back(key->frame().size.width);
            if (cap != nullptr) cap->removeFromSuperview();
            cap = view()->add(std::make_unique<View>(key->frame()));
        }
    };
    Window w(Rect(0, 0, 320, 480));
    auto c = std::make_unique<Laid>();
    auto* laid = c.get();
    w.setRootViewController(std::move(c));
    EXPECT_EQ(laid->widths, std::vector<double>{80});
    w.resize(Size{480, 320});
    ASSERT_FALSE(laid->widths.empty());
    EXPECT_EQ(laid->widths.back(), 120);
    EXPECT_LE(laid->widths.size(), 3u);
    EXPECT_EQ(laid->cap->frame(), Rect(0, 0, 120, 80));
}
