#include "platform/uikit/Button.h"
#include "today/WidgetOverlay.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

namespace {

using ostrelo::WidgetOverlay;
using uikit::Rect;

void expectRect(const Rect& got, const Rect& expected) {
    EXPECT_NEAR(got.minX(), expected.minX(), 1e-9);
    EXPECT_NEAR(got.minY(), expected.minY(), 1e-9);
    EXPECT_NEAR(got.width(), expected.width(), 1e-9);
    EXPECT_NEAR(got.height(), expected.height(), 1e-9);
}

// The function panel lies right of the memory-clear key's column, five keys high from the row
// above the key, its width cut to whole points by three; the pointer's centre sits on the
// panel's left edge at the middle of the row below the key. The background starts at the key.
TEST(WidgetOverlayTest, TheFunctionPanelIsPlacedByTheMemoryClearKey) {
    struct Row {
        double rootWidth;
        Rect key;
        double panelWidth;
    };
    for (const Row& row : {Row{320, {0, 150, 80, 60}, 219}, Row{301, {80, 110, 80, 64}, 201}}) {
        SCOPED_TRACE(row.rootWidth);
        const Rect& key = row.key;
        const WidgetOverlay overlay = WidgetOverlay::functions(key, {row.rootWidth, 430});
        expectRect(overlay.panel->frame(), {key.width() + 10, key.minY() - key.height(), row.panelWidth, 5 * key.height()});
        expectRect(overlay.background->frame(), {key.minX(), key.minY(), row.rootWidth, 430 - key.minY()});
        EXPECT_NEAR(overlay.pointer->center().x, key.width() + 10, 1e-9);
        EXPECT_NEAR(overlay.pointer->center().y, key.minY() + 1.5 * key.height(), 1e-9);
        EXPECT_EQ(overlay.pointer->layer().zPosition, 1);
        EXPECT_EQ(overlay.panel->layer().zPosition, 1);

        ASSERT_EQ(overlay.panel->subviews().size(), 24u);
        const auto& last = dynamic_cast<const ostrelo::CalculatorButton&>(*overlay.panel->subviews().back());
        expectRect(last.frame(), {row.panelWidth * 3 / 4, key.height() * 5 * 5 / 6, row.panelWidth / 4, key.height() * 5 / 6});
        EXPECT_EQ(last.normalTitle(), "𝑒");
        EXPECT_EQ(last.myButtonType, ostrelo::CalculatorButton::MyButtonType::nonDigitBottomRight);
        const auto& interest = dynamic_cast<const ostrelo::CalculatorButton&>(*overlay.panel->subviews()[3]);
        EXPECT_EQ(interest.normalTitle(), "𝑖");
        EXPECT_EQ(interest.myButtonType, ostrelo::CalculatorButton::MyButtonType::nonDigitTopRight);
    }
}

}  // namespace
