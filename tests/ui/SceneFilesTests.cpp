// The deliverables' scene files: the app's storyboard "Main" and the keyboard's nibs load with
// every outlet of their screens connected, lay out as a keypad should in each size class and are
// drawn in both themes (PNGs in the build tree, under snapshots/).
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Nib.h"
#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/ViewController.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorSettingsLabel.h"
#include "ui/CalculatorSwitch.h"
#include "ui/CalculatorView.h"
#include "ui/InterfaceKitClasses.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

using namespace ostrelo;
using uikit::Rect;

namespace {

// Stand-ins for the screens' controllers: the same class names, outlets and actions.

const std::vector<std::string> mainKeys = {
    "buttonsMemoryClear", "buttonsMemoryAdd", "buttonMemoryRecall", "buttonDecimalSeparator", "buttonPlusMinus",
    "buttonDegRad", "buttonClear", "buttonEqual", "buttonZero", "buttonOne", "buttonTwo", "buttonThree", "buttonFour",
    "buttonFive", "buttonSix", "buttonSeven", "buttonEight", "buttonNine", "buttonFunctions",
    "buttonParenthesisOpen", "buttonParenthesisClose", "buttonsMultiply", "buttonsDivide", "buttonsSubtract",
    "buttonsAdd"};

const std::vector<std::string> keyboardKeys = {
    "buttonDegRad", "buttonPlusMinus", "buttonDecimalSeparator", "buttonZero", "buttonOne", "buttonTwo",
    "buttonThree", "buttonFour", "buttonFive", "buttonSix", "buttonSeven", "buttonEight", "buttonNine",
    "buttonOpen", "buttonClose", "convertFrom", "convertTo", "buttonConvert", "buttonConvertTo", "buttonClear",
    "buttonMultiply", "buttonDevide", "buttonSubtract", "buttonAdd", "buttonEqual", "buttonSend",
    "nextKeyboardButton", "buttonSpace", "buttonBackSpace", "buttonReturn", "buttonMemoryClear",
    "buttonMemoryAdd", "buttonMemoryRecall", "buttonSine", "buttonArcsine", "buttonCosine", "buttonArccosine",
    "buttonTangent", "buttonArctangent", "buttonLn", "buttonEuler", "buttonMemorySubtract", "buttonSquare",
    "buttonSquareroot", "buttonInverse", "buttonPi", "buttonFactorial", "buttonPercentage"};

const std::vector<std::string> currencies = {"CHF", "EUR", "GBP", "JPY", "USD", "ZAR"};

bool uprightPhone(const uikit::TraitCollection& traits) {
    return traits.horizontalSizeClass == uikit::UserInterfaceSizeClass::compact &&
           traits.verticalSizeClass == uikit::UserInterfaceSizeClass::regular;
}

struct MainScreen : uikit::ViewController,
                    uikit::PopoverPresentationControllerDelegate,
                    uikit::PickerViewDataSource,
                    uikit::PickerViewDelegate {
    std::map<std::string, CalculatorButton*> keys;
    CalculatorLabel* labelConvert = nullptr;
    CalculatorCalcLabel* primaryCalculatorLine = nullptr;
    CalculatorCalcLabel* secondaryCalculatorLine = nullptr;
    CalculatorPicker* convertFromPicker = nullptr;
    CalculatorPicker* convertToPicker = nullptr;
    CalculatorView* ostreloView = nullptr;
    CalculatorScrollView* scrollView = nullptr;

    MainScreen() {
        for (const auto& name : mainKeys) declareOutlet(name, keys[name]);
        declareOutlet("labelConvert", labelConvert);
        declareOutlet("primaryCalculatorLine", primaryCalculatorLine);
        declareOutlet("secondaryCalculatorLine", secondaryCalculatorLine);
        declareOutlet("convertFromPicker", convertFromPicker);
        declareOutlet("convertToPicker", convertToPicker);
        declareOutlet("ostreloView", ostreloView);
        declareOutlet("scrollView", scrollView);
    }
    void viewDidLoad() override {
        for (auto* picker : {convertFromPicker, convertToPicker}) {
            picker->setDataSource(this, alive());
            picker->setDelegate(this, alive());
        }
    }
    // The two keypads as the screen shows them: the currency row over the parenthesis keys, or
    // the parenthesis keys with the currency row only where there is room.
    void showKeypad(bool currency) {
        const bool upright = uprightPhone(traitCollection());
        for (uikit::View* v : std::initializer_list<uikit::View*>{convertFromPicker, convertToPicker, labelConvert})
            v->setHidden(!currency && upright);
        keys["buttonParenthesisOpen"]->setHidden(currency);
        keys["buttonParenthesisClose"]->setHidden(currency);
        keys["buttonFunctions"]->setTitle(currency ? "⏎" : "ƒ(x)", uikit::ControlStateNormal);
        keys["buttonEqual"]->setTitle(currency && upright ? "⇨" : "=", uikit::ControlStateNormal);
    }
    void traitCollectionDidChange(const uikit::TraitCollection*) override { showKeypad(false); }
    void showPopover(const std::string& identifier, uikit::View* source, uikit::Size size, Rect rect, unsigned arrows,
                     const uikit::Color& background) {
        std::string error;
        auto popover = storyboard()->instantiateViewController(identifier, error);
        ASSERT_TRUE(popover) << error;
        popover->modalPresentationStyle = uikit::ModalPresentationPopover;
        popover->preferredContentSize = size;
        auto* presentation = popover->popoverPresentationController();
        presentation->sourceRect = rect;
        presentation->setDelegate(this, alive());
        presentation->backgroundColor = background;
        presentation->permittedArrowDirections = arrows;
        presentation->setSourceView(source);
        presentViewController(std::move(popover), false);
    }
    int adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController&,
                                                           const uikit::TraitCollection&) override {
        return -1;
    }
    int numberOfComponentsInPickerView(uikit::PickerView&) override { return 1; }
    int numberOfRowsInComponent(uikit::PickerView&, int) override { return static_cast<int>(currencies.size()); }
    // A row as the screen makes it: the code in the theme's font and function-key title colour.
    std::unique_ptr<uikit::View> viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) override {
        auto label = std::make_unique<uikit::Label>();
        const double w = picker.frame().width(), h = picker.frame().height();
        label->setFont(uikit::Font::named(themeFontName(), h / 3 * std::min(w / h, 1.0)));
        label->setTextColor(functionTitleColor());
        label->textAlignment = uikit::TextAlignment::center;
        label->setText(currencies.at(row));
        return label;
    }
    double rowHeightForComponent(uikit::PickerView& picker, int) override { return picker.frame().height() / 2; }
};

struct MemoryScreen : uikit::ViewController {
    CalculatorLabel* labelMemory = nullptr;
    MemoryScreen() { declareOutlet("labelMemory", labelMemory); }
    void viewDidLoad() override {
        view()->setBackgroundColor(digitBackgroundColor());
        labelMemory->setText("1 234.5");
    }
};

struct FunctionsScreen : uikit::ViewController {
    CalculatorView* ostreloView = nullptr;
    FunctionsScreen() { declareOutlet("ostreloView", ostreloView); }
};

struct SettingsScreen : uikit::ViewController {
    std::map<std::string, CalculatorSwitch*> switches;
    std::map<std::string, CalculatorSettingsLabel*> labels;
    uikit::View* viewSettings = nullptr;
    std::vector<std::string> actions;
    SettingsScreen() {
        for (const char* name : {"switchStatusBar", "switchScientific", "switchParenthesis", "switchDarkTheme",
                                 "switchSound", "switchReset", "switchRemember", "switchPercent"}) {
            declareOutlet(name, switches[name]);
            std::string action = std::string(name) + "Changed";
            declareAction<uikit::Switch>(action, [this, action](uikit::Switch&) { actions.push_back(action); });
        }
        for (const char* name : {"lableCurrencies", "lableVersion", "lableCopyright", "lableCopyrightBig",
                                 "labelOwnCurrency"})
            declareOutlet(name, labels[name]);
        declareOutlet("viewSettings", viewSettings);
        declareAction<uikit::Button>("callSettings", [this](uikit::Button&) { actions.push_back("callSettings"); });
    }
    void viewDidLoad() override {
        view()->setBackgroundColor(functionBackgroundColor());
        switches["switchParenthesis"]->setOn(true);
        switches["switchDarkTheme"]->setOn(true);
        labels["lableCurrencies"]->setText("Rates of 2024-05-17");
        labels["labelOwnCurrency"]->setText("XAU");
        labels["lableVersion"]->setText("Version 1.0 (1)");
        labels["lableCopyright"]->setText("© Ostrelo");
        labels["lableCopyrightBig"]->setText("© Ostrelo, a calculator with currency conversion");
    }
};

// Hosts a keyboard nib at the bottom of its view, as the input view of a host's text field.
struct KeyboardScreen : uikit::ViewController {
    static inline std::string nibName = "Keyboard";
    std::map<std::string, CalculatorButton*> keys;
    CalculatorCalcLabel* primaryCalculatorLine = nullptr;
    CalculatorView* ostreloView = nullptr;
    int backspaces = 0;
    std::string error;
    KeyboardScreen() {
        for (const auto& name : keyboardKeys) declareOutlet(name, keys[name]);
        declareOutlet("primaryCalculatorLine", primaryCalculatorLine);
        declareOutlet("ostreloView", ostreloView);
        declareAction<uikit::Button>("buttonBackspacePressed", [this](uikit::Button&) { ++backspaces; });
    }
    void viewDidLoad() override {
        view()->setBackgroundColor(uikit::Color::rgb(200, 200, 205));
        auto nib = uikit::Nib::named(nibName, error);
        if (!nib) return;
        auto pad = nib->instantiateWithOwner(*this, error);
        if (!pad) return;
        uikit::View* keypad = view()->addSubview(std::move(pad));
        uikit::LayoutConstraint::activateConstraints({keypad->leftAnchor().constraintEqualToAnchor(view()->leftAnchor()),
                                                      keypad->rightAnchor().constraintEqualToAnchor(view()->rightAnchor()),
                                                      keypad->bottomAnchor().constraintEqualToAnchor(
                                                          view()->safeAreaLayoutGuide().bottomAnchor())});
    }
};

// Every text a key of these scenes may carry: what the key handlers dispatch on.
const std::set<std::string>& keyTexts() {
    static const std::set<std::string> texts = [] {
        std::set<std::string> t = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "±", "÷", "×", "−", "+",
                                   "=", "AC", "C", "MC", "M+", "M−", "MR", "ƒ(x)", "(", ")", "deg", "rad",
                                   "√x", "x²", "x!", "1∕x", "sin", "cos", "tan", "sin⁻¹", "cos⁻¹", "tan⁻¹",
                                   "sinh", "cosh", "tanh", "㏑", "𝜋", "𝑒", "%", "rand", "⇨", "⇦", "xʸ", "𝑖",
                                   "🌐", "SP", "⌫", "⮐", "✅", "⏎"};
        t.insert(currencies.begin(), currencies.end());
        return t;
    }();
    return texts;
}

// The keys of a keypad; each shown key must carry a text the key handlers know.
std::vector<CalculatorButton*> keysOf(const uikit::View& pad) {
    std::vector<CalculatorButton*> out;
    for (const auto& sub : pad.subviews())
        if (auto* key = dynamic_cast<CalculatorButton*>(sub.get())) {
            out.push_back(key);
            const std::string title = key->normalTitle();
            EXPECT_TRUE(key->hidden() || keyTexts().count(title) == 1) << '"' << title << '"';
        }
    return out;
}

// After a theme change: every view lays itself out again, and the display lines rebuild their
// texts in the theme's colours, as the screens' refresh does.
void relayoutAll(uikit::View& view) {
    view.setNeedsLayout();
    if (auto* line = dynamic_cast<CalculatorCalcLabel*>(&view)) line->setText(line->text());
    for (const auto& sub : view.subviews()) relayoutAll(*sub);
}

bool near(const uikit::Color& a, const uikit::Color& b) {
    return std::fabs(a.red - b.red) < 0.02 && std::fabs(a.green - b.green) < 0.02 && std::fabs(a.blue - b.blue) < 0.02;
}

}  // namespace

class SceneFilesTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        registerInterfaceKitClasses();
        auto& registry = uikit::ClassRegistry::shared();
        registry.registerController<MainScreen>("ViewController");
        registry.registerController<MemoryScreen>("ViewControllerMemory");
        registry.registerController<FunctionsScreen>("ViewControllerFunctions");
        registry.registerController<SettingsScreen>("ViewControllerSettings");
        registry.registerController<KeyboardScreen>("KeyboardViewController");
        // Found beside this program, where the build copies them (no directory is set here).
        uikit::Storyboard::setDirectory(std::nullopt);
        std::filesystem::create_directories(OSTRELO_SNAPSHOT_DIR);
    }
    void TearDown() override {
        uikit::ClassRegistry::shared().registerController<uikit::ViewController>("ViewController");
        UiTest::TearDown();
    }
    MainScreen* showMain() {
        std::string error;
        auto board = uikit::Storyboard::named("Main", error);
        EXPECT_TRUE(board && board->sceneIdentifiers() ==
                                 std::vector<std::string>({"Main", "Memory", "Functions", "Settings"}))
            << error;
        auto controller = board ? board->instantiateInitialViewController(error) : nullptr;
        EXPECT_TRUE(controller) << error;
        auto* main = dynamic_cast<MainScreen*>(controller.get());
        host->setRootViewController(std::move(controller));
        return main;
    }
    KeyboardScreen* showKeyboard(const std::string& nib) {
        KeyboardScreen::nibName = nib;
        auto controller = std::make_unique<KeyboardScreen>();
        auto* keyboard = controller.get();
        host->setRootViewController(std::move(controller));
        EXPECT_EQ(keyboard->error, "");
        return keyboard;
    }
    // Writes the window in both themes; checks that the backdrop and a digit key show their
    // theme's colours.
    void snapshotBothThemes(const std::string& name, const uikit::View* digit) {
        for (bool dark : {true, false}) {
            dark ? applyDarkTheme() : applyLightTheme();
            relayoutAll(*window);
            const auto file = std::filesystem::path(OSTRELO_SNAPSHOT_DIR) / ("scene-" + name + (dark ? "-dark" : "-light") + ".png");
            ASSERT_TRUE(host->writeSnapshot(file));
            if (digit == nullptr) continue;
            const render::Image image = host->snapshot();
            const double scale = host->profile().scale;
            const auto at = digit->convertPointToWindow({4, 4});
            EXPECT_TRUE(near(image.pixel(static_cast<int>(at.x * scale), static_cast<int>(at.y * scale)),
                             digitBackgroundColor()))
                << name;
        }
        applyDarkTheme();
    }
};

TEST_F(SceneFilesTest, MainScreenUprightAndWide) {
    MainScreen* main = showMain();
    ASSERT_NE(main, nullptr);
    main->primaryCalculatorLine->setText("12×(3+4)");
    main->secondaryCalculatorLine->setText("84");
    host->runUntilIdle();

    auto checkGrid = [&](int columns, std::size_t count) {
        const Rect pad = main->ostreloView->frame();
        const auto safe = window->windowSafeAreaInsets().inset(window->bounds());
        EXPECT_EQ(pad.maxY(), safe.maxY());
        EXPECT_EQ(pad.width(), safe.width());
        EXPECT_EQ(main->scrollView->frame().minY(), safe.minY());
        EXPECT_EQ(main->scrollView->frame().maxY(), pad.minY());
        const double w = pad.width() / columns, h = pad.height() / 5;
        std::set<std::pair<long, long>> cells;
        std::size_t shown = 0;
        for (auto* key : keysOf(*main->ostreloView)) {
            const Rect f = key->frame();
            EXPECT_NEAR(f.width(), w, 1e-6) << key->normalTitle();
            EXPECT_NEAR(f.height(), h, 1e-6) << key->normalTitle();
            EXPECT_TRUE(cells.emplace(std::lround(f.minX() / w), std::lround(f.minY() / h)).second)
                << key->normalTitle() << " shares its cell";
            shown += !key->hidden();
        }
        EXPECT_EQ(shown, count);
    };
    checkGrid(5, 25);
    EXPECT_TRUE(main->convertFromPicker->hidden());
    snapshotBothThemes("main-portrait", main->keys["buttonFive"]);

    // Upright, the currency row takes the place of the parenthesis keys.
    main->showKeypad(true);
    main->convertFromPicker->selectRow(4, 0, false);
    main->convertToPicker->selectRow(1, 0, false);
    const Rect open = main->keys["buttonParenthesisOpen"]->frame();
    EXPECT_NEAR(main->convertFromPicker->frame().minX(), open.minX(), 1e-9);
    EXPECT_NEAR(main->convertToPicker->frame().maxX(), main->keys["buttonParenthesisClose"]->frame().maxX(), 1e-9);
    EXPECT_EQ(main->labelConvert->frame().minY(), open.minY());
    EXPECT_EQ(main->labelConvert->frame().height(), open.height());
    snapshotBothThemes("main-portrait-currency", main->keys["buttonFive"]);
    main->showKeypad(false);

    host->rotate(host::Orientation::landscape);
    checkGrid(10, 47);
    // The currency row heads the scientific columns, beside the conversion keys.
    EXPECT_FALSE(main->convertFromPicker->hidden());
    EXPECT_NEAR(main->convertToPicker->frame().maxX(), keysOf(*main->ostreloView)[25]->frame().minX(), 1e-9);
    snapshotBothThemes("main-landscape", main->keys["buttonFive"]);

    host->rotate(host::Orientation::portrait);
    checkGrid(5, 25);
}

TEST_F(SceneFilesTest, PopoversDrawnOverTheMainScreen) {
    MainScreen* main = showMain();
    ASSERT_NE(main, nullptr);
    const Rect zero = main->keys["buttonZero"]->frame();
    CalculatorButton* functionsKey = main->keys["buttonFunctions"];
    CalculatorButton* degRad = main->keys["buttonDegRad"];
    CalculatorButton* recall = main->keys["buttonMemoryRecall"];
    // Each popover is shown in the theme of the moment, as the screen shows it.
    for (const bool dark : {true, false}) {
        const std::string theme = dark ? "-dark.png" : "-light.png";
        const std::filesystem::path directory = OSTRELO_SNAPSHOT_DIR;
        dark ? applyDarkTheme() : applyLightTheme();
        relayoutAll(*window);
        main->showPopover("Functions", functionsKey, {3 * zero.width(), 4 * zero.height()},
                          {functionsKey->frame().width(), functionsKey->frame().height() / 2, 1, 1},
                          uikit::PopoverArrowDirectionLeft, functionBackgroundColor());
        auto* functions = dynamic_cast<FunctionsScreen*>(main->presentedViewController());
        ASSERT_NE(functions, nullptr);
        const auto functionKeys = keysOf(*functions->ostreloView);
        EXPECT_EQ(functionKeys.size(), 20u);
        EXPECT_EQ(functionKeys.back()->normalTitle(), "𝑖");  // the loan key, sent as "%%"
        EXPECT_TRUE(host->writeSnapshot(directory / ("scene-popover-functions" + theme)));
        main->dismissViewController(false);

        main->showPopover("Settings", degRad, {3.5 * zero.width(), 3 * zero.height()},
                          {degRad->frame().width() / 2, degRad->frame().height(), 1, 1},
                          uikit::PopoverArrowDirectionUp, functionBackgroundColor());
        auto* settings = dynamic_cast<SettingsScreen*>(main->presentedViewController());
        ASSERT_NE(settings, nullptr);
        // Upright there is room for the short notice only.
        EXPECT_NE(settings->labels["lableCopyright"]->window(), nullptr);
        EXPECT_EQ(settings->labels["lableCopyrightBig"]->window(), nullptr);
        EXPECT_TRUE(host->writeSnapshot(directory / ("scene-popover-settings" + theme)));
        host->tap(host::HeadlessHost::centerOf(*settings->switches["switchSound"]));
        EXPECT_EQ(settings->actions, (std::vector<std::string>{"switchSoundChanged"}));
        EXPECT_TRUE(settings->switches["switchSound"]->isOn());
        main->dismissViewController(false);

        main->showPopover("Memory", recall, {2 * zero.width(), 0.5 * zero.height()},
                          {recall->frame().width() / 2, 0, 1, 1}, uikit::PopoverArrowDirectionDown,
                          digitBackgroundColor());
        ASSERT_NE(dynamic_cast<MemoryScreen*>(main->presentedViewController()), nullptr);
        EXPECT_TRUE(host->writeSnapshot(directory / ("scene-popover-memory" + theme)));
        main->dismissViewController(false);
    }
    applyDarkTheme();
}

TEST_F(SceneFilesTest, KeyboardNibsFillTheKeyboardsHeight) {
    for (const char* nib : {"Keyboard", "Keyboard X"}) {
        KeyboardScreen* keyboard = showKeyboard(nib);
        ASSERT_NE(keyboard->ostreloView, nullptr) << nib;
        const auto safe = window->windowSafeAreaInsets().inset(window->bounds());
        // Its own height (below the pinned edges' priority) where nothing else sets it.
        EXPECT_EQ(keyboard->ostreloView->frame(), Rect(0, safe.maxY() - 258, window->bounds().width(), 258)) << nib;
        bool found = false;
        for (const auto& c : keyboard->ostreloView->constraints())
            found = found || (c->isActive() && c->constant() == 258 && c->priority == 990);
        EXPECT_TRUE(found) << nib;
        EXPECT_EQ(keyboard->keys["convertFrom"]->tag, 1);
        EXPECT_NE(keyboard->keys["convertTo"]->tag, 1);
        EXPECT_EQ(keyboard->keys["buttonSend"]->normalTitle(), "✅");
        EXPECT_EQ(keyboard->keys["buttonSpace"]->normalTitle(), "SP");
        EXPECT_EQ(keyboard->keys["buttonReturn"]->normalTitle(), "⮐");
        EXPECT_EQ(keyboard->keys["buttonBackSpace"]->normalTitle(), "⌫");
        // The delete key keeps its own touches and sends its action.
        host->tap(host::HeadlessHost::centerOf(*keyboard->keys["buttonBackSpace"]));
        EXPECT_EQ(keyboard->backspaces, 1) << nib;
        const bool withGlobe = std::string(nib) == "Keyboard";
        EXPECT_EQ(keyboard->keys["nextKeyboardButton"]->normalTitle(), withGlobe ? "🌐" : "");
        EXPECT_EQ(keyboard->keys["nextKeyboardButton"]->hidden(), !withGlobe);
        keyboard->primaryCalculatorLine->setText("2+3");
        std::string file = withGlobe ? "nib-keyboard" : "nib-keyboard-x";
        snapshotBothThemes(file, keyboard->keys["buttonFive"]);
    }
    host->rotate(host::Orientation::landscape);
    EXPECT_EQ(static_cast<KeyboardScreen*>(host->rootViewController())->ostreloView->frame().height(), 194);
}
