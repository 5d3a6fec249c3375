#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/BezierPath.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/TimingFunction.h"
#include "platform/uikit/TraitCollection.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace uikit;

TEST(GeometryTest, RectInsetsIncludingNegativeAndOversized) {
    Rect r(10, 10, 80, 60);
    EXPECT_EQ(r.insetBy(-50, -50), Rect(-40, -40, 180, 160));
    EXPECT_EQ(r.insetBy(10, 5), Rect(20, 15, 60, 50));
    // Too large an inset leaves an empty rectangle at the centre.
    EXPECT_TRUE(r.insetBy(41, 0).isEmpty());
    EXPECT_DOUBLE_EQ(r.insetBy(41, 0).midX(), 50);
    // Negative sizes are read standardised.
    Rect n(100, 100, -20, -10);
    EXPECT_EQ(n.standardized(), Rect(80, 90, 20, 10));
    EXPECT_TRUE(n.contains({85, 95}));
    EXPECT_FALSE(r.contains({90, 40}));  // maximum edge is outside
    EXPECT_EQ(r.intersection(Rect(50, 50, 100, 100)), Rect(50, 50, 40, 20));
    EXPECT_TRUE(r.intersection(Rect(200, 200, 1, 1)).isEmpty());
}

TEST(GeometryTest, TransformsComposeAndInvert) {
    auto t = AffineTransform::scale(2, 3).concat(AffineTransform::translation(5, 7));
    Point p = t.apply(Point{1, 1});
    EXPECT_EQ(p, (Point{7, 10}));
    EXPECT_NEAR(t.inverted().apply(p).x, 1, 1e-12);
    EXPECT_NEAR(t.inverted().apply(p).y, 1, 1e-12);
    auto rotated = AffineTransform::rotation(std::numbers::pi / 2).apply(Rect(0, 0, 10, 20));
    EXPECT_NEAR(rotated.width(), 20, 1e-9);
    EXPECT_NEAR(rotated.height(), 10, 1e-9);
    auto half = AffineTransform::interpolate(AffineTransform::identity(), AffineTransform::scale(0.5, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(half.a, 0.75);
}

TEST(GeometryTest, RoundedRectRoundsOnlyChosenCorners) {
    auto path = BezierPath::roundedRect(Rect(0, 0, 100, 100), RectCornerTopLeft, Size{20, 20});
    EXPECT_FALSE(path.contains({1, 1}));      // rounded away
    EXPECT_TRUE(path.contains({99, 1}));      // sharp top right
    EXPECT_TRUE(path.contains({1, 99}));      // sharp bottom left
    EXPECT_TRUE(path.contains({99, 99}));     // sharp bottom right
    EXPECT_TRUE(path.contains({10, 10}));     // inside the arc
    auto all = BezierPath::roundedRect(Rect(0, 0, 100, 100), 20);
    EXPECT_FALSE(all.contains({99, 99}));
    EXPECT_EQ(all.bounds(), Rect(0, 0, 100, 100));
    // Radii larger than half the side are clamped.
    auto pill = BezierPath::roundedRect(Rect(0, 0, 100, 20), RectCornerAllCorners, Size{50, 50});
    EXPECT_EQ(pill.bounds(), Rect(0, 0, 100, 20));
    // Different rectangles with the same corners interpolate point by point.
    auto grown = BezierPath::roundedRect(Rect(-40, -40, 180, 160), 5);
    auto start = BezierPath::roundedRect(Rect(10, 10, 80, 60), 5);
    EXPECT_EQ(BezierPath::interpolate(start, grown, 1.0), grown);
    EXPECT_EQ(BezierPath::interpolate(start, grown, 0.5).bounds(), Rect(-15, -15, 130, 110));
}

TEST(GeometryTest, ColoursTimingAndSizeClasses) {
    Color c;
    EXPECT_TRUE(Color::parse("150,20,0", c));
    EXPECT_EQ(c, Color::rgb(150, 20, 0));
    EXPECT_DOUBLE_EQ(c.red, 150 / 255.0);
    EXPECT_TRUE(Color::parse("#FF000080", c));
    EXPECT_NEAR(c.alpha, 128 / 255.0, 1e-12);
    EXPECT_FALSE(Color::parse("300,0,0", c));
    EXPECT_FALSE(Color::parse("1,2", c));
    EXPECT_FALSE(Color::parse("#12", c));
    auto hsb = Color::fromHSB(0.5, 0.4, 1.0);
    EXPECT_NEAR(hsb.red, 0.6, 1e-12);
    EXPECT_NEAR(hsb.green, 1.0, 1e-12);

    EXPECT_NEAR(TimingFunction::linear().evaluate(0.3), 0.3, 1e-9);
    EXPECT_LT(TimingFunction::easeIn().evaluate(0.5), 0.5);
    EXPECT_GT(TimingFunction::easeOut().evaluate(0.5), 0.5);
    EXPECT_DOUBLE_EQ(TimingFunction::easeOut().evaluate(1.5), 1.0);

    auto portrait = TraitCollection::forWindow(390, 844, UserInterfaceIdiom::phone, 3);
    EXPECT_EQ(portrait.horizontalSizeClass, UserInterfaceSizeClass::compact);
    EXPECT_EQ(portrait.verticalSizeClass, UserInterfaceSizeClass::regular);
    auto landscape = TraitCollection::forWindow(844, 390, UserInterfaceIdiom::phone, 3);
    EXPECT_EQ(landscape.verticalSizeClass, UserInterfaceSizeClass::compact);
    auto pad = TraitCollection::forWindow(1024, 768, UserInterfaceIdiom::pad, 2);
    EXPECT_EQ(pad.horizontalSizeClass, UserInterfaceSizeClass::regular);
    EXPECT_EQ(static_cast<int>(pad.verticalSizeClass), 2);
}
