#include "screens/ScreenControls.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/ViewController.h"
#include "screens/ScreenLinks.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorView.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace ostrelo {

namespace {

using C = ScreenControls;
using L = ScreenLinks;

bool filled(const void* control) { return control != nullptr; }
bool filled(const std::weak_ptr<uikit::LayoutConstraint>& constraint) { return !constraint.expired(); }

// One outlet of a scene: its name, the member it fills, and whether the screen needs it.
struct Outlet {
    template <class T>
    Outlet(const char* outletName, T C::*slot)
        : name(outletName),
          declare([outletName, slot](uikit::ViewController& owner, C& controls) {
              owner.declareOutlet(outletName, controls.*slot);
          }),
          isFilled([slot](const C& controls) { return filled(controls.*slot); }) {}

    const char* name;
    std::function<void(uikit::ViewController&, C&)> declare;
    std::function<bool(const C&)> isFilled;
    bool needed = true;
};

// One role of the shared routines and the control that plays it.
struct Role {
    template <class T>
    Role(T* C::*slot, T* L::*role)
        : bind([slot, role](const C& controls, L& links) { links.*role = controls.*slot; }) {}

    std::function<void(const C&, L&)> bind;
};

// A kind's table: its outlets, their roles, the keys that show the "=" key's state beside it,
// and what is logged when its scene left a needed control unbound.
struct Table {
    std::vector<Outlet> outlets;
    std::vector<Role> roles;
    std::vector<CalculatorButton* C::*> equalStateMirrors;
    const char* unbound;
};

template <class T>
std::vector<T> join(std::initializer_list<std::vector<T>> parts) {
    std::vector<T> joined;
    for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// ---- Parts the kinds share --------------------------------------------------------------------

const std::vector<Outlet>& keypad() {
    static const std::vector<Outlet> outlets{
        {"ostreloView", &C::ostreloView},   {"primaryCalculatorLine", &C::primaryCalculatorLine},
        {"buttonPlusMinus", &C::buttonPlusMinus}, {"buttonClear", &C::buttonClear},
        {"buttonEqual", &C::buttonEqual},   {"buttonZero", &C::buttonZero},
        {"buttonOne", &C::buttonOne},       {"buttonTwo", &C::buttonTwo},
        {"buttonThree", &C::buttonThree},   {"buttonFour", &C::buttonFour},
        {"buttonFive", &C::buttonFive},     {"buttonSix", &C::buttonSix},
        {"buttonSeven", &C::buttonSeven},   {"buttonEight", &C::buttonEight},
        {"buttonNine", &C::buttonNine},
    };
    return outlets;
}

const std::vector<Role>& keypadRoles() {
    static const std::vector<Role> roles{{&C::ostreloView, &L::keypad},
                                         {&C::primaryCalculatorLine, &L::primaryLine},
                                         {&C::buttonEqual, &L::equalKey},
                                         {&C::buttonClear, &L::clearKey}};
    return roles;
}

// The app's and the widget's pad beyond the common keys.
const std::vector<Outlet>& appPad() {
    static const std::vector<Outlet> outlets{
        {"buttonsMemoryClear", &C::buttonsMemoryClear},
        {"buttonsMemoryAdd", &C::buttonsMemoryAdd},
        {"buttonMemoryRecall", &C::buttonMemoryRecall},
        {"buttonDecimalSeparator", &C::buttonDecimalSeparator},
        {"buttonDegRad", &C::buttonDegRad},
        {"buttonFunctions", &C::buttonFunctions},
        {"buttonParenthesisOpen", &C::buttonParenthesisOpen},
        {"buttonParenthesisClose", &C::buttonParenthesisClose},
        {"buttonsMultiply", &C::buttonsMultiply},
        {"buttonsDivide", &C::buttonsDivide},
        {"buttonsSubtract", &C::buttonsSubtract},
        {"buttonsAdd", &C::buttonsAdd},
        {"secondaryCalculatorLine", &C::secondaryCalculatorLine},
        {"labelConvert", &C::labelConvert},
    };
    return outlets;
}

const std::vector<Role>& appPadRoles() {
    static const std::vector<Role> roles{{&C::buttonFunctions, &L::functionKey},
                                         {&C::buttonMemoryRecall, &L::memoryRecallKey},
                                         {&C::buttonDecimalSeparator, &L::decimalSeparatorKey},
                                         {&C::buttonParenthesisOpen, &L::parenthesisOpenKey},
                                         {&C::buttonParenthesisClose, &L::parenthesisCloseKey},
                                         {&C::buttonDegRad, &L::degRadKey},
                                         {&C::secondaryCalculatorLine, &L::secondaryLine},
                                         {&C::labelConvert, &L::convertLabel}};
    return roles;
}

// The extensions' pads name their parenthesis and operator keys alike.
const std::vector<Outlet>& extensionPad() {
    static const std::vector<Outlet> outlets{
        {"buttonOpen", &C::buttonOpen},         {"buttonClose", &C::buttonClose},
        {"buttonMultiply", &C::buttonMultiply}, {"buttonDevide", &C::buttonDevide},
        {"buttonSubtract", &C::buttonSubtract}, {"buttonAdd", &C::buttonAdd},
    };
    return outlets;
}

// The wide extension pads (the expanded messages screen, the keyboard): memory keys and the
// scientific row.
const std::vector<Outlet>& scientificRow() {
    static const std::vector<Outlet> outlets{
        {"buttonMemoryClear", &C::buttonMemoryClear},
        {"buttonMemoryAdd", &C::buttonMemoryAdd},
        {"buttonMemorySubtract", &C::buttonMemorySubtract},
        {"buttonMemoryRecall", &C::buttonMemoryRecall},
        {"buttonSine", &C::buttonSine},
        {"buttonArcsine", &C::buttonArcsine},
        {"buttonCosine", &C::buttonCosine},
        {"buttonArccosine", &C::buttonArccosine},
        {"buttonTangent", &C::buttonTangent},
        {"buttonArctangent", &C::buttonArctangent},
        {"buttonLn", &C::buttonLn},
        {"buttonEuler", &C::buttonEuler},
        {"buttonSquare", &C::buttonSquare},
        {"buttonSquareroot", &C::buttonSquareroot},
        {"buttonInverse", &C::buttonInverse},
        {"buttonPi", &C::buttonPi},
        {"buttonFactorial", &C::buttonFactorial},
        {"buttonPercentage", &C::buttonPercentage},
    };
    return outlets;
}

// Only the named outlets are needed; the scene may leave the others out.
std::vector<Outlet> needing(std::vector<Outlet> outlets, std::initializer_list<std::string_view> needed) {
    for (Outlet& outlet : outlets)
        outlet.needed = std::find(needed.begin(), needed.end(), std::string_view(outlet.name)) != needed.end();
    return outlets;
}

// ---- The kinds --------------------------------------------------------------------------------

Table appTable() {
    return {join<Outlet>({keypad(), appPad(),
                          {{"convertFromPicker", &C::convertFromPicker},
                           {"convertToPicker", &C::convertToPicker},
                           {"scrollView", &C::scrollView}}}),
            join<Role>({keypadRoles(), appPadRoles(),
                        {{&C::convertFromPicker, &L::fromPicker}, {&C::convertToPicker, &L::toPicker}}}),
            {},
            "the calculator screen was loaded without its scene's controls"};
}

Table widgetTable() {
    return {join<Outlet>({keypad(), appPad(),
                          {{"labelHeight", &C::labelHeight}, {"convertFrom", &C::convertFrom},
                           {"convertTo", &C::convertTo}}}),
            join<Role>({keypadRoles(), appPadRoles(), {{&C::convertFrom, &L::fromKey}, {&C::convertTo, &L::toKey}}}),
            {},
            "the widget was loaded without its scene's controls"};
}

Table messagesCompactTable() {
    return {join<Outlet>({keypad(), extensionPad(),
                          {{"buttonDecimal", &C::buttonDecimal},
                           {"buttonSend", &C::buttonSend},
                           {"buttonConvert", &C::buttonConvert},
                           {"convertFrom", &C::convertFrom},
                           {"convertTo", &C::convertTo}}}),
            join<Role>({keypadRoles(),
                        {{&C::buttonDecimal, &L::decimalSeparatorKey},
                         {&C::buttonOpen, &L::parenthesisOpenKey},
                         {&C::buttonClose, &L::parenthesisCloseKey},
                         {&C::buttonSend, &L::sendKey},
                         {&C::convertFrom, &L::fromKey},
                         {&C::convertTo, &L::toKey}}}),
            {&C::buttonSend, &C::buttonConvert},
            "the compact calculator was loaded without its scene's controls"};
}

Table messagesExpandedTable() {
    return {join<Outlet>({keypad(), extensionPad(), scientificRow(),
                          {{"buttonRadiant", &C::buttonRadiant},
                           {"buttonDecimal", &C::buttonDecimal},
                           {"buttonFunctions", &C::buttonFunctions},
                           {"buttonConvertFrom", &C::buttonConvertFrom},
                           {"buttonConvertTo", &C::buttonConvertTo},
                           {"secondaryCalculatorLine", &C::secondaryCalculatorLine},
                           {"labelConvert", &C::labelConvert},
                           {"convertFromPicker", &C::convertFromPicker},
                           {"convertToPicker", &C::convertToPicker}}}),
            join<Role>({keypadRoles(),
                        {{&C::buttonMemoryRecall, &L::memoryRecallKey},
                         {&C::buttonFunctions, &L::functionKey},
                         {&C::buttonDecimal, &L::decimalSeparatorKey},
                         {&C::buttonOpen, &L::parenthesisOpenKey},
                         {&C::buttonClose, &L::parenthesisCloseKey},
                         {&C::buttonRadiant, &L::degRadKey},
                         {&C::secondaryCalculatorLine, &L::secondaryLine},
                         {&C::convertFromPicker, &L::fromPicker},
                         {&C::convertToPicker, &L::toPicker},
                         {&C::labelConvert, &L::convertLabel}}}),
            {},
            "the expanded calculator was loaded without its scene's controls"};
}

// The keyboard's nibs differ in their keys: the roles it works on are needed, the rest of the
// keys are found by their titles.
Table keyboardTable() {
    return {needing(join<Outlet>({keypad(), extensionPad(), scientificRow(),
                                  {{"buttonDegRad", &C::buttonDegRad},
                                   {"buttonDecimalSeparator", &C::buttonDecimalSeparator},
                                   {"convertFrom", &C::convertFrom},
                                   {"convertTo", &C::convertTo},
                                   {"buttonConvert", &C::buttonConvert},
                                   {"buttonConvertTo", &C::buttonConvertTo},
                                   {"buttonSend", &C::buttonSend},
                                   {"nextKeyboardButton", &C::nextKeyboardButton},
                                   {"buttonSpace", &C::buttonSpace},
                                   {"buttonBackSpace", &C::buttonBackSpace},
                                   {"buttonReturn", &C::buttonReturn}}}),
                    {"ostreloView", "primaryCalculatorLine", "convertFrom", "convertTo", "buttonSend", "buttonBackSpace",
                     "buttonEqual", "buttonClear", "buttonDegRad", "buttonMemoryRecall", "buttonDecimalSeparator",
                     "nextKeyboardButton"}),
            join<Role>({keypadRoles(),
                        {{&C::buttonMemoryRecall, &L::memoryRecallKey},
                         {&C::buttonDecimalSeparator, &L::decimalSeparatorKey},
                         {&C::buttonDegRad, &L::degRadKey},
                         {&C::buttonSend, &L::sendKey},
                         {&C::convertFrom, &L::fromKey},
                         {&C::convertTo, &L::toKey}}}),
            {&C::buttonSend},
            "the keyboard was loaded without its nib's controls"};
}

const Table& tableOf(ScreenControls::Kind kind) {
    static const Table tables[] = {appTable(), widgetTable(), messagesCompactTable(), messagesExpandedTable(),
                                   keyboardTable()};
    return tables[static_cast<int>(kind)];
}

}  // namespace

void ScreenControls::declare(uikit::ViewController& owner) {
    for (const Outlet& outlet : tableOf(kind_).outlets) outlet.declare(owner, *this);
}

bool ScreenControls::bind(ScreenLinks& links, CalculatorViewTouchDelegate& screen) const {
    const Table& table = tableOf(kind_);
    const auto unbound = [this](const Outlet& outlet) { return outlet.needed && !outlet.isFilled(*this); };
    if (std::any_of(table.outlets.begin(), table.outlets.end(), unbound)) {
        foundation::Log::error(table.unbound);
        return false;
    }
    for (const Role& role : table.roles) role.bind(*this, links);
    links.equalStateMirrors.clear();
    for (CalculatorButton* C::*mirror : table.equalStateMirrors) links.equalStateMirrors.push_back(this->*mirror);
    ostreloView->setDelegate(&screen, links.guard);
    return true;
}

}  // namespace ostrelo
