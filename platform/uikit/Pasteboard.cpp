#include "platform/uikit/Pasteboard.h"

namespace uikit {

Pasteboard& Pasteboard::general() {
    static Pasteboard pasteboard;
    return pasteboard;
}

void Pasteboard::setString(const std::string& text) {
    string_ = text;
    writes_.push_back(text);
}

void Pasteboard::clear() {
    string_.reset();
    writes_.clear();
}

}  // namespace uikit
