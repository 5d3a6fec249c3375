#pragma once

#include "platform/foundation/Notification.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace foundation {

// Block observers by name (and optionally by posting object). addObserver returns a token; the
// observation lasts while the token is held and until removeObserver. A dropped token ends the
// observation, so an observer that owns its token is never called after it is gone.
// Posting on the main thread calls the blocks at once; posting from another thread hands the
// delivery to the main run loop.
class NotificationCenter {
public:
    using Block = std::function<void(const Notification&)>;
    struct Observation;
    using Token = std::shared_ptr<Observation>;

    static NotificationCenter& defaultCenter();

    Token addObserver(const std::string& name, const void* object, Block block);
    void removeObserver(const Token& token);
    void post(const std::string& name, const void* object = nullptr,
              std::map<std::string, std::string> userInfo = {});
    void post(const Notification& notification);
    std::size_t observerCount(const std::string& name) const;

    // Marks the calling thread as the main thread (done once at start-up and by hosts).
    static void setMainThread();

private:
    void deliver(const Notification& notification);

    mutable std::mutex mutex_;
    std::vector<std::weak_ptr<Observation>> observers_;
};

struct NotificationCenter::Observation {
    std::string name;
    const void* object = nullptr;
    Block block;
    bool removed = false;
};

}  // namespace foundation
