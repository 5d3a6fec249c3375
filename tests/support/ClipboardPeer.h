#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>

typedef struct _XDisplay Display;

namespace testsupport {

// Another program of the desktop that uses the clipboard, with a connection of its own to the
// test's X server and a thread that serves it until the object ends.
class ClipboardPeer {
public:
    enum class Role {
        // Copies `text`: owns CLIPBOARD and hands the text over whole.
        owner,
        // Copies `text` and hands it over in pieces (INCR) of one byte, one 0.1 s after the one
        // before was taken, looking at the reader's window meanwhile (drewWhileReading).
        slowOwner,
        // A clipboard manager: owns CLIPBOARD_MANAGER; asked to save the clipboard
        // (SAVE_TARGETS), it takes the owner's UTF8_STRING and serves it as the clipboard's owner.
        manager,
    };

    ClipboardPeer(const std::string& display, Role role, std::string text = {});
    ~ClipboardPeer();
    ClipboardPeer(const ClipboardPeer&) = delete;
    ClipboardPeer& operator=(const ClipboardPeer&) = delete;

    // Whether it owns its selection (once the server granted it).
    bool owning() const { return owning_; }
    // Whether an owner was asked for the text; whether a manager saved one.
    bool asked() const { return asked_; }
    // Whether a slow owner's reader drew its window anew (as when it answered a key) and then
    // took a piece more: it went on while reading. In the server's order, whatever the speed.
    bool drewWhileReading() const { return drewWhileReading_; }

    // The clipboard's UTF8_STRING as a program reads it; none without an owner or an answer
    // within a generous deadline.
    static std::optional<std::string> read(const std::string& display);
    // The pixels a window shows; empty when it cannot be read.
    static std::string pictureOf(Display* display, unsigned long window);

private:
    void serve(const std::string& display);

    Role role_;
    std::string text_;
    std::atomic<bool> owning_{false}, asked_{false}, drewWhileReading_{false}, stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
