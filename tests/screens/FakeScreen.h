#pragma once

#include "app/core/CalculatorScreen.h"
#include "app/core/KeyHandler.h"
#include "app/core/KeyTitle.h"
#include "app/core/ScreenProfiles.h"
#include "engine/Calculator.h"
#include "platform/uikit/ViewController.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"

#include <memory>
#include <string>
#include <vector>

namespace screentest {

// A calculator screen without a window: real keys, lines and calculator, its role keys in a
// keypad, and every hook call recorded. The keypad layouts retitle the keys as a screen does;
// `compactPortrait` answers the size-class condition.
class FakeScreen : public ostrelo::CalculatorScreen {
public:
    explicit FakeScreen(const ostrelo::ScreenProfile& profile = ostrelo::ScreenProfiles::main()) {
        links_.calculator = &calculator;
        links_.enableClickSound = &click;
        links_.pulse = pulse.get();
        links_.controller = &controller;
        links_.keypad = &keypad;
        links_.equalKey = addKey("=");
        links_.functionKey = addKey("ƒ(x)");
        links_.clearKey = addKey("AC");
        links_.memoryRecallKey = addKey("MR");
        links_.decimalSeparatorKey = addKey(".");
        links_.parenthesisOpenKey = addKey("(");
        links_.parenthesisCloseKey = addKey(")");
        links_.degRadKey = addKey("deg");
        links_.primaryLine = &primary;
        links_.secondaryLine = &secondary;
        links_.profile = &profile;
        links_.guard = lifetime_.weak();
    }

    const ostrelo::ScreenLinks& links() const override { return links_; }
    bool allows(ostrelo::LongPressRow::Condition condition) override {
        return condition == ostrelo::LongPressRow::Condition::none || compactPortrait;
    }
    void longPressFeedback(ostrelo::CalculatorButton& key) override { hooks.push_back("pulse " + key.normalTitle()); }
    void showKeypad(bool currency) override {
        hooks.push_back(currency ? "currency keypad" : "standard keypad");
        ostrelo::KeyTitle::set(links_.functionKey, currency ? "⏎" : "ƒ(x)");
        if (currency) ostrelo::KeyTitle::set(links_.equalKey, compactPortrait ? "⇨" : "=");
    }
    void openPanel(ostrelo::ScreenPanel panel) override { hooks.push_back("panel " + std::to_string(static_cast<int>(panel))); }

    // A short press of a key with this caption (the role key when the screen has one).
    void press(const std::string& caption) { ostrelo::KeyHandler{*this}.handle(key(caption), false, ""); }
    void hold(const std::string& caption) { ostrelo::KeyHandler{*this}.handle(key(caption), true, ""); }
    void type(const std::vector<std::string>& captions) {
        for (const auto& caption : captions) press(caption);
    }
    std::string equalTitle() const { return links_.equalKey->normalTitle(); }

    ostrelo::Calculator calculator;
    bool click = false;
    bool compactPortrait = true;
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

    ostrelo::ScreenLinks links_;
    std::vector<std::unique_ptr<ostrelo::CalculatorButton>> loose_;
    foundation::Lifetime lifetime_;
};

}  // namespace screentest
