#pragma once

#include "engine/Calculator.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/KeyHandler.h"
#include "screens/KeyTitle.h"
#include "screens/ScreenProfiles.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace screentest {

// The five calculator screens, by the controls they have.
enum class Screen { main, messagesExpanded, messagesCollapsed, widget, keyboard };

inline const char* nameOf(Screen screen) {
    static const char* const names[] = {"main", "messages expanded", "messages collapsed", "widget", "keyboard"};
    return names[static_cast<int>(screen)];
}

// A calculator screen without a window: real keys, lines and calculator, the role keys of the
// screen it plays in a keypad, and every hook call recorded. The keypad layouts retitle the
// keys as a screen does; `compactPortrait` answers the size-class condition, `overlayOpen` the
// function overlay's.
class FakeScreen : public ostrelo::CalculatorScreen {
public:
    explicit FakeScreen(Screen screen = Screen::main) : screen_(screen) {
        links_.calculator = &calculator;
        links_.enableClickSound = &click;
        links_.pulse = pulse.get();
        links_.controller = &controller;
        links_.keypad = &keypad;
        links_.profile = &profileOf(screen);
        links_.guard = lifetime_.weak();
        links_.primaryLine = &primary;
        links_.equalKey = addKey("=");
        links_.clearKey = addKey("AC");
        links_.decimalSeparatorKey = addKey(".");
        const bool collapsed = screen == Screen::messagesCollapsed;
        const bool sends = collapsed || screen == Screen::keyboard;
        if (!sends) {
            links_.secondaryLine = &secondary;
            links_.functionKey = addKey("ƒ(x)");
        }
        if (!collapsed) {
            links_.memoryRecallKey = addKey("MR");
            links_.degRadKey = addKey("deg");
        }
        if (screen != Screen::keyboard) {
            links_.parenthesisOpenKey = addKey("(");
            links_.parenthesisCloseKey = addKey(")");
        }
        if (sends) {
            links_.sendKey = addKey("✅");
            links_.equalStateMirrors.push_back(links_.sendKey);
            if (collapsed) links_.equalStateMirrors.push_back(addKey("⇨"));
        }
        if (sends || screen == Screen::widget) {
            links_.fromKey = addKey("USD");
            links_.fromKey->tag = 1;
            links_.toKey = addKey("EUR");
            links_.toKey->tag = 2;
        }
    }

    static const ostrelo::ScreenProfile& profileOf(Screen screen) {
        using ostrelo::ScreenProfiles;
        switch (screen) {
            case Screen::main: return ScreenProfiles::main();
            case Screen::messagesExpanded: return ScreenProfiles::messagesExpanded();
            case Screen::messagesCollapsed: return ScreenProfiles::messagesCollapsed();
            case Screen::widget: return ScreenProfiles::widget();
            case Screen::keyboard: return ScreenProfiles::keyboard();
        }
        return ScreenProfiles::main();
    }

    const ostrelo::ScreenLinks& links() const override { return links_; }
    bool allows(ostrelo::LongPressRow::Condition condition) override {
        using Condition = ostrelo::LongPressRow::Condition;
        if (condition == Condition::compactWidthRegularHeight) return compactPortrait;
        if (condition == Condition::functionOverlayClosed) return !overlayOpen;
        return true;
    }
    void longPressFeedback(ostrelo::CalculatorButton& key) override { hooks.push_back("pulse " + key.normalTitle()); }
    void showKeypad(bool currency) override {
        hooks.push_back(currency ? "currency keypad" : "standard keypad");
        ostrelo::KeyTitle::set(links_.functionKey, currency ? "⏎" : "ƒ(x)");
        if (currency) ostrelo::KeyTitle::set(links_.equalKey, compactPortrait ? "⇨" : "=");
    }
    // The pads that send have no secondary screens.
    void openPanel(ostrelo::ScreenPanel panel) override {
        if (links_.sendKey == nullptr) hooks.push_back("panel " + std::to_string(static_cast<int>(panel)));
    }
    void deliver(const std::string& text) override { hooks.push_back("deliver " + text); }

    // A short press of a key with this caption (the role key when the screen has one).
    void press(const std::string& caption) { ostrelo::KeyHandler{*this}.handle(key(caption), false, ""); }
    void hold(const std::string& caption) { ostrelo::KeyHandler{*this}.handle(key(caption), true, ""); }
    // Keys in turn; "%%" holds "%", "✅✅" holds "✅".
    void type(const std::vector<std::string>& captions) {
        for (const auto& caption : captions) {
            if (caption == "%%") hold("%");
            else if (caption == "✅✅") hold("✅");
            else press(caption);
        }
    }
    std::string equalTitle() const { return links_.equalKey->normalTitle(); }
    Screen screen() const { return screen_; }

    // Replaced in place, as the app's screen replaces its calculator.
    std::optional<ostrelo::Calculator> calculatorSlot{std::in_place};
    ostrelo::Calculator& calculator = *calculatorSlot;
    bool click = false;
    bool compactPortrait = true;
    bool overlayOpen = false;
    std::shared_ptr<ostrelo::PulseLayer> pulse = ostrelo::PulseLayer::make();
    uikit::ViewController controller;
    ostrelo::CalculatorView keypad;
    ostrelo::CalculatorCalcLabel primary;
    ostrelo::CalculatorCalcLabel secondary;
    std::vector<std::string> hooks;

private:
    ostrelo::CalculatorButton* addKey(const std::string& title) {
        auto key = std::make_unique<ostrelo::CalculatorButton>(uikit::Rect(0, 0, 60, 60));
        key->setTitle(title, uikit::ControlStateNormal);
        return keypad.add(std::move(key));
    }
    // A role key whose title matches, else a key of its own with that caption.
    ostrelo::CalculatorButton* key(const std::string& caption) {
        for (const auto& view : keypad.subviews())
            if (auto* button = dynamic_cast<ostrelo::CalculatorButton*>(view.get()); button && button->normalTitle() == caption)
                return button;
        auto loose = std::make_unique<ostrelo::CalculatorButton>();
        loose->setTitle(caption, uikit::ControlStateNormal);
        loose_.push_back(std::move(loose));
        return loose_.back().get();
    }

    Screen screen_;
    ostrelo::ScreenLinks links_;
    std::vector<std::unique_ptr<ostrelo::CalculatorButton>> loose_;
    foundation::Lifetime lifetime_;
};

}  // namespace screentest
