#pragma once

#include "app/ViewControllerDelegate.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/ViewController.h"

namespace uikit {
class Label;
class Switch;
class View;
}  // namespace uikit

namespace ostrelo {

// The Settings popover: eight switches, each written to the suite at once and applied to the
// presenting screen, the date of the stored rates, the own currency, the version and the notice,
// and a button to the app's page of the system settings. It closes, restoring the dimmed
// controls, when the app returns to the foreground and when the screen's size changes after it
// appeared; whichever way it closes, the presenting screen's display is refreshed (the
// degree/radian key shows its title again).
class ViewControllerSettings : public uikit::ViewController {
public:
    ViewControllerSettings();

    // The presenting screen; not owned, read as none once `guard` has expired.
    ViewControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(ViewControllerDelegate* delegate, std::weak_ptr<void> guard) {
        delegate_ = {delegate, std::move(guard)};
    }

    uikit::Switch* switchStatusBar = nullptr;
    uikit::Switch* switchScientific = nullptr;
    uikit::Switch* switchParenthesis = nullptr;
    uikit::Switch* switchDarkTheme = nullptr;
    uikit::Switch* switchSound = nullptr;
    uikit::Switch* switchReset = nullptr;
    uikit::Switch* switchRemember = nullptr;
    uikit::Switch* switchPercent = nullptr;
    uikit::Label* lableCurrencies = nullptr;
    uikit::Label* lableVersion = nullptr;
    uikit::Label* lableCopyright = nullptr;
    uikit::Label* lableCopyrightBig = nullptr;
    uikit::Label* labelOwnCurrency = nullptr;
    uikit::View* viewSettings = nullptr;
    bool shown = false;
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    bool prefersStatusBarHidden() override;
    int preferredStatusBarStyle() override;

    void switchStatusBarChanged(uikit::Switch& sender);
    void switchScientificChanged(uikit::Switch& sender);
    void switchParenthesisChanged(uikit::Switch& sender);
    void switchDarkThemeChanged(uikit::Switch& sender);
    void switchSoundChanged(uikit::Switch& sender);
    void switchPercentChanged(uikit::Switch& sender);
    void switchRememberChanged(uikit::Switch& sender);
    void switchResetChanged(uikit::Switch& sender);
    void callSettings();

    // The notice's name and the shorter form the short notice line shows instead.
    static constexpr const char* noticeName = "European Central Bank";
    static constexpr const char* noticeShortName = "ECB";

private:
    void declareOutlets();
    void declareActions();
    void showSettings();
    void applySettingsTheme();
    void dismissSettingsScreen();
    void restoreMainScreen();

    foundation::WeakLink<ViewControllerDelegate> delegate_;
    // Declared last: expires first.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
