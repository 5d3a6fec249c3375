#include "platform/foundation/Lifetime.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/PickerView.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/ViewController.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorColorPicker.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ostrelo;
using namespace uikit;

namespace {

// Stands in for a screen behind every kind of link a view holds. It counts the calls it gets in
// a counter that outlives it, so that a call after its end reads freed memory (a fault under the
// sanitizers) before it could count.
struct Owner : PickerViewDataSource, PickerViewDelegate, PopoverPresentationControllerDelegate,
               CalculatorViewTouchDelegate, CalculatorColorPickerDelegate {
    explicit Owner(int& calls) : calls(calls) {}
    void call() { ++calls; }

    int numberOfComponentsInPickerView(PickerView&) override { return call(), 1; }
    int numberOfRowsInComponent(PickerView&, int) override { return call(), 10; }
    double rowHeightForComponent(PickerView&, int) override { return call(), 40; }
    void didSelectRow(PickerView&, int, int) override { call(); }
    int adaptivePresentationStyleForPresentationController(PopoverPresentationController&, const TraitCollection&) override {
        return call(), ModalPresentationNone;
    }
    bool popoverPresentationControllerShouldDismissPopover(PopoverPresentationController&) override {
        return call(), true;
    }
    void handleKeyPress(CalculatorButton*, bool, const std::string&) override { call(); }
    void colorPickerTouched(CalculatorColorPicker&, const Color&, Point, GestureRecognizer::State) override { call(); }

    int& calls;
    foundation::Lifetime links;  // last: it ends before anything a link leads to
};

// One kind of link: how a screen sets it up on a view of its own, with the guard it passes, and
// how a user then drives that view. Every view covers (0, 100)-(300, 300) of the window.
using Guard = std::weak_ptr<void>;
struct Kind {
    const char* name;
    std::function<void(ViewController& screen, Owner& owner, Guard guard)> link;
    std::function<void(host::HeadlessHost& host)> drive;
};
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }

const Rect area(0, 100, 300, 200);
void tap(host::HeadlessHost& host) { host.tap({150, 200}); }

// A popover anchored below the area, kept as a popover in compact width by a delegate that asks so.
void presentPopover(ViewController& screen, PopoverPresentationControllerDelegate& delegate, Guard guard) {
    auto content = std::make_unique<ViewController>();
    content->modalPresentationStyle = ModalPresentationPopover;
    content->preferredContentSize = Size{100, 100};
    auto* popover = content->popoverPresentationController();
    popover->setSourceView(screen.view());
    popover->sourceRect = Rect(150, 400, 1, 1);
    popover->setDelegate(&delegate, std::move(guard));
    screen.presentViewController(std::move(content), false);
}

const Kind kinds[] = {
    {"KeypadDelegate",
     [](ViewController& screen, Owner& owner, Guard guard) {
         auto* pad = screen.view()->add(std::make_unique<CalculatorView>(area));
         pad->add(std::make_unique<CalculatorButton>(Rect(0, 0, 300, 200)))->setTitle("7", ControlStateNormal);
         pad->setDelegate(&owner, std::move(guard));
     },
     tap},
    {"ColorPickerDelegate",
     [](ViewController& screen, Owner& owner, Guard guard) {
         auto* picker = screen.view()->add(std::make_unique<CalculatorColorPicker>(area));
         picker->setElements(10);
         picker->setDelegate(&owner, std::move(guard));
     },
     tap},
    {"PickerDataSourceAndDelegate",
     [](ViewController& screen, Owner& owner, Guard guard) {
         auto* picker = screen.view()->add(std::make_unique<PickerView>(area));
         picker->setDataSource(&owner, guard);
         picker->setDelegate(&owner, std::move(guard));
     },
     [](host::HeadlessHost& host) {  // a scroll by two rows
         host.touchDown({150, 200});
         host.touchMove({150, 160});
         host.touchMove({150, 120});
         host.touchUp({150, 120});
     }},
    {"PopoverDelegate",
     [](ViewController& screen, Owner& owner, Guard guard) { presentPopover(screen, owner, std::move(guard)); },
     tap},
    {"ControlTarget",
     [](ViewController& screen, Owner& owner, Guard guard) {
         auto* button = screen.view()->add(std::make_unique<Button>(area));
         button->addTarget(&owner, [target = &owner](Control&) { target->call(); }, ControlEventTouchUpInside,
                           std::move(guard));
     },
     tap},
    {"GestureRecognizerTarget",
     [](ViewController& screen, Owner& owner, Guard guard) {
         auto* view = screen.view()->add(std::make_unique<View>(area));
         view->addGestureRecognizer(std::make_unique<TapGestureRecognizer>(
             [target = &owner](GestureRecognizer&) { target->call(); }, std::move(guard)));
     },
     tap},
};

enum class OwnerFate { lives, gone, linkedWithoutGuard };

class NonOwningLinkTest : public uitest::UiTest, public ::testing::WithParamInterface<Kind> {
protected:
    // Links a fresh screen's view to a fresh owner, lays it out, ends the owner when asked, drives
    // the view and answers the calls the owner got after the layout.
    int callsAfterLayout(OwnerFate fate) {
        host->setRootViewController(std::make_unique<ViewController>());
        int calls = 0;
        auto owner = std::make_unique<Owner>(calls);
        Guard guard = fate == OwnerFate::linkedWithoutGuard ? Guard{} : owner->links.weak();
        GetParam().link(*host->rootViewController(), *owner, guard);
        host->runUntilIdle();
        calls = 0;
        if (fate == OwnerFate::gone) owner.reset();
        GetParam().drive(*host);
        host->runUntilIdle();
        return calls;
    }
};

}  // namespace

TEST_P(NonOwningLinkTest, TheViewOutlivesItsOwnerAndCallsNothingOnceItIsGone) {
    EXPECT_GT(callsAfterLayout(OwnerFate::lives), 0);
    EXPECT_EQ(callsAfterLayout(OwnerFate::gone), 0);
    // There is no unguarded link: one set without a guard reads as empty at once.
    EXPECT_EQ(callsAfterLayout(OwnerFate::linkedWithoutGuard), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NonOwningLinkTest, ::testing::ValuesIn(kinds),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

using PopoverLinkTest = uitest::UiTest;

TEST_F(PopoverLinkTest, APopoverDelegateMayDismissThePopoverWhileAskedWhetherToDismissIt) {
    struct Dismisser : PopoverPresentationControllerDelegate {
        ViewController* screen = nullptr;
        int adaptivePresentationStyleForPresentationController(PopoverPresentationController&, const TraitCollection&) override {
            return ModalPresentationNone;
        }
        bool popoverPresentationControllerShouldDismissPopover(PopoverPresentationController&) override {
            screen->dismissViewController(false);
            return true;
        }
        foundation::Lifetime links;
    } dismisser;
    host->setRootViewController(std::make_unique<ViewController>());
    dismisser.screen = host->rootViewController();
    presentPopover(*dismisser.screen, dismisser, dismisser.links.weak());
    ASSERT_NE(dismisser.screen->presentedViewController(), nullptr);
    tap(*host);
    EXPECT_EQ(dismisser.screen->presentedViewController(), nullptr);
}
