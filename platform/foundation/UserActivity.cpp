#include "platform/foundation/UserActivity.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PrivateFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <sstream>
#include <thread>
#include <vector>

namespace foundation {

namespace {
// One field per line: backslashes and line breaks escaped.
std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::optional<std::string> unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\') out += '\\';
        else if (text[i] == 'n') out += '\n';
        else if (text[i] == 'r') out += '\r';
        else return std::nullopt;
    }
    return out;
}

constexpr const char* header = "ostrelo-activity 1";

// Writes `content` whole: into a file of its own beside `target`, then moved into place.
bool storeFile(const std::filesystem::path& target, const std::string& content) {
    std::error_code ignored;
    std::filesystem::create_directories(target.parent_path(), ignored);
    std::string error;
    if (PrivateFile::replace(target, content, error)) return true;
    Log::error("UserActivity: " + error);
    return false;
}

// The changes of current activities, written on the global queue one at a time so that the
// thread that makes them (the main thread, at every key) never waits for the disk. A change
// made while earlier ones wait replaces them: only the latest content of a file is written.
class PendingWrites {
public:
    static const std::shared_ptr<PendingWrites>& shared() {
        static const auto writes = std::make_shared<PendingWrites>();
        return writes;
    }

    void submit(const std::filesystem::path& file, std::string content) {
        bool start = false;
        {
            std::lock_guard lock(mutex_);
            pending_[file] = std::move(content);
            start = !std::exchange(writing_, true);
        }
        // The work holds the writes alive until it is done, at the process's end too.
        if (start) DispatchQueue::global().async([writes = shared()] { writes->drain(); });
    }

    void waitUntilWritten() {
        std::unique_lock lock(mutex_);
        written_.wait(lock, [this] { return !writing_; });
    }

private:
    void drain() {
        for (;;) {
            std::map<std::filesystem::path, std::string>::node_type next;
            {
                std::lock_guard lock(mutex_);
                if (pending_.empty()) {
                    writing_ = false;
                    written_.notify_all();
                    return;
                }
                next = pending_.extract(pending_.begin());
            }
            storeFile(next.key(), next.mapped());
        }
    }

    std::mutex mutex_;
    std::condition_variable written_;
    std::map<std::filesystem::path, std::string> pending_;
    bool writing_ = false;
};

// The activities whose owners asked for a save, with the thread that asked and when it last
// did. Kept here, not in the activities: a copy of an activity asks for nothing.
class SaveRequests {
public:
    struct Request {
        UserActivity* activity;
        std::thread::id thread;
        double askedAt;
    };

    static SaveRequests& shared() {
        static SaveRequests requests;
        return requests;
    }

    void ask(UserActivity* activity, double now) {
        std::lock_guard lock(mutex_);
        for (Request& request : requests_)
            if (request.activity == activity) {
                request.askedAt = now;
                request.thread = std::this_thread::get_id();
                return;
            }
        requests_.push_back({activity, std::this_thread::get_id(), now});
    }

    void drop(const UserActivity* activity) {
        std::lock_guard lock(mutex_);
        std::erase_if(requests_, [activity](const Request& request) { return request.activity == activity; });
    }

    bool asked(const UserActivity* activity) {
        std::lock_guard lock(mutex_);
        return std::any_of(requests_.begin(), requests_.end(),
                           [activity](const Request& request) { return request.activity == activity; });
    }

    // Takes the calling thread's requests due at `now` (all: none given).
    std::vector<UserActivity*> take(std::optional<double> now) {
        std::lock_guard lock(mutex_);
        std::vector<UserActivity*> due;
        std::erase_if(requests_, [&](const Request& request) {
            if (request.thread != std::this_thread::get_id() || (now && request.askedAt + UserActivity::saveDelay > *now))
                return false;
            due.push_back(request.activity);
            return true;
        });
        return due;
    }

    // The time the calling thread's newest remaining request becomes due; none without one.
    std::optional<double> nextDue() {
        std::lock_guard lock(mutex_);
        std::optional<double> due;
        for (const Request& request : requests_)
            if (request.thread == std::this_thread::get_id())
                due = std::max(due.value_or(0.0), request.askedAt + UserActivity::saveDelay);
        return due;
    }

private:
    std::mutex mutex_;
    std::vector<Request> requests_;
};

}  // namespace

UserActivity::UserActivity(std::string activityType, std::filesystem::path directory)
    : type_(std::move(activityType)), directory_(std::move(directory)) {}

UserActivity::UserActivity(const UserActivity& other) = default;

UserActivity& UserActivity::operator=(const UserActivity& other) = default;

UserActivity::~UserActivity() { SaveRequests::shared().drop(this); }

void UserActivity::setRefresh(Refresh refresh, std::weak_ptr<void> lifetime) {
    refresh_ = std::move(refresh);
    refreshLifetime_ = std::move(lifetime);
}

void UserActivity::setNeedsSave(bool needsSave) {
    if (!needsSave) return SaveRequests::shared().drop(this);
    SaveRequests::shared().ask(this, RunLoop::main().now());
    armSaveTimer(saveDelay);
}

// One timer for the requests of a burst of keys: it fires `saveDelay` after the first, saves
// what has been quiet since, and waits for the rest. A timer that stayed overdue (its run loop
// was replaced) is replaced.
void UserActivity::armSaveTimer(double delay) {
    static std::shared_ptr<Timer> timer;
    static double dueAt = 0;
    const double now = RunLoop::main().now();
    if (timer && timer->isValid() && now < dueAt + 1) return;
    if (timer) timer->invalidate();
    dueAt = now + delay;
    timer = Timer::scheduledTimer(delay, false, [](Timer&) {
        auto& requests = SaveRequests::shared();
        saveDue(RunLoop::main().now());
        if (auto due = requests.nextDue()) armSaveTimer(std::max(*due - RunLoop::main().now(), 0.0));
    });
}

bool UserActivity::needsSave() const { return SaveRequests::shared().asked(this); }

void UserActivity::saveNeeded() { saveDue(std::nullopt); }

void UserActivity::saveDue(std::optional<double> now) {
    for (UserActivity* activity : SaveRequests::shared().take(now)) activity->save();
}

void UserActivity::save() {
    if (refresh_ && !refreshLifetime_.expired()) refresh_(*this);
}

std::filesystem::path UserActivity::file() const {
    return (directory_.empty() ? UserDefaults::groupDirectory() : directory_) / fileName;
}

void UserActivity::setTitle(std::string title) {
    if (title == title_) return;
    title_ = std::move(title);
    changed();
}

void UserActivity::setUserInfo(UserInfo userInfo) {
    if (userInfo == userInfo_) return;
    userInfo_ = std::move(userInfo);
    changed();
}

void UserActivity::addUserInfoEntriesFromDictionary(const UserInfo& entries) {
    bool changed = false;
    for (const auto& [key, value] : entries) {
        auto found = userInfo_.find(key);
        if (found != userInfo_.end() && found->second == value) continue;
        userInfo_[key] = value;
        changed = true;
    }
    if (changed) this->changed();
}

bool UserActivity::becomeCurrent() {
    current_ = true;
    PendingWrites::shared()->waitUntilWritten();
    return storeFile(file(), content());
}

void UserActivity::invalidate() {
    if (!current_) return;
    current_ = false;
    PendingWrites::shared()->waitUntilWritten();
    std::error_code ignored;
    std::filesystem::remove(file(), ignored);
}

void UserActivity::changed() const {
    if (current_) PendingWrites::shared()->submit(file(), content());
}

std::string UserActivity::content() const {
    std::string out = std::string(header) + '\n' + escape(type_) + '\n' + escape(title_) + '\n';
    for (const auto& [key, value] : userInfo_) out += escape(key) + '\n' + escape(value) + '\n';
    return out;
}

void UserActivity::waitUntilWritten() { PendingWrites::shared()->waitUntilWritten(); }

std::optional<UserActivity> UserActivity::readCurrent(std::filesystem::path directory) {
    UserActivity probe("", directory);
    std::string ignored;
    return read(probe.file(), std::move(directory), false, ignored);
}

std::optional<UserActivity> UserActivity::read(const std::filesystem::path& file, std::string& error) {
    return read(file, {}, true, error);
}

std::optional<UserActivity> UserActivity::read(const std::filesystem::path& file, std::filesystem::path directory,
                                               bool followLinks, std::string& error) {
    saveNeeded();
    waitUntilWritten();
    // An activity is a few lines: anything else (a device, a FIFO, a huge file) is not one, and
    // is refused before a byte of it is read.
    const auto content = PrivateFile::read(file, largestFile, followLinks, error);
    if (!content) return std::nullopt;
    error = file.string() + " is no activity";
    std::istringstream in(*content);
    std::string line;
    std::vector<std::string> fields;
    if (!std::getline(in, line) || line != header) return std::nullopt;
    while (std::getline(in, line)) {
        auto field = unescape(line);
        if (!field) return std::nullopt;
        fields.push_back(*field);
    }
    if (fields.size() < 2 || fields.size() % 2 != 0) return std::nullopt;
    error.clear();
    UserActivity activity(fields[0], std::move(directory));
    activity.title_ = fields[1];
    for (std::size_t i = 2; i + 1 < fields.size(); i += 2) activity.userInfo_[fields[i]] = fields[i + 1];
    return activity;
}

}  // namespace foundation
