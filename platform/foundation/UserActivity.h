#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace foundation {

// An activity the program publishes so that it can be continued elsewhere: a type, a title and
// text entries of user info. The current activity is kept as the file "UserActivity" in the
// group directory (written whole into a new file, then moved into place), where a later start of the program
// picks it up to continue it. While an activity is current every change to it is written, on
// the global queue so that the thread making it never waits for the disk, the latest change
// first; a change that leaves it as it was writes nothing. Reads in this process wait for the
// writes asked for before them.
//
// An owner whose activity changes often (at every key) does not change it each time: it says
// that the activity needs saving, and the activity is brought up to date through the owner's
// refresh and written later, once no such request came for `saveDelay` seconds, when the
// program resigns, answers a later start or ends (saveNeeded), and before a read in this
// process, on the thread that asked: a read always finds the activity current.
class UserActivity {
public:
    using UserInfo = std::map<std::string, std::string>;
    using Refresh = std::function<void(UserActivity&)>;
    static constexpr double saveDelay = 0.25;

    explicit UserActivity(std::string activityType, std::filesystem::path directory = {});
    UserActivity(const UserActivity& other);
    UserActivity& operator=(const UserActivity& other);
    ~UserActivity();

    const std::string& activityType() const { return type_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const UserInfo& userInfo() const { return userInfo_; }
    void setUserInfo(UserInfo userInfo);
    // Adds the entries, replacing those with the same keys.
    void addUserInfoEntriesFromDictionary(const UserInfo& entries);

    // What brings the activity up to date before it is saved; it ends with `lifetime`'s owner.
    void setRefresh(Refresh refresh, std::weak_ptr<void> lifetime);
    // Asks for a refresh and a write later (see above); false drops a request not yet carried out.
    // Main thread only: the timer that carries requests out is the main run loop's, and the
    // state that arms it is not guarded.
    void setNeedsSave(bool needsSave);
    bool needsSave() const;
    // Refreshes every activity whose save the calling thread asked for and has not yet had.
    static void saveNeeded();

    // Makes this the current activity and writes it at once; false (logged) when it cannot be
    // written.
    bool becomeCurrent();
    bool isCurrent() const { return current_; }
    // No longer current; the stored activity is removed.
    void invalidate();

    // The activity last made current in `directory` (default: the group directory), if any and
    // readable.
    static std::optional<UserActivity> readCurrent(std::filesystem::path directory = {});
    // An activity stored in `file` (as the current one is stored), if readable; else `error`
    // says why there is none. The file is opened once, without blocking: one that is not a
    // regular file (a FIFO, a device, a directory), or holds more than `largestFile` bytes, is
    // refused unread.
    static std::optional<UserActivity> read(const std::filesystem::path& file, std::string& error);

    // Waits until every change asked for in this process is written.
    static void waitUntilWritten();

    static constexpr std::uintmax_t largestFile = 1 << 20;
    static constexpr const char* fileName = "UserActivity";

private:
    static std::optional<UserActivity> read(const std::filesystem::path& file, std::filesystem::path directory,
                                            bool followLinks, std::string& error);
    // Writes the activity while it is current.
    void changed() const;
    // The owner's refresh, which writes what it changed.
    void save();
    // Saves the calling thread's activities whose save is due at `now` (all: none given).
    static void saveDue(std::optional<double> now);
    static void armSaveTimer(double delay);
    // The activity as its file holds it.
    std::string content() const;
    std::filesystem::path file() const;

    std::string type_;
    std::string title_;
    UserInfo userInfo_;
    std::filesystem::path directory_;
    bool current_ = false;
    Refresh refresh_;
    std::weak_ptr<void> refreshLifetime_;
};

}  // namespace foundation
