#include "platform/uikit/ShapeLayer.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::Color;
using uikit::Rect;
using Type = CalculatorButton::MyButtonType;
using State = CalculatorButton::ButtonState;

namespace {

// Counts the title colours the key stores.
class CountingButton : public CalculatorButton {
public:
    using CalculatorButton::CalculatorButton;
    int stores = 0;

protected:
    void storeNormalTitleColor(const Color& color) override {
        ++stores;
        CalculatorButton::storeNormalTitleColor(color);
    }
};

struct Paint {
    Color background;
    Color title;
};

// The key colours as the theme table gives them.
Paint expectedPaint(Type type, std::optional<State> state, bool compactPortrait) {
    const Color memoryRecallTitle = state == State::memoryNotEmpty
                                        ? memoryFilledTitleColor()
                                        : (compactPortrait ? memoryKeyTitleColor() : functionTitleColor());
    const Color memoryBackground = compactPortrait ? memoryKeyBackgroundColor() : functionBackgroundColor();
    switch (type) {
    case Type::digit: return {digitBackgroundColor(), digitTitleColor()};
    case Type::operant: return {operatorBackgroundColor(), operatorTitleColor()};
    case Type::memory: return {memoryBackground, memoryKeyTitleColor()};
    case Type::memoryRecall: return {memoryBackground, memoryRecallTitle};
    case Type::clear: return {clearKeyBackgroundColor(), clearKeyTitleColor()};
    case Type::equal:
    case Type::equalBottomRight:
        return {(!state || state == State::success) ? equalBackgroundColor() : equalErrorBackgroundColor(),
                equalTitleColor()};
    case Type::setup: return {standardBackgroundColor(), operatorTitleColor()};
    case Type::setupToday: return {Color::clear(), Color::black()};
    case Type::memoryToday: return {memoryKeyBackgroundColor(), memoryKeyTitleColor()};
    case Type::memoryRecallToday: return {memoryKeyBackgroundColor(), memoryRecallTitle};
    default: return {functionBackgroundColor(), functionTitleColor()};
    }
}

}  // namespace

class CalculatorButtonTest : public uitest::UiTest {
protected:
    CalculatorButton* addKey(const Rect& frame, Type type, uikit::View* parent = nullptr) {
        auto key = std::make_unique<CalculatorButton>(frame);
        key->myButtonType = type;
        key->setTitle("7", uikit::ControlStateNormal);
        return (parent ? parent : window)->add(std::move(key));
    }
};

TEST_F(CalculatorButtonTest, ColoursOfEveryKindStateSizeClassAndTheme) {
    struct Environment {
        Rect frame;
        uikit::UserInterfaceIdiom idiom;
        bool compactPortrait;
    };
    const Environment environments[] = {
        {{0, 0, 320, 568}, uikit::UserInterfaceIdiom::phone, true},    // compact width, regular height
        {{0, 0, 568, 320}, uikit::UserInterfaceIdiom::phone, false},   // compact height
        {{0, 0, 896, 414}, uikit::UserInterfaceIdiom::phone, false},   // regular width, compact height
        {{0, 0, 768, 1024}, uikit::UserInterfaceIdiom::pad, false},    // regular in both
    };
    const std::optional<State> states[] = {std::nullopt, State::success, State::error, State::memoryNotEmpty,
                                           State::memoryEmpty};
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        for (const auto& environment : environments) {
            uikit::Window host(environment.frame, environment.idiom);
            for (int raw = 0; raw <= 16; ++raw) {
                for (const auto& state : states) {
                    auto* key = host.add(std::make_unique<CalculatorButton>(Rect(10, 10, 60, 40)));
                    key->setType(raw);
                    key->myButtonState = state;
                    key->layoutIfNeeded();
                    const Paint paint = expectedPaint(static_cast<Type>(raw), state, environment.compactPortrait);
                    const std::string where = "kind " + std::to_string(raw) + " state " +
                                              std::to_string(state ? static_cast<int>(*state) : -1) + " compact " +
                                              std::to_string(environment.compactPortrait) + " dark " +
                                              std::to_string(dark);
                    EXPECT_EQ(key->backgroundColor(), paint.background) << where;
                    EXPECT_EQ(key->titleColorForState(uikit::ControlStateNormal), paint.title) << where;
                    EXPECT_EQ(key->titleLabel()->textColor(), paint.title) << where;
                    if (raw == 16) {
                        EXPECT_EQ(key->tintColor, functionTitleColor());
                    }
                    key->removeFromSuperview();
                }
            }
        }
    }
}

TEST_F(CalculatorButtonTest, StateChangesShowAtOnceAndTitleColourIsStoredOnlyWhenItChanges) {
    auto* equal = window->add(std::make_unique<CountingButton>(Rect(0, 0, 80, 80)));
    equal->myButtonType = Type::equal;
    equal->applyButtonColors();
    EXPECT_EQ(equal->stores, 1);
    equal->applyButtonColors();
    EXPECT_EQ(equal->stores, 1);
    equal->myButtonState = State::error;
    equal->applyButtonColors();
    EXPECT_EQ(equal->backgroundColor(), equalErrorBackgroundColor());
    EXPECT_EQ(equal->stores, 1);
    applyLightTheme();
    equal->applyButtonColors();
    EXPECT_EQ(equal->stores, 2);
    EXPECT_EQ(equal->titleColorForState(uikit::ControlStateNormal), Color::rgb(0, 0, 0));

    auto* today = window->add(std::make_unique<CountingButton>(Rect(0, 0, 80, 80)));
    today->myButtonType = Type::setupToday;
    today->applyButtonColors();
    today->applyButtonColors();
    EXPECT_EQ(today->stores, 2);
}

TEST_F(CalculatorButtonTest, TypeRawValues) {
    CalculatorButton key;
    EXPECT_EQ(key.myButtonType, Type::nonDigit);
    EXPECT_FALSE(key.myButtonState.has_value());
    EXPECT_FALSE(key.clickSound);
    for (int raw = 0; raw <= 16; ++raw) {
        key.setType(raw);
        EXPECT_EQ(key.type(), raw);
    }
    key.setType(16);
    EXPECT_EQ(key.myButtonType, Type::choose);
    for (int raw : {17, -1, 255}) {
        key.setType(6);
        key.setType(raw);
        EXPECT_EQ(key.myButtonType, Type::nonDigit);
    }
    std::string error;
    EXPECT_TRUE(key.setProperty("type", "6", error));
    EXPECT_EQ(key.myButtonType, Type::equal);
    EXPECT_FALSE(key.setProperty("type", "six", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(CalculatorButtonTest, BorderLinesFollowThePlaceAtRest) {
    auto count = [](CalculatorButton* key, const std::string& name) {
        int n = 0;
        for (const auto& layer : key->layer().sublayers()) n += layer->name == name;
        return n;
    };
    auto* corner = addKey({0, 0, 80, 60}, Type::digit);
    auto* top = addKey({80, 0, 80, 60}, Type::digit);
    auto* left = addKey({0, 60, 80, 60}, Type::digit);
    auto* inner = addKey({80, 60, 80, 60}, Type::digit);
    for (int pass = 0; pass < 3; ++pass) {
        for (auto* key : {corner, top, left, inner}) {
            key->setNeedsLayout();
            key->layoutIfNeeded();
        }
    }
    EXPECT_EQ(count(corner, "borderTop") + count(corner, "borderLeft"), 0);
    EXPECT_EQ(count(top, "borderTop"), 0);
    EXPECT_EQ(count(top, "borderLeft"), 1);
    EXPECT_EQ(count(left, "borderTop"), 1);
    EXPECT_EQ(count(left, "borderLeft"), 0);
    EXPECT_EQ(count(inner, "borderTop"), 1);
    EXPECT_EQ(count(inner, "borderLeft"), 1);
    EXPECT_EQ(inner->layer().sublayerNamed("borderTop")->frame(), Rect(0, 0, 80, 0.5));
    EXPECT_EQ(inner->layer().sublayerNamed("borderLeft")->frame(), Rect(0, 0, 0.5, 60));
    EXPECT_EQ(inner->layer().sublayerNamed("borderTop")->backgroundColor, borderColor());

    // A key shrunk by a press keeps the lines it has at rest, at its full size.
    corner->setTransform(uikit::AffineTransform::scale(70.0 / 80.0, 50.0 / 60.0));
    inner->setTransform(uikit::AffineTransform::scale(70.0 / 80.0, 50.0 / 60.0));
    for (auto* key : {corner, inner}) {
        key->setNeedsLayout();
        key->layoutIfNeeded();
    }
    EXPECT_EQ(count(corner, "borderTop") + count(corner, "borderLeft"), 0);
    EXPECT_EQ(inner->layer().sublayerNamed("borderTop")->frame(), Rect(0, 0, 80, 0.5));
    EXPECT_EQ(inner->layer().sublayerNamed("borderLeft")->frame(), Rect(0, 0, 0.5, 60));

    // Setup keys draw their lines in the background colour, the widget's setup key clear.
    auto* today = addKey({10, 10, 50, 40}, Type::setupToday);
    auto* setup = addKey({10, 10, 50, 40}, Type::setup);
    today->layoutIfNeeded();
    setup->layoutIfNeeded();
    EXPECT_EQ(today->layer().sublayerNamed("borderTop")->frame(), Rect(0, 0, 50, 0.5));
    EXPECT_EQ(today->layer().sublayerNamed("borderLeft")->frame(), Rect(0, 0, 0.5, 40));
    EXPECT_EQ(today->layer().sublayerNamed("borderTop")->backgroundColor, Color::clear());
    EXPECT_EQ(today->layer().sublayerNamed("borderLeft")->backgroundColor, Color::clear());
    EXPECT_EQ(setup->layer().sublayerNamed("borderLeft")->backgroundColor, standardBackgroundColor());
    EXPECT_TRUE(today->exclusiveTouch);
}

TEST_F(CalculatorButtonTest, CornerMasks) {
    const std::pair<Type, unsigned> corners[] = {
        {Type::nonDigitTopLeft, uikit::RectCornerTopLeft},
        {Type::nonDigitTopRight, uikit::RectCornerTopRight},
        {Type::nonDigitBottomLeft, uikit::RectCornerBottomLeft},
        {Type::nonDigitBottomRight, uikit::RectCornerBottomRight},
        {Type::equalBottomRight, uikit::RectCornerBottomRight},
    };
    for (const auto& [type, corner] : corners) {
        auto* key = addKey({80, 80, 80, 60}, type);
        key->layoutIfNeeded();
        auto* mask = dynamic_cast<uikit::ShapeLayer*>(key->layer().mask.get());
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask->path, uikit::BezierPath::roundedRect(Rect(0, 0, 80, 60), corner, {12, 12}));
        EXPECT_NE(mask->path, uikit::BezierPath::roundedRect(Rect(0, 0, 80, 60), uikit::RectCornerAllCorners, {12, 12}));
    }
    for (int raw = 0; raw <= 10; ++raw) {
        auto* key = addKey({80, 80, 80, 60}, static_cast<Type>(raw));
        key->layoutIfNeeded();
        EXPECT_EQ(key->layer().mask, nullptr) << raw;
    }
}

TEST_F(CalculatorButtonTest, TitleFontScalesWithTheKey) {
    auto* wide = addKey({0, 0, 60, 40}, Type::digit);
    auto* tall = addKey({0, 0, 30, 60}, Type::digit);
    wide->layoutIfNeeded();
    tall->layoutIfNeeded();
    ASSERT_TRUE(wide->titleLabel()->font().has_value());
    EXPECT_EQ(wide->titleLabel()->font()->name, "HelveticaNeue-Thin");
    EXPECT_DOUBLE_EQ(wide->titleLabel()->font()->pointSize, 40.0 / 3.0);
    EXPECT_DOUBLE_EQ(tall->titleLabel()->font()->pointSize, 10);

    // A key without width or height keeps the font it has.
    for (const Rect& flat : {Rect(0, 0, 0, 40), Rect(0, 0, 60, 0), Rect(0, 0, 0, 0)}) {
        wide->setFrame({0, 0, 60, 40});
        wide->layoutIfNeeded();
        wide->setFrame(flat);
        wide->setNeedsLayout();
        wide->layoutIfNeeded();
        ASSERT_TRUE(wide->titleLabel()->font().has_value());
        EXPECT_DOUBLE_EQ(wide->titleLabel()->font()->pointSize, 40.0 / 3.0);
    }
}
