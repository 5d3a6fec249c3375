#include "platform/uikit/Pasteboard.h"

namespace uikit {

Pasteboard& Pasteboard::general() {
    static Pasteboard pasteboard;
    return pasteboard;
}

std::optional<std::string> Pasteboard::string() const { return storage_ ? storage_->read() : string_; }

void Pasteboard::setString(const std::string& text) {
    if (storage_) storage_->write(text);
    else string_ = text;
    if (recording_) writes_.push_back(text);
}

void Pasteboard::recordWrites(bool on) {
    recording_ = on;
    if (!on) std::vector<std::string>().swap(writes_);
}

void Pasteboard::prepare(const std::function<void()>& ready) {
    if (storage_) storage_->prepare(ready);
    else ready();
}

std::optional<std::string> Pasteboard::takeFailure() { return storage_ ? storage_->takeFailure() : std::nullopt; }

void Pasteboard::setStorage(std::unique_ptr<PasteboardStorage> storage) { storage_ = std::move(storage); }

void Pasteboard::clear() {
    string_.reset();
    writes_.clear();
}

}  // namespace uikit
