#include "platform/host/KeyboardInput.h"

namespace host {

namespace {

bool isControlCharacter(const std::string& characters) { return characters == "\r" || characters == "\b"; }

}  // namespace

KeyboardInput::Result KeyboardInput::translate(const KeyDown& down) {
    Result result;
    if (down.repeat) return result;
    if (down.control && !down.alternate && down.unmodified == "r") {
        result.action = Action::rotate;
        return result;
    }
    result.action = Action::press;
    uikit::Key& key = result.key;
    key.keyCode = down.usage;
    if (down.shift) key.modifierFlags |= uikit::KeyModifierShift;
    if (down.control) key.modifierFlags |= uikit::KeyModifierControl;
    if (down.alternate) key.modifierFlags |= uikit::KeyModifierAlternate;
    key.charactersIgnoringModifiers = down.unmodified;
    if (!down.control && !down.alternate)
        key.characters = !down.text.empty() ? down.text : isControlCharacter(down.unmodified) ? down.unmodified : "";
    return result;
}

}  // namespace host
