#include "tools/script/main/WidgetScreens.h"

#include "engine/ExchangeRateFeed.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/PanelHost.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Window.h"
#include "today/TodayStartup.h"
#include "today/TodayViewController.h"
#include "tools/script/ScriptCommands.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"

#include <cmath>
#include <memory>

namespace script {

namespace {

using Session = ScriptSession;
using ostrelo::TodayViewController;
constexpr auto many = ScriptCommand::manyWords;
// How finely `tap outside` searches the background for a place no overlay view covers.
constexpr double searchStep = 2;

host::PanelHostController* panelOf(Session& s) { return host::PanelHost::controller(s.host().window()); }

TodayViewController* widgetOf(Session& s) {
    host::PanelHostController* panel = panelOf(s);
    return panel != nullptr ? dynamic_cast<TodayViewController*>(panel->widget()) : nullptr;
}

std::optional<int> modeNamed(const std::string& name) {
    if (name == "compact") return uikit::WidgetDisplayModeCompact;
    if (name == "expanded") return uikit::WidgetDisplayModeExpanded;
    return std::nullopt;
}

std::string sizeText(uikit::Size size) { return numberText(size.width) + " " + numberText(size.height); }

// panel compact|expanded [W H]
ScriptCommand panel(std::shared_ptr<host::PanelHostController::Options> options) {
    return {"panel", Phase::any, 1, 3, "panel compact|expanded [W H]", [options](Session& s, const ScriptLine& line) {
                const auto mode = modeNamed(line.words[0].text);
                std::optional<double> width, height;
                if (line.words.size() == 3) {
                    width = parseNumber(line.words[1].text);
                    height = parseNumber(line.words[2].text);
                }
                if (!mode || line.words.size() == 2 || (line.words.size() == 3 && (!width || !height || *width <= 0 || *height <= 0)))
                    return s.stop(line, "usage: panel compact|expanded [W H]");
                if (!s.started()) {
                    if (!width) return s.stop(line, "before start, panel sets a mode's maximum size: panel " + line.words[0].text + " W H");
                    (*mode == uikit::WidgetDisplayModeExpanded ? options->expandedMaximum : options->compactMaximum) = {*width, *height};
                    return true;
                }
                host::PanelHostController* panel = panelOf(s);
                if (panel == nullptr) return s.stop(line, "there is no panel");
                if (width) panel->setMaximumSize(*mode, {*width, *height});
                if (panel->widgetActiveDisplayMode() != *mode) panel->toggleDisplayMode();
                s.host().runUntilIdle();
                if (panel->widgetActiveDisplayMode() != *mode) return s.stop(line, "the widget does not offer the " + line.words[0].text + " mode");
                return true;
            }};
}

// The first place of the background button, from its lower left on, that a touch reaches.
std::optional<uikit::Point> uncoveredPlace(Session& s, uikit::Button& background) {
    const uikit::Rect area = s.finder().visibleRect(background);
    for (double y = area.maxY() - searchStep / 2; y > area.minY(); y -= searchStep)
        for (double x = area.minX() + searchStep / 2; x < area.maxX(); x += searchStep)
            if (s.host().window().hitTest({x, y}, nullptr) == &background) return uikit::Point{x, y};
    return std::nullopt;
}

// tap CAPTION... | tap display ROLE | tap outside
ScriptCommand tap() {
    ScriptCommand command = *findCommand(commonCommands(), "tap");
    command.usage = "tap CAPTION... | tap display primary|secondary | tap outside";
    command.run = [common = command.run](Session& s, const ScriptLine& line) {
        if (line.words.size() != 1 || line.words[0].quoted || line.words[0].text != "outside") return common(s, line);
        TodayViewController* widget = widgetOf(s);
        uikit::Button* background = widget != nullptr ? widget->functionBackgroundButton() : nullptr;
        if (background == nullptr || background->window() == nullptr) return s.stop(line, "no overlay is open");
        auto place = uncoveredPlace(s, *background);
        if (!place) return s.stop(line, "the overlay covers all of its background");
        s.host().tap(*place);
        return true;
    };
    return command;
}

bool size(Session& s, const ScriptLine& line) {
    auto width = parseNumber(line.words[0].text), height = parseNumber(line.words[1].text);
    if (!width || !height) return s.stop(line, "usage: expect size W H");
    host::PanelHostController* panel = panelOf(s);
    if (panel == nullptr) return s.stop(line, "there is no panel");
    const std::string got = sizeText(panel->widgetSize());
    if (got != sizeText({*width, *height})) s.fail(line, "expected size " + sizeText({*width, *height}) + " got " + got);
    return true;
}

// expect updates N [RESULT...]
bool updates(Session& s, const ScriptLine& line) {
    host::PanelHostController* panel = panelOf(s);
    if (panel == nullptr) return s.stop(line, "there is no panel");
    std::string expected, got = std::to_string(panel->updateRequests());
    for (const auto& word : line.words) expected += (expected.empty() ? "" : " ") + word.text;
    for (int result : panel->updateResults()) got += " " + std::to_string(result);
    if (expected != got) s.fail(line, "expected updates " + expected + " got " + got);
    return true;
}

bool labelHeight(Session& s, const ScriptLine& line) {
    auto expected = parseNumber(line.words[0].text);
    if (!expected) return s.stop(line, "usage: expect labelHeight NUMBER");
    TodayViewController* widget = widgetOf(s);
    auto constraint = widget != nullptr ? widget->controls().labelHeight.lock() : nullptr;
    if (constraint == nullptr) return s.stop(line, "the widget has no display height");
    if (std::abs(constraint->constant() - *expected) > 1e-9)
        s.fail(line, "expected labelHeight " + line.words[0].text + " got " + numberText(constraint->constant()));
    return true;
}

// The views the root view holds beside the display and the keypad.
int viewsOverThePad(TodayViewController& widget) {
    int count = 0;
    for (const auto& view : widget.view()->subviews())
        if (view.get() != widget.controls().ostreloView &&
            !widget.controls().primaryCalculatorLine->isDescendantOf(view.get()))
            ++count;
    return count;
}

// The text the open memory overlay shows.
std::string memoryText(TodayViewController& widget) {
    if (widget.functionView() == nullptr || widget.functionView()->subviews().empty()) return "";
    auto* label = dynamic_cast<uikit::Label*>(widget.functionView()->subviews().front().get());
    return label != nullptr ? label->text() : "";
}

// expect overlay none|functions|memory ["TEXT"]
bool overlay(Session& s, const ScriptLine& line) {
    const std::string& expected = line.words[0].text;
    if ((expected != "none" && expected != "functions" && expected != "memory") ||
        (line.words.size() == 2 && expected != "memory"))
        return s.stop(line, "usage: expect overlay none|functions|memory [\"TEXT\"]");
    TodayViewController* widget = widgetOf(s);
    if (widget == nullptr) return s.stop(line, "there is no widget");
    std::string open = widget->showFunctionsPopup() ? "functions" : "";
    if (widget->showMemoryPopup()) open += open.empty() ? "memory" : "+memory";
    if (open.empty()) open = "none";
    const int views = viewsOverThePad(*widget);
    const int expectedViews = expected == "none" ? 0 : 3;
    if (open != expected || views != expectedViews)
        s.fail(line, "expected overlay " + expected + " (" + std::to_string(expectedViews) + " views over the pad) got " +
                         open + " (" + std::to_string(views) + ")");
    else if (line.words.size() == 2 && memoryText(*widget) != line.words[1].text)
        s.fail(line, "expected memory overlay " + inQuotes(line.words[1].text) + " got " + inQuotes(memoryText(*widget)));
    return true;
}

ScreenDefinition widgetScreen(const std::string& name, bool expanded) {
    auto options = std::make_shared<host::PanelHostController::Options>();
    ScreenDefinition screen;
    screen.name = name;
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}};
    screen.start = [options, expanded](host::HeadlessHost& host, const std::vector<std::string>&,
                                       ScreenDefinition::KeepAlive&, std::string& error) {
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        host::PanelHostController* panel = host::PanelHost::launch(host, ostrelo::TodayStartup::factory(), *options);
        if (panel == nullptr || dynamic_cast<TodayViewController*>(panel->widget()) == nullptr) {
            error = "the panel shows no widget";
            return false;
        }
        if (expanded) panel->toggleDisplayMode();
        host.runUntilIdle();
        return true;
    };
    screen.commands = {panel(options), tap()};
    screen.expectations = {
        {"size", Phase::running, 2, 2, "expect size W H", size},
        {"updates", Phase::running, 1, many, "expect updates N [RESULT...]", updates},
        {"labelHeight", Phase::running, 1, 1, "expect labelHeight NUMBER", labelHeight},
        {"overlay", Phase::running, 1, 2, "expect overlay none|functions|memory [\"TEXT\"]", overlay},
    };
    return screen;
}

}  // namespace

std::vector<ScreenDefinition> WidgetScreens::definitions() {
    return {widgetScreen("widget-compact", false), widgetScreen("widget-expanded", true)};
}

}  // namespace script
