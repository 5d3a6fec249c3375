#include "platform/foundation/NotificationCenter.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/PickerView.h"
#include "platform/uikit/ScrollView.h"
#include "platform/uikit/Switch.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace uikit;

namespace {

struct Rows : PickerViewDataSource, PickerViewDelegate {
    std::vector<std::string> names{"EUR", "USD", "CHF", "GBP", "JPY"};
    std::vector<std::pair<int, int>> selections;
    int numberOfComponentsInPickerView(PickerView&) override { return 1; }
    int numberOfRowsInComponent(PickerView&, int) override { return static_cast<int>(names.size()); }
    std::optional<std::string> titleForRow(PickerView&, int row, int) override { return names[static_cast<std::size_t>(row)]; }
    void didSelectRow(PickerView&, int row, int component) override { selections.emplace_back(row, component); }
};

struct Screen : ViewController {
    std::vector<std::string> log;
    Button* button = nullptr;
    Switch* toggle = nullptr;
    ScrollView* scroll = nullptr;
    Label* line = nullptr;
    PickerView* picker = nullptr;
    Rows rows;
    foundation::NotificationCenter::Token active, background, foreground;
    foundation::Lifetime links;  // last: ends before the members its links lead to

    void viewDidLoad() override {
        auto* root = view();
        root->setBackgroundColor(Color::rgb(48, 48, 48));
        button = root->add(std::make_unique<Button>(Rect(20, 100, 100, 60)));
        button->setTitle("7", ControlStateNormal);
        button->setTitleColor(Color::white(), ControlStateNormal);
        button->addTarget(this, [this](Control&) { log.push_back("down"); }, ControlEventTouchDown, links.weak());
        button->addTarget(this, [this](Control&) {
            log.push_back("up inside");
            AudioServices::playSystemSound(1104);
        }, ControlEventTouchUpInside, links.weak());
        button->addTarget(this, [this](Control&) { log.push_back("up outside"); }, ControlEventTouchUpOutside, links.weak());
        toggle = root->add(std::make_unique<Switch>(Rect(200, 100, 51, 31)));
        toggle->addTarget(this, [this](Control& c) {
            log.push_back(static_cast<Switch&>(c).isOn() ? "on" : "off");
        }, ControlEventValueChanged, links.weak());
        scroll = root->add(std::make_unique<ScrollView>(Rect(0, 200, 200, 60)));
        line = scroll->add(std::make_unique<Label>(Rect(0, 0, 300, 60)));
        line->setText("1 234 567 890 123");
        line->setUserInteractionEnabled(true);
        line->addGestureRecognizer(std::make_unique<TapGestureRecognizer>([this](GestureRecognizer&) {
            Pasteboard::general().setString(line->text());
            AudioServices::playAlertSound(AudioServices::vibrate);
        }, links.weak()));
        scroll->setContentSize(Size{300, 60});
        picker = root->add(std::make_unique<PickerView>(Rect(0, 300, 200, 160)));
        picker->setDataSource(&rows, links.weak());
        picker->setDelegate(&rows, links.weak());
        auto& center = foundation::NotificationCenter::defaultCenter();
        active = center.addObserver(Application::didBecomeActiveNotification, nullptr, [this](const auto&) { log.push_back("active"); });
        background = center.addObserver(Application::didEnterBackgroundNotification, nullptr, [this](const auto&) { log.push_back("background"); });
        foreground = center.addObserver(Application::willEnterForegroundNotification, nullptr, [this](const auto&) { log.push_back("foreground"); });
    }
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const PressSet& presses, const Event* event) override {
        ViewController::pressesBegan(presses, event);
        for (const Press* p : presses)
            if (p->key) log.push_back("key " + p->key->characters + " " + std::to_string(p->key->keyCode));
    }
};

// Each test has its own group directory, where the host keeps the pasteboard.
class HostTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        host = std::make_unique<host::HeadlessHost>(host::DeviceProfile::phone());
        auto s = std::make_unique<Screen>();
        screen = s.get();
        host->setRootViewController(std::move(s));
    }
    std::unique_ptr<host::HeadlessHost> host;
    Screen* screen = nullptr;
};

}  // namespace

TEST_F(HostTest, DeviceProfilesAndOrientations) {
    EXPECT_EQ(host->window().bounds().size, (Size{393, 852}));
    EXPECT_EQ(host->window().windowTraitCollection().horizontalSizeClass, UserInterfaceSizeClass::compact);
    host->rotate(host::Orientation::landscape);
    EXPECT_EQ(host->window().bounds().size, (Size{852, 393}));
    EXPECT_EQ(screen->view()->bounds().size, (Size{852, 393}));
    EXPECT_EQ(host->window().windowTraitCollection().verticalSizeClass, UserInterfaceSizeClass::compact);
    ASSERT_TRUE(host::DeviceProfile::named("iPad Air (5th generation)"));
    EXPECT_EQ(host::DeviceProfile::named("iPad Air (5th generation)")->idiom, UserInterfaceIdiom::pad);
    EXPECT_FALSE(host::DeviceProfile::named("Toaster"));
    host::HeadlessHost pad(host::DeviceProfile::pad(), host::Orientation::landscape);
    EXPECT_EQ(pad.window().bounds().size, (Size{1180, 820}));
    EXPECT_EQ(pad.window().windowTraitCollection().horizontalSizeClass, UserInterfaceSizeClass::regular);
}

TEST_F(HostTest, ButtonTargetActionAndRecordedSounds) {
    host->tap(host::HeadlessHost::centerOf(*screen->button));
    EXPECT_EQ(screen->log, (std::vector<std::string>{"down", "up inside"}));
    EXPECT_EQ(host->sounds(), (std::vector<AudioServices::Request>{{false, 1104}}));
    EXPECT_FALSE(screen->button->isHighlighted());
    screen->log.clear();
    host->touchDown({70, 130});
    EXPECT_TRUE(screen->button->isHighlighted());
    host->touchMove({390, 800});
    EXPECT_FALSE(screen->button->isHighlighted());
    host->touchUp({390, 800});
    EXPECT_EQ(screen->log, (std::vector<std::string>{"down", "up outside"}));
    // Removing the target stops its actions.
    screen->button->removeTarget(screen);
    screen->log.clear();
    host->tap({70, 130});
    EXPECT_TRUE(screen->log.empty());
}

TEST_F(HostTest, SwitchFlipsOnTapAndScrollViewDragsWithinItsContent) {
    host->tap(host::HeadlessHost::centerOf(*screen->toggle));
    EXPECT_TRUE(screen->toggle->isOn());
    host->tap(host::HeadlessHost::centerOf(*screen->toggle));
    EXPECT_EQ(screen->log, (std::vector<std::string>{"on", "off"}));

    // Offsets may be negative when set by code.
    screen->scroll->setContentOffset({-50, 0});
    EXPECT_EQ(screen->scroll->contentOffset(), (Point{-50, 0}));
    EXPECT_EQ(host::HeadlessHost::centerOf(*screen->line), (Point{200, 230}));
    screen->scroll->setContentOffset({100, 0});
    // A short tap on the line inside the scroll view is a tap: pasteboard and vibration.
    host->tap({50, 230});
    EXPECT_EQ(host->pasteboardWrites(), std::vector<std::string>{"1 234 567 890 123"});
    EXPECT_EQ(host->vibrations(), 1);
    // A drag to the right scrolls back to the start, not beyond, and is no tap.
    host->touchDown({20, 230});
    host->touchMove({60, 230});
    EXPECT_TRUE(screen->scroll->isDragging());
    host->touchMove({190, 230});
    host->touchUp({190, 230});
    EXPECT_EQ(screen->scroll->contentOffset(), (Point{0, 0}));
    EXPECT_EQ(host->pasteboardWrites().size(), 1u);
    host->touchDown({150, 230});
    host->touchMove({10, 230});
    host->touchUp({10, 230});
    EXPECT_EQ(screen->scroll->contentOffset(), (Point{100, 0}));
}

TEST_F(HostTest, PickerSelectsByCodeByTapAndByDrag) {
    auto* picker = screen->picker;
    EXPECT_EQ(picker->numberOfComponents(), 1);
    EXPECT_EQ(picker->numberOfRowsInComponent(0), 5);
    picker->selectRow(2, 0, false);
    host->runUntilIdle();
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    auto* shown = dynamic_cast<Label*>(picker->viewForRow(2, 0));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "CHF");
    EXPECT_TRUE(screen->rows.selections.empty());  // selections by code are not reported
    // A tap one row below the middle (middle at y = 380, rows 32 high).
    host->tap({100, 380 + 32});
    EXPECT_EQ(picker->selectedRowInComponent(0), 3);
    EXPECT_EQ(screen->rows.selections, (std::vector<std::pair<int, int>>{{3, 0}}));
    // Dragging down by two rows goes back two rows; beyond the ends it stops at the first row.
    host->touchDown({100, 380});
    host->touchMove({100, 380 + 64});
    host->touchUp({100, 380 + 64});
    EXPECT_EQ(picker->selectedRowInComponent(0), 1);
    picker->selectRow(99, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 4);
    screen->rows.names = {"EUR"};
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    screen->rows.names.clear();
    picker->reloadComponent(0);
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
    host->runUntilIdle();
}

TEST_F(HostTest, KeysNotificationsUrlsAndSnapshots) {
    host->pressKey("7");
    host->pressKey("", 41);
    EXPECT_EQ(screen->log, (std::vector<std::string>{"key 7 0", "key  41"}));
    screen->log.clear();
    host->enterBackground();
    host->enterForeground();
    host->becomeActive();
    EXPECT_EQ(screen->log, (std::vector<std::string>{"background", "foreground", "active"}));
    EXPECT_EQ(Application::shared().applicationState, ApplicationState::active);
    EXPECT_TRUE(Application::shared().openURL("ostrelo://calculator"));
    EXPECT_FALSE(Application::shared().openURL(""));
    EXPECT_EQ(host->openedURLs(), std::vector<std::string>{"ostrelo://calculator"});
    host->clearRecords();
    EXPECT_TRUE(host->openedURLs().empty());

    auto image = host->snapshot();
    EXPECT_EQ(image.width(), 393 * 3);
    EXPECT_EQ(image.height(), 852 * 3);
    auto c = image.pixel(5, 5);
    EXPECT_NEAR(c.red, 48 / 255.0, 0.01);
    auto dir = testsupport::makeTemporaryDirectory("ostrelo-host");
    EXPECT_TRUE(host->writeSnapshot(dir / "screen.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "screen.png"));
    std::filesystem::remove_all(dir);
}

TEST_F(HostTest, ObserversOfAGoneScreenAreNotCalled) {
    host->setRootViewController(std::make_unique<ViewController>());  // the screen is destroyed
    host->becomeActive();  // its observer tokens went with it: nothing calls into it
    EXPECT_EQ(foundation::NotificationCenter::defaultCenter().observerCount(Application::didBecomeActiveNotification), 0u);
}

TEST_F(HostTest, PickerRowViewsFromTheDelegateAndRowHeight) {
    struct Swatches : PickerViewDataSource, PickerViewDelegate {
        int made = 0;
        int numberOfComponentsInPickerView(PickerView&) override { return 2; }
        int numberOfRowsInComponent(PickerView&, int component) override { return component == 0 ? 3 : 10; }
        std::unique_ptr<View> viewForRow(PickerView&, int row, int component, View* reusing) override {
            if (reusing != nullptr) return nullptr;  // keep the shown view
            ++made;
            auto v = std::make_unique<View>();
            v->tag = component * 100 + row;
            return v;
        }
        double rowHeightForComponent(PickerView&, int) override { return 40; }
    } swatches;
    foundation::Lifetime swatchesLifetime;
    PickerView* picker = screen->view()->add(std::make_unique<PickerView>(Rect(0, 500, 200, 120)));
    picker->setDataSource(&swatches, swatchesLifetime.weak());
    picker->setDelegate(&swatches, swatchesLifetime.weak());
    host->runUntilIdle();
    // 120 points of 40-point rows: the selected row and two neighbours on each side at most.
    ASSERT_NE(picker->viewForRow(0, 1), nullptr);
    EXPECT_EQ(picker->viewForRow(0, 1)->tag, 100);
    EXPECT_EQ(picker->viewForRow(0, 1)->frame(), Rect(100, 40, 100, 40));
    EXPECT_EQ(picker->viewForRow(1, 0)->frame(), Rect(0, 80, 100, 40));
    EXPECT_EQ(picker->viewForRow(5, 1), nullptr);
    int made = swatches.made;
    picker->setNeedsLayout();
    host->runUntilIdle();
    EXPECT_EQ(swatches.made, made);  // shown rows are reused
    picker->selectRow(5, 1, true);
    host->runUntilIdle();
    EXPECT_EQ(picker->viewForRow(5, 1)->frame(), Rect(100, 40, 100, 40));
    EXPECT_EQ(picker->viewForRow(0, 1), nullptr);
    auto gone = picker->removeFromSuperview();
}
