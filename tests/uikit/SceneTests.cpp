#include "platform/uikit/Button.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace uikit;

namespace {

struct KeysController : ViewController {
    Label* display = nullptr;
    Button* seven = nullptr;
    View* pad = nullptr;
    int loads = 0;
    KeysController() {
        declareOutlet("display", display);
        declareOutlet("seven", seven);
        declareOutlet("pad", pad);
    }
    void viewDidLoad() override { ++loads; }
};

const char* keysScene = R"(# Two scenes
initial Keys
scene Keys KeysController
  view View rframe=0,0,1,1 backgroundColor=0,0,0
    view Label outlet=display frame=0,0,320,80 text="12 345" textColor=255,255,255
    view View outlet=pad rframe=0,0.5,1,0.5
      view Button outlet=seven rframe=0,0,0.5,1 title="7" tag=7
      view Button rframe=0.5,0,0.5,1 title="8"

scene Plain ViewController
  view View
)";

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { ClassRegistry::shared().registerController<KeysController>("KeysController"); }
    std::string load(const std::string& text, const std::string& scene) {
        std::string error;
        auto board = Storyboard::parse(text, "Test", error);
        if (!board) return error;
        auto controller = board->instantiateViewController(scene, error);
        return controller ? std::string() : error;
    }
};

}  // namespace

TEST_F(SceneTest, LoadsViewTreeBindsOutletsAndFollowsResizes) {
    std::string error;
    auto board = Storyboard::parse(keysScene, "Test", error);
    ASSERT_TRUE(board) << error;
    EXPECT_EQ(board->sceneIdentifiers(), (std::vector<std::string>{"Keys", "Plain"}));
    auto controller = board->instantiateInitialViewController(error);
    ASSERT_TRUE(controller) << error;
    auto* keys = dynamic_cast<KeysController*>(controller.get());
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->storyboardIdentifier, "Keys");
    ASSERT_NE(keys->seven, nullptr);
    EXPECT_EQ(keys->seven->titleForState(ControlStateNormal), "7");
    EXPECT_EQ(keys->seven->tag, 7);
    EXPECT_EQ(keys->display->text(), "12 345");
    EXPECT_EQ(keys->outletNamed("seven"), keys->seven);
    EXPECT_EQ(keys->outletNamed("eight"), nullptr);
    EXPECT_EQ(keys->display->textColor(), Color::white());
    EXPECT_EQ(keys->loads, 0);  // the view loads when first asked for

    Window window(Rect(0, 0, 320, 480));
    window.setRootViewController(std::move(controller));
    EXPECT_EQ(keys->loads, 1);
    EXPECT_EQ(keys->pad->frame(), Rect(0, 240, 320, 240));
    EXPECT_EQ(keys->seven->frame(), Rect(0, 0, 160, 240));
    window.resize(Size{480, 320});
    EXPECT_EQ(keys->pad->frame(), Rect(0, 160, 480, 160));
    EXPECT_EQ(keys->seven->frame(), Rect(0, 0, 240, 160));
    EXPECT_EQ(keys->display->frame(), Rect(0, 0, 320, 80));  // absolute frames stay
}

TEST_F(SceneTest, EveryLoadErrorIsReportedClearly) {
    EXPECT_EQ(load(keysScene, "Settings"), "storyboard Test has no scene \"Settings\"");
    EXPECT_EQ(load("scene A NoSuchController\n  view View\n", "A"),
              "storyboard Test, scene A, line 1: unknown controller class \"NoSuchController\"");
    EXPECT_EQ(load("scene A ViewController\n  view View\n    view CalcView\n", "A"),
              "storyboard Test, scene A, line 3: unknown view class \"CalcView\"");
    EXPECT_EQ(load("scene A ViewController\n  view View outlet=missing\n", "A"),
              "storyboard Test, scene A, line 2: ViewController has no outlet \"missing\"");
    std::string withoutSeven = keysScene;
    withoutSeven.replace(withoutSeven.find("outlet=seven "), 13, "");
    EXPECT_EQ(load(withoutSeven, "Keys"), "storyboard Test, scene Keys: outlet \"seven\" of KeysController is not connected");
    std::string wrongClass = keysScene;
    wrongClass.replace(wrongClass.find("view Label outlet=display"), 10, "view View ");
    wrongClass.replace(wrongClass.find(" text=\"12 345\" textColor=255,255,255"), 36, "");
    EXPECT_EQ(load(wrongClass, "Keys"), "storyboard Test, scene Keys, line 5: outlet \"display\" of KeysController cannot hold a View");
    EXPECT_EQ(load("scene A ViewController\n  view View colour=1\n", "A"),
              "storyboard Test, scene A, line 2: View: unknown property \"colour\"");
    EXPECT_EQ(load("scene A ViewController\n  view View alpha=lots\n", "A"),
              "storyboard Test, scene A, line 2: View: bad value \"lots\" for property \"alpha\"");
    EXPECT_EQ(load("scene A ViewController\n  view View frame=1,2,3\n", "A"),
              "storyboard Test, line 2: bad frame \"1,2,3\" (expected x,y,width,height)");
    EXPECT_EQ(load("scene A ViewController\n  view Label text=\"open\n", "A"), "storyboard Test, line 2: unclosed quote");
    EXPECT_EQ(load("scene A ViewController\n      view View\n", "A"), "storyboard Test, line 2: indented deeper than its parent allows");
    EXPECT_EQ(load("  view View\n", "A"), "storyboard Test, line 1: a view outside any scene");
    EXPECT_EQ(load("initial B\nscene A ViewController\n", "A"), "storyboard Test: the initial scene \"B\" does not exist");
    EXPECT_EQ(load("scene A ViewController\nscene A ViewController\n", "A"), "storyboard Test, line 2: scene \"A\" appears twice");
    EXPECT_EQ(load("widget A\n", "A"), "storyboard Test, line 1: unknown keyword \"widget\"");
}

TEST_F(SceneTest, StoryboardsAreFoundByNameInTheResourceDirectory) {
    auto dir = testsupport::makeTemporaryDirectory("ostrelo-scenes");
    Storyboard::setDirectory(dir);
    std::string error;
    EXPECT_FALSE(Storyboard::named("Main", error));
    EXPECT_EQ(error, "no storyboard \"Main\" (looked for " + (dir / "Main.storyboard").string() + ")");
    std::ofstream(dir / "Main.storyboard") << keysScene;
    auto board = Storyboard::named("Main", error);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->name(), "Main");
    EXPECT_TRUE(board->instantiateViewController("Plain", error));
    Storyboard::setDirectory(std::nullopt);
    std::filesystem::remove_all(dir);
}

TEST_F(SceneTest, ANibBindsTheOutletsOfItsOwnerOrNoneOnFailure) {
    std::string error;
    auto board = Storyboard::parse(keysScene, "Keyboard", error);
    ASSERT_TRUE(board) << error;
    KeysController owner;
    auto root = board->instantiateWithOwner("Keys", owner, error);
    ASSERT_TRUE(root) << error;
    ASSERT_NE(owner.seven, nullptr);
    EXPECT_TRUE(owner.seven->isDescendantOf(root.get()));
    EXPECT_EQ(owner.display->text(), "12 345");
    EXPECT_FALSE(owner.isViewLoaded());  // the owner's own view is untouched

    // The last outlet has the wrong class: the earlier ones are not left pointing into the
    // discarded tree.
    std::string wrong = keysScene;
    wrong.replace(wrong.find("view Button outlet=seven"), 11, "view Label ");
    wrong.replace(wrong.find(" title=\"7\" tag=7"), 16, "");
    auto badBoard = Storyboard::parse(wrong, "Keyboard", error);
    ASSERT_TRUE(badBoard) << error;
    KeysController other;
    EXPECT_FALSE(badBoard->instantiateWithOwner("Keys", other, error));
    EXPECT_EQ(error, "storyboard Keyboard, scene Keys, line 7: outlet \"seven\" of the owner cannot hold a Label");
    EXPECT_EQ(other.display, nullptr);
    EXPECT_EQ(other.pad, nullptr);
    EXPECT_EQ(other.seven, nullptr);
    EXPECT_FALSE(board->instantiateWithOwner("Missing", other, error));
    EXPECT_EQ(error, "storyboard Keyboard has no scene \"Missing\"");
}
