#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

using namespace uikit;

namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        foundation::RunLoop::main().useVirtualTime();
        View::setAnimationsEnabled(true);
    }
};

struct Recorder : View {
    std::vector<std::string>* log;
    std::string name;
    Recorder(std::vector<std::string>* l, std::string n, Rect f) : View(f), log(l), name(std::move(n)) {}
    void touchesBegan(const TouchSet& t, const Event* e) override {
        log->push_back(name + ":began");
        View::touchesBegan(t, e);
    }
    void touchesEnded(const TouchSet& t, const Event* e) override {
        log->push_back(name + ":ended");
        View::touchesEnded(t, e);
    }
    void touchesCancelled(const TouchSet& t, const Event* e) override {
        log->push_back(name + ":cancelled");
        View::touchesCancelled(t, e);
    }
};

struct RecordingController : ViewController {
    std::vector<std::string>* log;
    explicit RecordingController(std::vector<std::string>* l) : log(l) {}
    void touchesBegan(const TouchSet&, const Event*) override { log->push_back("controller:began"); }
    void touchesEnded(const TouchSet&, const Event*) override { log->push_back("controller:ended"); }
};

}  // namespace

TEST_F(ViewTest, FrameFollowsCenterBoundsAndTransform) {
    View v(Rect(10, 20, 100, 50));
    EXPECT_EQ(v.center(), (Point{60, 45}));
    EXPECT_EQ(v.bounds(), Rect(0, 0, 100, 50));
    v.setTransform(AffineTransform::scale(0.9, 0.8));
    EXPECT_EQ(v.frame(), Rect(15, 25, 90, 40));
    EXPECT_EQ(v.bounds(), Rect(0, 0, 100, 50));
    v.setCenter({0, 0});
    EXPECT_EQ(v.frame(), Rect(-45, -20, 90, 40));
}

TEST_F(ViewTest, SubviewsAreOwnedInOrderAndLayersFollow) {
    View root(Rect(0, 0, 200, 200));
    auto* a = root.add(std::make_unique<View>(Rect(0, 0, 10, 10)));
    auto extra = Layer::make();
    extra->name = "borderTop";
    root.layer().addSublayer(extra);
    auto* b = root.add(std::make_unique<View>(Rect(0, 0, 10, 10)));
    auto* front = root.insertSubview(std::make_unique<View>(), 0);
    ASSERT_EQ(root.subviews().size(), 3u);
    EXPECT_EQ(root.subviews()[0].get(), front);
    // Subview layers keep the subviews' order among the other sublayers.
    const auto& layers = root.layer().sublayers();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0].get(), &front->layer());
    EXPECT_EQ(layers[1].get(), &a->layer());
    EXPECT_EQ(layers[2]->name, "borderTop");
    EXPECT_EQ(layers[3].get(), &b->layer());
    EXPECT_EQ(root.layer().sublayerNamed("borderTop"), extra.get());

    auto detached = a->removeFromSuperview();
    EXPECT_EQ(detached.get(), a);
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(root.layer().sublayers().size(), 3u);
    EXPECT_EQ(a->layer().superlayer(), nullptr);
    detached.reset();  // destroying a view leaves no dangling layer behind
    b->tag = 7;
    EXPECT_EQ(root.viewWithTag(7), b);
}

TEST_F(ViewTest, PointConversionBetweenViewsHonoursTransformsAndBounds) {
    View root(Rect(0, 0, 300, 300));
    auto* outer = root.add(std::make_unique<View>(Rect(100, 100, 100, 100)));
    auto* inner = outer->add(std::make_unique<View>(Rect(10, 10, 20, 20)));
    EXPECT_EQ(inner->convertPoint({0, 0}, &root), (Point{110, 110}));
    EXPECT_EQ(root.convertPoint({110, 110}, inner), (Point{0, 0}));
    outer->setTransform(AffineTransform::scale(0.5, 0.5));
    // The outer view shrinks about its centre (150, 150).
    EXPECT_EQ(inner->convertPoint({0, 0}, &root), (Point{130, 130}));
    EXPECT_EQ(inner->convertPoint({0, 0}, outer), (Point{10, 10}));
    // A bounds origin shifts the content (as a scroll offset does).
    outer->setTransform(AffineTransform::identity());
    Rect b = outer->bounds();
    b.origin = {5, 0};
    outer->setBounds(b);
    EXPECT_EQ(inner->convertPoint({0, 0}, &root), (Point{105, 110}));
    EXPECT_EQ(inner->convertRect(Rect(0, 0, 20, 20), &root), Rect(105, 110, 20, 20));
}

TEST_F(ViewTest, HitTestingSkipsHiddenDisabledAndTransparentViewsAndHonoursTransforms) {
    View root(Rect(0, 0, 300, 300));
    auto* below = root.add(std::make_unique<View>(Rect(0, 0, 300, 300)));
    auto* target = root.add(std::make_unique<View>(Rect(100, 100, 100, 100)));
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), target);
    EXPECT_EQ(root.hitTest({50, 50}, nullptr), below);
    EXPECT_EQ(root.hitTest({350, 50}, nullptr), nullptr);

    target->setHidden(true);
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), below);
    target->setHidden(false);
    target->setUserInteractionEnabled(false);
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), below);
    target->setUserInteractionEnabled(true);
    target->setAlpha(0.009);
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), below);
    target->setAlpha(0.01);
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), target);

    // Scaled to half about its centre it covers 125...175 only.
    target->setTransform(AffineTransform::scale(0.5, 0.5));
    EXPECT_EQ(root.hitTest({110, 110}, nullptr), below);
    EXPECT_EQ(root.hitTest({126, 126}, nullptr), target);
    // Model values count, not animated ones: mid-animation the hit area is already the new one.
    View::animate(1.0, [&] { target->setTransform(AffineTransform::identity()); });
    foundation::RunLoop::main().advance(0.1);
    EXPECT_EQ(root.hitTest({110, 110}, nullptr), target);

    // Labels start with interaction off and do not take touches.
    auto* label = root.add(std::make_unique<Label>(Rect(0, 0, 50, 50)));
    EXPECT_FALSE(label->userInteractionEnabled());
    EXPECT_EQ(root.hitTest({10, 10}, nullptr), below);
}

TEST_F(ViewTest, PointInsideCanBeWidenedByAnOverride) {
    struct Wide : View {
        using View::View;
        bool pointInside(Point p, const Event* e) const override {
            return View::pointInside(p, e) || bounds().insetBy(-20, -20).contains(p);
        }
    };
    View root(Rect(0, 0, 300, 300));
    auto* wide = root.add(std::make_unique<Wide>(Rect(100, 100, 10, 10)));
    EXPECT_EQ(root.hitTest({95, 95}, nullptr), wide);
    EXPECT_EQ(root.hitTest({70, 70}, nullptr), &root);
}

TEST_F(ViewTest, TouchesPassUpTheResponderChainToTheController) {
    std::vector<std::string> log;
    Window window(Rect(0, 0, 320, 480));
    auto controller = std::make_unique<RecordingController>(&log);
    auto* c = controller.get();
    window.setRootViewController(std::move(controller));
    auto* outer = c->view()->add(std::make_unique<Recorder>(&log, "outer", Rect(0, 0, 200, 200)));
    outer->add(std::make_unique<Recorder>(&log, "inner", Rect(10, 10, 50, 50)));
    window.touchDown({20, 20});
    window.touchMove({300, 300});
    window.touchUp({300, 300});
    EXPECT_EQ(log, (std::vector<std::string>{"inner:began", "outer:began", "controller:began", "inner:ended",
                                             "outer:ended", "controller:ended"}));
    // Touch location in any view.
    log.clear();
    struct Locator : View {
        Point seen;
        using View::View;
        void touchesBegan(const TouchSet& t, const Event*) override { seen = t.front()->locationInView(superview()); }
    };
    auto* locator = c->view()->add(std::make_unique<Locator>(Rect(250, 250, 50, 50)));
    window.touchDown({260, 270, }, 2.0, 6.67);
    EXPECT_EQ(locator->seen, (Point{260, 270}));
    window.touchCancel();
}

TEST_F(ViewTest, LayoutRunsWhereNeededAndAfterSizeChanges) {
    struct Counting : View {
        int layouts = 0;
        using View::View;
        void layoutSubviews() override {
            View::layoutSubviews();
            ++layouts;
        }
    };
    Counting root(Rect(0, 0, 100, 100));
    auto* child = root.add(std::make_unique<Counting>(Rect(0, 0, 10, 10)));
    child->relativeFrame = Rect(0.5, 0, 0.5, 1);
    root.layoutIfNeeded();
    EXPECT_EQ(root.layouts, 1);
    EXPECT_EQ(child->layouts, 1);
    EXPECT_EQ(child->frame(), Rect(50, 0, 50, 100));
    root.layoutIfNeeded();
    EXPECT_EQ(root.layouts, 1);
    root.setFrame(Rect(0, 0, 200, 100));  // a size change asks for layout
    root.layoutIfNeeded();
    EXPECT_EQ(root.layouts, 2);
    EXPECT_EQ(child->frame(), Rect(100, 0, 100, 100));
    EXPECT_EQ(child->layouts, 2);
    root.setFrame(Rect(5, 5, 200, 100));  // moving alone does not
    root.layoutIfNeeded();
    EXPECT_EQ(root.layouts, 2);
}

TEST_F(ViewTest, RoundCornersSetsAShapeMask) {
    View v(Rect(0, 0, 60, 40));
    v.roundCorners(RectCornerBottomRight, 12);
    auto* mask = dynamic_cast<ShapeLayer*>(v.layer().mask.get());
    ASSERT_NE(mask, nullptr);
    EXPECT_FALSE(mask->path.contains({59.5, 39.5}));
    EXPECT_TRUE(mask->path.contains({0.5, 0.5}));
    v.roundCorners(RectCornerTopLeft, 12);
    auto* replaced = dynamic_cast<ShapeLayer*>(v.layer().mask.get());
    EXPECT_TRUE(replaced->path.contains({59.5, 39.5}));
}

TEST_F(ViewTest, ButtonTitlesAndColoursPerStateWithNormalFallback) {
    Button button(Rect(0, 0, 60, 40));
    EXPECT_FALSE(button.titleForState(ControlStateNormal).has_value());
    EXPECT_FALSE(button.titleColorForState(ControlStateNormal).has_value());
    button.setTitle("7", ControlStateNormal);
    button.setTitleColor(Color::white(), ControlStateNormal);
    EXPECT_EQ(button.titleForState(ControlStateHighlighted), "7");
    EXPECT_EQ(button.titleColorForState(ControlStateHighlighted), Color::white());
    button.setTitle("M−", ControlStateHighlighted);
    button.setHighlighted(true);
    EXPECT_EQ(button.currentTitle(), "M−");
    EXPECT_EQ(button.titleLabel()->text(), "M−");
    button.setHighlighted(false);
    EXPECT_EQ(button.titleLabel()->text(), "7");
    EXPECT_EQ(button.titleLabel()->textColor(), Color::white());
    // No underline on titles: the plain title carries none.
    EXPECT_FALSE(button.titleLabel()->attributedText().attributesAt(0)->underlineStyle.has_value());
    std::string error;
    EXPECT_TRUE(button.setProperty("title", "×", error));
    EXPECT_EQ(button.titleForState(ControlStateNormal), "×");
    EXPECT_FALSE(button.setProperty("colour", "1", error));
    EXPECT_EQ(error, "unknown property \"colour\"");
}
