#include "platform/foundation/NotificationCenter.h"

#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <thread>

namespace foundation {

namespace {
std::thread::id& mainThreadId() {
    static std::thread::id id = std::this_thread::get_id();
    return id;
}
}  // namespace

void NotificationCenter::setMainThread() { mainThreadId() = std::this_thread::get_id(); }

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    mainThreadId();
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, const void* object, Block block) {
    auto token = std::make_shared<Observation>();
    token->name = name;
    token->object = object;
    token->block = std::move(block);
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [](const auto& weak) { return weak.expired(); });
    observers_.push_back(token);
    return token;
}

void NotificationCenter::removeObserver(const Token& token) {
    if (!token) return;
    std::lock_guard lock(mutex_);
    token->removed = true;
    std::erase_if(observers_, [&](const auto& weak) {
        auto strong = weak.lock();
        return !strong || strong == token;
    });
}

void NotificationCenter::post(const std::string& name, const void* object, std::map<std::string, std::string> userInfo) {
    post(Notification{name, object, std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification) {
    if (std::this_thread::get_id() != mainThreadId()) {
        RunLoop::main().post([this, notification] { deliver(notification); });
        return;
    }
    deliver(notification);
}

void NotificationCenter::deliver(const Notification& notification) {
    std::vector<Token> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& weak : observers_) {
            auto strong = weak.lock();
            if (!strong || strong->removed || strong->name != notification.name) continue;
            if (strong->object != nullptr && strong->object != notification.object) continue;
            matching.push_back(strong);
        }
    }
    for (const auto& observation : matching) {
        // An observer removed by an earlier block of this post is not called.
        if (observation->removed || observation.use_count() <= 1) continue;
        if (observation->block) observation->block(notification);
    }
}

std::size_t NotificationCenter::observerCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(observers_.begin(), observers_.end(), [&](const auto& weak) {
        auto strong = weak.lock();
        return strong && !strong->removed && strong->name == name;
    }));
}

}  // namespace foundation
