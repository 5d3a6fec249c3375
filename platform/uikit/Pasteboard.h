#pragma once

#include "platform/uikit/PasteboardStorage.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

// The general pasteboard: one string, kept by the storage the host installed (the desktop
// clipboard, a file shared by processes) or, without one, in the process. A host that asks
// for it gets a record of every write (a window asks for none: each "=" copies its result,
// and the record would grow for as long as the window is open).
class Pasteboard {
public:
    static Pasteboard& general();

    std::optional<std::string> string() const;
    void setString(const std::string& text);
    const std::vector<std::string>& writes() const { return writes_; }
    // Starts (or stops and forgets) the record of writes.
    void recordWrites(bool on);
    // Gets the storage's text ready for the reads `ready` makes (PasteboardStorage::prepare);
    // at once without a storage.
    void prepare(const std::function<void()>& ready);
    // Why a read or write since the last call did not reach the storage's text (a desktop
    // clipboard another program holds on to, one that never hands its text over); none when all
    // did.
    std::optional<std::string> takeFailure();
    // Installs the host's storage; null keeps the text in the process again.
    void setStorage(std::unique_ptr<PasteboardStorage> storage);
    // Forgets the text kept in the process and the record of writes (an installed storage
    // keeps its text).
    void clear();

private:
    std::unique_ptr<PasteboardStorage> storage_;
    std::optional<std::string> string_;
    std::vector<std::string> writes_;
    bool recording_ = false;
};

}  // namespace uikit
