#include "platform/uikit/Button.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Nib.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

namespace {

struct PanelController : ViewController {
    Button* go = nullptr;
    std::vector<Button*> keys;
    Label* display = nullptr;
    TapGestureRecognizer* displayTap = nullptr;
    View* bar = nullptr;
    std::shared_ptr<LayoutConstraint> barTop;
    std::weak_ptr<LayoutConstraint> barHeight;
    int goes = 0, copies = 0;
    PanelController() {
        declareOutlet("go", go);
        declareOutletCollection("keys", keys);
        declareOutlet("display", display);
        declareOutlet("displayTap", displayTap);
        declareOutlet("bar", bar);
        declareOutlet("barTop", barTop);
        declareOutlet("barHeight", barHeight);
        declareAction<Button>("go", [this](Button&) { ++goes; });
        declareAction<TapGestureRecognizer>("copy", [this](TapGestureRecognizer&) { ++copies; });
    }
};

// A panel over a bar: the panel fills the safe area above the bar, the bar reaches from 300
// points below the safe area's top to its bottom, and its preferred height gives way.
const char* panelScene = R"(scene Panel PanelController
  view View
    view View outlet=bar backgroundColor=1,2,3
    view View id=content
      view Button outlet=go title="Go" rframe=0,0,0.5,0.2 action=go
      view Button collection=keys title="1" rframe=0,0.2,0.5,0.2
      view Button collection=keys title="2" rframe=0.5,0.2,0.5,0.2
      view Label outlet=display text="0" rframe=0,0.4,1,0.2
        gesture TapGestureRecognizer outlet=displayTap action=copy
  constraint bar.left = root.left
  constraint bar.right = root.right
  constraint bar.bottom = root.safeArea.bottom
  constraint bar.top = root.safeArea.top + 300 outlet=barTop
  constraint bar.height = 258 priority=990 outlet=barHeight
  constraint content.left = root.safeArea.left
  constraint content.right = root.safeArea.right
  constraint content.top = root.safeArea.top
  constraint content.bottom = bar.top
)";

struct PadController : ViewController {
    View* pad = nullptr;
    Button* one = nullptr;
    Button* two = nullptr;
    Button* zero = nullptr;
    Button* sine = nullptr;
    Label* note = nullptr;
    std::weak_ptr<LayoutConstraint> noteWidth;
    std::vector<std::size_t> keysSeen;
    PadController() {
        declareOutlet("pad", pad);
        declareOutlet("one", one);
        declareOutlet("two", two);
        declareOutlet("zero", zero);
        declareOutlet("sine", sine);
        declareOutlet("note", note);
        declareOutlet("noteWidth", noteWidth);
    }
    void traitCollectionDidChange(const TraitCollection*) override { keysSeen.push_back(pad->subviews().size()); }
};

// Upright: "1" "2" over a wide "0". Wider: a tall "sin" column on the left of the same keys.
const char* padScene = R"(scene Pad PadController
  view View
    view View outlet=pad rframe=0,0,1,1 grid=2x2 grid@wR|hC=3x2
      view Button outlet=one title="1" cell=0,0 cell@wR|hC=1,0
      view Button outlet=sine title="sin" cell=0,0,1,2 when=wR|hC
      view Button outlet=two title="2" cell=1,0 cell@wR|hC=2,0
      view Button outlet=zero title="0" cell=0,1,2,1 cell@wR|hC=1,1,2,1
    view Label outlet=note frame=0,0,10,10 frame@hC=5,5,20,20
  constraint note.width = 100 when=wC+hR outlet=noteWidth
)";

std::vector<std::string> titles(const View& pad) {
    std::vector<std::string> out;
    for (const auto& key : pad.subviews()) out.push_back(*static_cast<Button&>(*key).titleForState(ControlStateNormal));
    return out;
}

}  // namespace

TEST_F(SceneTest, ConstraintsPrioritiesActionsAndEveryKindOfOutlet) {
    ClassRegistry::shared().registerController<PanelController>("PanelController");
    std::string error;
    auto board = Storyboard::parse(panelScene, "Panel", error);
    ASSERT_TRUE(board) << error;
    auto controller = board->instantiateViewController("Panel", error);
    ASSERT_TRUE(controller) << error;
    auto* panel = static_cast<PanelController*>(controller.get());
    Window window(Rect(0, 0, 320, 480));
    window.setSafeAreaInsets({20, 0, 10, 0});
    window.setRootViewController(std::move(controller));
    window.layoutIfNeeded();

    EXPECT_EQ(panel->bar->frame(), Rect(0, 320, 320, 150));  // the 258 points give way
    EXPECT_EQ(panel->go->frame(), Rect(0, 0, 160, 60));      // in the content, 300 high from y 20
    EXPECT_EQ(panel->go->superview()->frame(), Rect(0, 20, 320, 300));
    ASSERT_EQ(panel->keys.size(), 2u);
    EXPECT_EQ(*panel->keys[1]->titleForState(ControlStateNormal), "2");
    EXPECT_EQ(panel->outletNamed("go"), panel->go);
    EXPECT_EQ(panel->outletNamed("display"), panel->display);
    EXPECT_EQ(panel->outletNamed("barTop"), nullptr);
    EXPECT_EQ(panel->outletNamed("nothing"), nullptr);

    // Without the top rule the bar takes its preferred height above the safe area's bottom.
    ASSERT_TRUE(panel->barTop && !panel->barHeight.expired());
    panel->barTop->setActive(false);
    window.layoutIfNeeded();
    EXPECT_EQ(panel->bar->frame(), Rect(0, 212, 320, 258));
    panel->barHeight.lock()->setConstant(100);
    window.layoutIfNeeded();
    EXPECT_EQ(panel->bar->frame(), Rect(0, 370, 320, 100));

    // The scene's actions reach the controller: the button's tap and the label's recogniser.
    window.touchDown(Point{80, 50});
    window.touchUp(Point{80, 50});
    panel->display->setUserInteractionEnabled(true);
    Point onDisplay = panel->display->convertPointToWindow({10, 10});
    window.touchDown(onDisplay);
    window.touchUp(onDisplay);
    EXPECT_EQ(panel->goes, 1);
    EXPECT_EQ(panel->copies, 1);
    EXPECT_EQ(panel->displayTap->view(), panel->display);
}

TEST_F(SceneTest, SizeClassVariantsFollowTheWindow) {
    ClassRegistry::shared().registerController<PadController>("PadController");
    std::string error;
    auto board = Storyboard::parse(padScene, "Pad", error);
    ASSERT_TRUE(board) << error;
    auto controller = board->instantiateViewController("Pad", error);
    ASSERT_TRUE(controller) << error;
    auto* pad = static_cast<PadController*>(controller.get());
    Window window(Rect(0, 0, 200, 400));
    window.setRootViewController(std::move(controller));

    auto upright = [&] {
        window.layoutIfNeeded();
        EXPECT_EQ(titles(*pad->pad), (std::vector<std::string>{"1", "2", "0"}));
        EXPECT_EQ(pad->sine->superview(), nullptr);  // kept aside, the outlet still valid
        EXPECT_EQ(pad->one->frame(), Rect(0, 0, 100, 200));
        EXPECT_EQ(pad->zero->frame(), Rect(0, 200, 200, 200));
        EXPECT_EQ(pad->note->frame(), Rect(0, 0, 100, 10));
        EXPECT_TRUE(pad->noteWidth.lock()->isActive());
    };
    upright();
    window.resize(Size{400, 200});  // compact height: the wide layout
    EXPECT_EQ(titles(*pad->pad), (std::vector<std::string>{"1", "sin", "2", "0"}));
    EXPECT_EQ(pad->keysSeen.back(), 4u);  // in place before the controller hears of the change
    EXPECT_NEAR(pad->sine->frame().height(), 200, 1e-9);
    EXPECT_NEAR(pad->one->frame().minX(), 400.0 / 3, 1e-9);
    EXPECT_NEAR(pad->zero->frame().width(), 800.0 / 3, 1e-9);
    EXPECT_EQ(pad->note->frame(), Rect(5, 5, 20, 20));
    EXPECT_FALSE(pad->noteWidth.lock()->isActive());
    window.resize(Size{200, 400});
    upright();
}

TEST_F(SceneTest, ConnectionErrorsNameTheLine) {
    ClassRegistry::shared().registerController<PanelController>("PanelController");
    auto panelWith = [](const std::string& from, const std::string& to) {
        std::string text = panelScene;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    EXPECT_EQ(load(panelWith("action=go", "action=went"), "Panel"),
              "storyboard Test, scene Panel, line 5: PanelController has no action \"went\"");
    EXPECT_EQ(load(panelWith("action=copy", "action=go"), "Panel"),
              "storyboard Test, scene Panel, line 9: action \"go\" of PanelController cannot be sent by a TapGestureRecognizer");
    EXPECT_EQ(load(panelWith("collection=keys title=\"1\"", "outlet=keys title=\"1\""), "Panel"),
              "storyboard Test, scene Panel, line 6: \"keys\" of PanelController is an outlet collection: use collection=");
    EXPECT_EQ(load(panelWith("outlet=barTop", "outlet=bar"), "Panel"),
              "storyboard Test, scene Panel, line 13: outlet \"bar\" is connected twice");
    EXPECT_EQ(load(panelWith("content.bottom = bar.top", "content.bottom = footer.top"), "Panel"),
              "storyboard Test, scene Panel, line 18: no view is named \"footer\"");
    EXPECT_EQ(load(panelWith("gesture TapGestureRecognizer", "gesture SwipeGestureRecognizer"), "Panel"),
              "storyboard Test, scene Panel, line 9: unknown gesture recogniser class \"SwipeGestureRecognizer\"");
    EXPECT_EQ(load(panelWith("view Label outlet=display", "view Label action=copy outlet=display"), "Panel"),
              "storyboard Test, scene Panel, line 8: Label is not a control and sends no action");
    EXPECT_EQ(load(panelWith("backgroundColor=1,2,3", "title@wR=\"A\""), "Panel"),
              "storyboard Test, line 3: only frame, rframe, cell and grid vary by size class, not \"title\"");
    EXPECT_EQ(load(panelWith("rframe=0,0,0.5,0.2", "rframe@wide=0,0,0.5,0.2"), "Panel"),
              "storyboard Test, line 5: bad size classes \"wide\" (expected e.g. wC+hR or wR|hC)");
    EXPECT_EQ(load(panelWith("content.top = root.safeArea.top", "content.top = 5"), "Panel"),
              "storyboard Test, line 17: a constant alone sets only a width or a height");
    EXPECT_EQ(load(panelWith("bar.left = root.left", "bar.left == root.left"), "Panel"),
              "storyboard Test, line 10: expected: constraint item.attribute = [item.attribute [* m]] [+|- c] [key=value ...]");
}

TEST(SceneLookup, FilesLieBesideTheProgramUnlessTheEnvironmentNamesAPlace) {
    Storyboard::setDirectory(std::nullopt);
    unsetenv("OSTRELO_RESOURCES");
    std::string error;
    // The build copies the test data's scenes beside this test program.
    auto beside = Storyboard::named("Example", error);
    ASSERT_TRUE(beside) << error;
    EXPECT_EQ(beside->sceneIdentifiers(), (std::vector<std::string>{"Example"}));
    auto exe = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_FALSE(Storyboard::named("Missing", error));
    EXPECT_EQ(error, "no storyboard \"Missing\" (looked for " + (exe / "storyboards" / "Missing.storyboard").string() +
                         ", " + (exe.parent_path() / "share/ostrelo/storyboards/Missing.storyboard").string() + ")");

    auto dir = testsupport::makeTemporaryDirectory("ostrelo-resources");
    std::filesystem::create_directories(dir / "storyboards");
    std::ofstream(dir / "storyboards" / "Example.storyboard") << keysScene;
    std::ofstream(dir / "storyboards" / "Key Pad.nib") << "scene \"Key Pad\" KeysController\n"
                                                          "  view View\n"
                                                          "    view Label outlet=display\n"
                                                          "    view View outlet=pad\n"
                                                          "      view Button outlet=seven title=\"7\"\n";
    setenv("OSTRELO_RESOURCES", dir.c_str(), 1);
    auto chosen = Storyboard::named("Example", error);
    ASSERT_TRUE(chosen) << error;
    EXPECT_EQ(chosen->sceneIdentifiers(), (std::vector<std::string>{"Keys", "Plain"}));
    ClassRegistry::shared().registerController<KeysController>("KeysController");
    auto nib = Nib::named("Key Pad", error);
    ASSERT_TRUE(nib) << error;
    KeysController owner;
    auto root = nib->instantiateWithOwner(owner, error);
    ASSERT_TRUE(root) << error;
    EXPECT_EQ(owner.seven->titleForState(ControlStateNormal), "7");
    EXPECT_FALSE(Nib::named("Keys", error));
    EXPECT_EQ(error, "no nib \"Keys\" (looked for " + (dir / "storyboards" / "Keys.nib").string() + ")");
    // A misspelt class in a file: the message names the file and the line.
    std::ofstream(dir / "storyboards" / "Bad.nib") << "scene Bad ViewController\n  view View\n    view Lable\n";
    auto bad = Nib::named("Bad", error);
    ASSERT_TRUE(bad) << error;
    ViewController badOwner;
    EXPECT_FALSE(bad->instantiateWithOwner(badOwner, error));
    EXPECT_EQ(error, (dir / "storyboards" / "Bad.nib").string() + ", scene Bad, line 3: unknown view class \"Lable\"");
    unsetenv("OSTRELO_RESOURCES");
    std::filesystem::remove_all(dir);
}
