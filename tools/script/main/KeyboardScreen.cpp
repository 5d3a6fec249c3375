#include "tools/script/main/KeyboardScreen.h"

#include "keyboard/KeyboardViewController.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/uikit/LayoutConstraint.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"

namespace script {

namespace {

using Session = ScriptSession;
using Mode = host::TextFieldHostController::InputMode;

host::TextFieldHostController& window(Session& s) { return *host::TextFieldHost::controller(s.host().window()); }

bool start(host::HeadlessHost& host, const std::vector<std::string>&, ScreenDefinition::KeepAlive&,
           std::string& error) {
    auto* field = host::TextFieldHost::launch(host, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
    if (field == nullptr || field->keyboard() == nullptr) {
        error = "the text field shows no keyboard";
        return false;
    }
    return true;
}

// field "TEXT": the app sets its field's text.
bool field(Session& s, const ScriptLine& line) {
    window(s).setFieldText(line.words[0].text);
    s.host().runUntilIdle();
    return true;
}

// globe: the host's keyboard switch (it works while a finger rests on a key).
bool globe(Session& s, const ScriptLine&) {
    window(s).tapGlobe();
    s.host().runUntilIdle();
    return true;
}

bool expectField(Session& s, const ScriptLine& line) {
    const std::string got = window(s).fieldText();
    if (got != line.words[0].text) s.fail(line, "expected field " + inQuotes(line.words[0].text) + " got " + inQuotes(got));
    return true;
}

// expect height H: the keyboard is docked H points high by one height constraint of its own,
// below the required priority.
bool expectHeight(Session& s, const ScriptLine& line) {
    auto expected = parseNumber(line.words[0].text);
    if (!expected) return s.stop(line, "usage: expect height POINTS");
    uikit::InputViewController* keyboard = window(s).keyboard();
    const uikit::View& input = *keyboard->inputView();
    std::string got = numberText(input.frame().height());
    int heights = 0;
    for (const auto& c : input.constraints()) {
        if (c->firstItem() != &input || c->hasSecondItem() || c->relation() != uikit::LayoutRelation::equal) continue;
        ++heights;
        if (c->constant() != *expected || c->priority != 990)
            got += ", a constraint of " + numberText(c->constant()) + " at priority " + numberText(c->priority);
    }
    if (heights != 1) got += ", " + std::to_string(heights) + " height constraints";
    if (got != numberText(*expected)) s.fail(line, "expected height " + numberText(*expected) + " got " + got);
    return true;
}

// expect input keyboard|system: which input mode the field is in.
bool expectInput(Session& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    if (name != "keyboard" && name != "system") return s.stop(line, "usage: expect input keyboard|system");
    const std::string got = window(s).inputMode() == Mode::keyboard ? "keyboard" : "system";
    if (got != name) s.fail(line, "expected input " + name + " got " + got);
    return true;
}

// expect switches N: the input-mode switches since start.
bool expectSwitches(Session& s, const ScriptLine& line) {
    const std::string got = std::to_string(window(s).inputModeSwitches().size());
    if (got != line.words[0].text) s.fail(line, "expected switches " + line.words[0].text + " got " + got);
    return true;
}

}  // namespace

ScreenDefinition KeyboardScreen::definition() {
    ScreenDefinition screen;
    screen.name = "keyboard";
    screen.start = start;
    screen.lines = {{"primary", "primaryCalculatorLine"}};
    screen.commands = {
        {"field", Phase::running, 1, 1, "field \"TEXT\"", field},
        {"globe", Phase::running, 0, 0, "globe", globe},
    };
    screen.expectations = {
        {"field", Phase::running, 1, 1, "expect field \"TEXT\"", expectField},
        {"height", Phase::running, 1, 1, "expect height POINTS", expectHeight},
        {"input", Phase::running, 1, 1, "expect input keyboard|system", expectInput},
        {"switches", Phase::running, 1, 1, "expect switches N", expectSwitches},
    };
    return screen;
}

}  // namespace script
