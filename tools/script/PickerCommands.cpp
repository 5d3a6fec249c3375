// The currency pickers as a person uses them: a tap on the row below or above the selected one
// moves the choice by one row, a finger rests on the selected row to hold it, and the code in
// the middle is what the picker shows.
#include "tools/script/PickerCommands.h"

#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/PickerView.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"

namespace script {

namespace {

using Session = ScriptSession;
constexpr double defaultHoldSeconds = 1.5;
// Where a tap lands on a neighbouring row, in rows from the middle.
constexpr double neighbourRow = 0.7;

// The picker a side names, when it is on screen; else the script stops.
uikit::PickerView* pickerOf(Session& s, const ScriptLine& line, const std::string& side) {
    if (side != "from" && side != "to") {
        s.stop(line, "a picker is from or to, not " + inQuotes(side));
        return nullptr;
    }
    auto* picker = dynamic_cast<uikit::PickerView*>(s.finder().outlet(side == "from" ? "convertFromPicker" : "convertToPicker"));
    if (picker == nullptr) s.stop(line, "the screen has no " + side + "-picker");
    return picker;
}

// The text of the row shown in the picker's middle ("" when none shows).
std::string shownCode(const uikit::PickerView& picker) {
    const auto* label = dynamic_cast<const uikit::Label*>(picker.viewForRow(picker.selectedRowInComponent(0), 0));
    return label != nullptr ? label->text() : "";
}

// A tap on the row after (+1) or before (−1) the selected one.
void tapNeighbour(Session& s, uikit::PickerView& picker, int direction) {
    const uikit::View* row = picker.viewForRow(picker.selectedRowInComponent(0), 0);
    const double height = row != nullptr ? row->frame().height() : picker.bounds().height() / 2;
    const uikit::Rect b = picker.bounds();
    s.host().tap(picker.convertPoint({b.midX(), b.midY() + direction * neighbourRow * height}, nullptr));
}

// pick from|to CODE: row by row, onwards first, then back, until the middle row reads CODE.
bool pick(Session& s, const ScriptLine& line) {
    uikit::PickerView* picker = pickerOf(s, line, line.words[0].text);
    if (picker == nullptr) return false;
    if (!s.finder().shown(*picker)) return s.stop(line, "the " + line.words[0].text + "-picker is not shown");
    const std::string& code = line.words[1].text;
    for (int direction : {1, -1}) {
        while (shownCode(*picker) != code) {
            const int before = picker->selectedRowInComponent(0);
            tapNeighbour(s, *picker, direction);
            if (picker->selectedRowInComponent(0) == before) break;  // the last row in this direction
        }
        if (shownCode(*picker) == code) return true;
    }
    return s.stop(line, "no row of the " + line.words[0].text + "-picker reads " + inQuotes(code));
}

// hold-picker from [SECONDS]: a finger on the selected row for SECONDS, then lifted.
bool holdPicker(Session& s, const ScriptLine& line) {
    uikit::PickerView* picker = pickerOf(s, line, line.words[0].text);
    if (picker == nullptr) return false;
    double seconds = defaultHoldSeconds;
    if (line.words.size() == 2) {
        auto number = parseNumber(line.words[1].text);
        if (!number || *number < 0) return s.stop(line, "usage: hold-picker from|to [SECONDS]");
        seconds = *number;
    }
    if (!s.finder().shown(*picker)) return s.stop(line, "the " + line.words[0].text + "-picker is not shown");
    const uikit::Point point = s.finder().touchPoint(*picker);
    s.host().hold(point, seconds);
    s.host().touchUp(point);
    return true;
}

// expect picker from|to "CODE" [ROWS]
bool expectPicker(Session& s, const ScriptLine& line) {
    uikit::PickerView* picker = pickerOf(s, line, line.words[0].text);
    if (picker == nullptr) return false;
    const std::string what = line.words[0].text + "-picker ";
    std::string expected = inQuotes(line.words[1].text);
    std::string got = inQuotes(shownCode(*picker));
    if (line.words.size() == 3) {
        expected += " of " + line.words[2].text + " rows";
        got += " of " + std::to_string(picker->numberOfRowsInComponent(0)) + " rows";
    }
    if (expected != got) s.fail(line, "expected " + what + expected + " got " + got);
    return true;
}

}  // namespace

const ScriptCommands& pickerCommands() {
    static const ScriptCommands commands = {
        {"pick", Phase::running, 2, 2, "pick from|to CODE", pick},
        {"hold-picker", Phase::running, 1, 2, "hold-picker from|to [SECONDS]", holdPicker},
    };
    return commands;
}

const ScriptCommands& pickerExpectations() {
    static const ScriptCommands expectations = {
        {"picker", Phase::running, 2, 3, "expect picker from|to \"CODE\" [ROWS]", expectPicker},
    };
    return expectations;
}

}  // namespace script
