#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Screen.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace uikit;
using foundation::RunLoop;

namespace {

struct Recorder : ViewController {
    std::vector<std::string> log;
    std::vector<std::optional<TraitCollection>> previous;
    void traitCollectionDidChange(const TraitCollection* before) override {
        log.push_back("controller");
        previous.push_back(before ? std::optional<TraitCollection>(*before) : std::nullopt);
    }
    void updateViewConstraints() override { log.push_back("constraints " + std::to_string(view()->bounds().size.width)); }
    void viewDidLayoutSubviews() override { log.push_back("layout"); }
};

struct TraitView : View {
    std::vector<std::string>* log = nullptr;
    void traitCollectionDidChange(const TraitCollection*) override { log->push_back("view"); }
};

class TraitsAndConstraintsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        View::setAnimationsEnabled(true);
        Screen::mainScreen().setUserInterfaceStyle(UserInterfaceStyle::light);
    }
    void TearDown() override { Screen::mainScreen().setUserInterfaceStyle(UserInterfaceStyle::light); }
};

TEST_F(TraitsAndConstraintsTest, TraitChangesReachControllerThenViewOnlyWhenTraitsDiffer) {
    Window window(Rect(0, 0, 393, 852));
    auto owned = std::make_unique<Recorder>();
    Recorder* c = owned.get();
    auto root = std::make_unique<TraitView>();
    root->log = &c->log;
    c->setView(std::move(root));
    // Outside a window the traits are the main screen's appearance.
    Screen::mainScreen().setUserInterfaceStyle(UserInterfaceStyle::dark);
    EXPECT_EQ(c->traitCollection().userInterfaceStyle, UserInterfaceStyle::dark);
    Screen::mainScreen().setUserInterfaceStyle(UserInterfaceStyle::light);
    window.setRootViewController(std::move(owned));
    // The first time in a window: no previous traits, the controller first.
    ASSERT_GE(c->log.size(), 2u);
    EXPECT_EQ(c->log[0], "controller");
    EXPECT_EQ(c->log[1], "view");
    EXPECT_FALSE(c->previous.at(0).has_value());
    EXPECT_EQ(c->traitCollection().userInterfaceStyle, UserInterfaceStyle::light);

    c->log.clear();
    window.setUserInterfaceStyle(UserInterfaceStyle::dark);
    EXPECT_EQ((std::vector<std::string>{"controller", "view"}), c->log);
    EXPECT_EQ(c->previous.back()->userInterfaceStyle, UserInterfaceStyle::light);
    EXPECT_EQ(c->traitCollection().userInterfaceStyle, UserInterfaceStyle::dark);
    c->log.clear();
    window.setUserInterfaceStyle(UserInterfaceStyle::dark);
    window.resize({390, 852});  // same size classes: no trait change
    EXPECT_EQ(std::count(c->log.begin(), c->log.end(), "controller"), 0);
    window.resize({852, 393});  // landscape: compact height
    EXPECT_EQ(std::count(c->log.begin(), c->log.end(), "controller"), 1);
    EXPECT_EQ(c->previous.back()->verticalSizeClass, UserInterfaceSizeClass::regular);
}

TEST_F(TraitsAndConstraintsTest, EdgesPinToSuperviewAndSafeAreaAndFollowChanges) {
    Window window(Rect(0, 0, 393, 852));
    window.setSafeAreaInsets({59, 0, 34, 0});
    auto controller = std::make_unique<ViewController>();
    View* root = controller->view();
    window.setRootViewController(std::move(controller));
    EXPECT_EQ(root->safeAreaInsets(), (EdgeInsets{59, 0, 34, 0}));
    EXPECT_EQ(root->safeAreaLayoutGuide().layoutFrame(), Rect(0, 59, 393, 852 - 93));

    View* child = root->addSubview(std::make_unique<View>(root->bounds()));
    child->translatesAutoresizingMaskIntoConstraints = false;
    LayoutConstraint::activateConstraints({
        child->leftAnchor().constraintEqualToAnchor(root->leftAnchor()),
        child->rightAnchor().constraintEqualToAnchor(root->rightAnchor()),
        child->topAnchor().constraintEqualToAnchor(root->safeAreaLayoutGuide().topAnchor()),
        child->bottomAnchor().constraintEqualToAnchor(root->safeAreaLayoutGuide().bottomAnchor()),
    });
    EXPECT_EQ(root->constraints().size(), 4u);  // installed on the common ancestor
    window.layoutIfNeeded();
    EXPECT_EQ(child->frame(), Rect(0, 59, 393, 759));
    // A view lying partly outside the safe area gets only the overlap as insets.
    EXPECT_EQ(child->safeAreaInsets(), EdgeInsets{});

    // Turned: the safe area moves to the sides.
    window.setSafeAreaInsets({0, 59, 21, 59});
    window.resize({852, 393});
    EXPECT_EQ(child->frame(), Rect(0, 0, 852, 372));

    // A height rule whose constant changes later (as the keyboard's); lower priority loses.
    View* pad = root->addSubview(std::make_unique<View>(Rect(0, 0, 10, 10)));
    pad->translatesAutoresizingMaskIntoConstraints = false;
    auto height = LayoutConstraint::constraintWithItem(pad, LayoutAttribute::height, LayoutRelation::equal, nullptr,
                                                       LayoutAttribute::notAnAttribute, 1.0, 258);
    height->priority = 990;
    auto weaker = pad->heightAnchor().constraintEqualToConstant(100);
    weaker->priority = 250;
    pad->addConstraint(height);
    pad->addConstraint(weaker);
    LayoutConstraint::activateConstraints({pad->leftAnchor().constraintEqualToAnchor(root->leftAnchor(), 8),
                                           pad->rightAnchor().constraintEqualToAnchor(root->rightAnchor(), -8),
                                           pad->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor())});
    window.layoutIfNeeded();
    EXPECT_EQ(pad->frame(), Rect(8, 393 - 258, 852 - 16, 258));
    height->setConstant(194);
    window.layoutIfNeeded();
    EXPECT_EQ(pad->frame(), Rect(8, 393 - 194, 852 - 16, 194));
    pad->removeConstraint(height);
    EXPECT_FALSE(height->isActive());
    window.layoutIfNeeded();
    EXPECT_EQ(pad->frame().size.height, 100);

    // Rules on a view that keeps its frame-based layout are kept but not applied; items without
    // a common ancestor cannot be activated.
    auto self = root->topAnchor().constraintEqualToAnchor(root->safeAreaLayoutGuide().topAnchor());
    EXPECT_TRUE(self->setActive(true));
    window.layoutIfNeeded();
    EXPECT_EQ(root->frame(), Rect(0, 0, 852, 393));
    View stray;
    auto unrelated = stray.leftAnchor().constraintEqualToAnchor(root->leftAnchor());
    EXPECT_FALSE(unrelated->setActive(true));
    EXPECT_FALSE(unrelated->isActive());
}

TEST_F(TraitsAndConstraintsTest, ConstraintPassRunsBeforeFirstLayoutAndAfterSizeChanges) {
    Window window(Rect(0, 0, 393, 852));
    auto owned = std::make_unique<Recorder>();
    Recorder* c = owned.get();
    window.setRootViewController(std::move(owned));
    auto passes = [&] { return std::count_if(c->log.begin(), c->log.end(), [](auto& s) { return s.rfind("constraints", 0) == 0; }); };
    EXPECT_EQ(passes(), 1);
    auto first = std::find_if(c->log.begin(), c->log.end(), [](auto& s) { return s.rfind("constraints", 0) == 0; });
    EXPECT_LT(first - c->log.begin(), std::find(c->log.begin(), c->log.end(), "layout") - c->log.begin());
    c->view()->setNeedsLayout();
    window.layoutIfNeeded();
    EXPECT_EQ(passes(), 1);
    window.resize({852, 393});
    EXPECT_EQ(passes(), 2);
    EXPECT_NE(std::find(c->log.begin(), c->log.end(), "constraints 852.000000"), c->log.end());
}

TEST_F(TraitsAndConstraintsTest, ReplacedViewAnimationReportsNotFinished) {
    View view(Rect(0, 0, 10, 10));
    std::vector<std::pair<int, bool>> done;
    View::animate(1.0, [&] { view.setAlpha(0); }, [&](bool finished) { done.emplace_back(1, finished); });
    View::animate(1.0, [&] { view.setCenter({50, 50}); }, [&](bool finished) { done.emplace_back(2, finished); });
    RunLoop::main().advance(0.4);
    View::animate(1.0, [&] { view.setAlpha(1); }, [&](bool finished) { done.emplace_back(3, finished); });
    RunLoop::main().advance(0.01);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], std::make_pair(1, false));
    RunLoop::main().advance(2);
    EXPECT_EQ(done, (std::vector<std::pair<int, bool>>{{1, false}, {2, true}, {3, true}}));
    // Without animations the completion still reports finished.
    View::setAnimationsEnabled(false);
    View::animate(1.0, [&] { view.setAlpha(0.5); }, [&](bool finished) { done.emplace_back(4, finished); });
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(done.back(), std::make_pair(4, true));
}

TEST_F(TraitsAndConstraintsTest, UnscheduledTimerKeepsToleranceAndStartsWhenAdded) {
    int ticks = 0;
    auto timer = foundation::Timer::timerWithTimeInterval(0.1, true, [&](foundation::Timer&) { ++ticks; });
    EXPECT_EQ(timer->tolerance(), 0);
    timer->setTolerance(0.01);
    EXPECT_DOUBLE_EQ(timer->tolerance(), 0.01);
    RunLoop::main().advance(0.5);
    EXPECT_EQ(ticks, 0);
    timer->addToRunLoop();
    timer->addToRunLoop();  // a second add does not double the rate
    RunLoop::main().advance(0.35);
    EXPECT_EQ(ticks, 3);
    timer->invalidate();
    timer->addToRunLoop();
    RunLoop::main().advance(1);
    EXPECT_EQ(ticks, 3);
    timer->setTolerance(-1);
    EXPECT_EQ(timer->tolerance(), 0);
}

}  // namespace

TEST_F(TraitsAndConstraintsTest, AViewLoadingOutsideAWindowSeesTheSizeClassesOfTheScreen) {
    struct Loader : ViewController {
        TraitCollection seen;
        void viewDidLoad() override { seen = traitCollection(); }
    };
    using C = UserInterfaceSizeClass;
    for (auto [size, width, height] : {std::tuple{Size{393, 852}, C::compact, C::regular},
                                       std::tuple{Size{852, 393}, C::regular, C::compact}}) {
        Screen::mainScreen().setBounds(size);
        Loader loader;
        loader.view();  // as a window loads its root controller's view, before taking it in
        EXPECT_EQ(loader.seen.horizontalSizeClass, width);
        EXPECT_EQ(loader.seen.verticalSizeClass, height);
    }
    Screen::mainScreen().setBounds({393, 852});
}
