#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/ViewController.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorColorPicker.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorView.h"
#include "ui/InterfaceKitClasses.h"

#include <gtest/gtest.h>

using namespace ostrelo;

namespace {

struct PadController : uikit::ViewController {
    CalculatorView* pad = nullptr;
    CalculatorButton* equal = nullptr;
    CalculatorCalcLabel* display = nullptr;
    CalculatorPicker* picker = nullptr;
    CalculatorColorPicker* colors = nullptr;
    PadController() {
        declareOutlet("pad", pad);
        declareOutlet("equal", equal);
        declareOutlet("display", display);
        declareOutlet("picker", picker);
        declareOutlet("colors", colors);
    }
};

const char* padScene = R"(initial Pad
scene Pad PadController
  view View rframe=0,0,1,1
    view CalculatorCalcLabel outlet=display frame=0,0,320,80 color=3
    view CalculatorPicker outlet=picker frame=0,80,320,100 color=0
    view CalculatorColorPicker outlet=colors frame=0,180,100,100 elements=10
    view CalculatorView outlet=pad frame=0,280,320,80 type=4
      view CalculatorButton outlet=equal frame=240,0,80,80 title="=" type=15
)";

}  // namespace

class InterfaceKitClassesTest : public uitest::UiTest {};

TEST_F(InterfaceKitClassesTest, ScenesPlaceTheKitsViewsWithTheirSettings) {
    registerInterfaceKitClasses();
    registerInterfaceKitClasses();
    uikit::ClassRegistry::shared().registerController<PadController>("PadController");
    std::string error;
    auto board = uikit::Storyboard::parse(padScene, "Pad", error);
    ASSERT_TRUE(board.has_value()) << error;
    auto controller = board->instantiateInitialViewController(error);
    ASSERT_NE(controller, nullptr) << error;
    auto* pad = dynamic_cast<PadController*>(controller.get());
    ASSERT_NE(pad, nullptr);
    pad->view();
    ASSERT_TRUE(pad->pad && pad->equal && pad->display && pad->picker && pad->colors) << error;
    EXPECT_EQ(pad->pad->myViewType, CalculatorView::ViewType::function);
    EXPECT_EQ(pad->equal->myButtonType, CalculatorButton::MyButtonType::equalBottomRight);
    EXPECT_EQ(pad->equal->normalTitle(), "=");
    EXPECT_EQ(pad->display->myLableBackgroundColor, CalculatorCalcLabel::LableBackgroundColor::emptydark);
    EXPECT_EQ(pad->picker->myPickerBackgroundColor, CalculatorPicker::PickerBackgroundColor::empty);
    EXPECT_EQ(pad->colors->elements(), 10);

    // By case name under the full property name (as the app's scene files do), or not at all.
    std::string misnamed = padScene;
    misnamed.replace(misnamed.find("type=15"), 7, "myButtonType=equals");
    board = uikit::Storyboard::parse(misnamed, "Pad", error);
    ASSERT_TRUE(board.has_value()) << error;
    EXPECT_FALSE(board->instantiateInitialViewController(error));
    EXPECT_EQ(error, "storyboard Pad, scene Pad, line 8: CalculatorButton: property \"myButtonType\" has no case "
                     "\"equals\" (cases: nonDigit, digit, operant, memory, memoryRecall, clear, equal, setup, "
                     "setupToday, memoryToday, memoryRecallToday, nonDigitTopLeft, nonDigitTopRight, "
                     "nonDigitBottomLeft, nonDigitBottomRight, equalBottomRight, choose)");
}
