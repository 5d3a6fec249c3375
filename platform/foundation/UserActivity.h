#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace foundation {

// An activity the program publishes so that it can be continued elsewhere: a type, a title and
// text entries of user info. The current activity is kept as the file "activity" in the group
// directory (written whole, then moved into place), where a later start of the program picks
// it up to continue it. While an activity is current, every change to it is written at once.
class UserActivity {
public:
    using UserInfo = std::map<std::string, std::string>;

    explicit UserActivity(std::string activityType, std::filesystem::path directory = {});

    const std::string& activityType() const { return type_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const UserInfo& userInfo() const { return userInfo_; }
    void setUserInfo(UserInfo userInfo);
    // Adds the entries, replacing those with the same keys.
    void addUserInfoEntriesFromDictionary(const UserInfo& entries);

    // Makes this the current activity and writes it; false (logged) when it cannot be written.
    bool becomeCurrent();
    bool isCurrent() const { return current_; }
    // No longer current; the stored activity is removed.
    void invalidate();

    // The activity last made current in `directory` (default: the group directory), if any and
    // readable.
    static std::optional<UserActivity> readCurrent(std::filesystem::path directory = {});
    // An activity stored in `file` (as the current one is stored), if readable.
    static std::optional<UserActivity> read(const std::filesystem::path& file);

private:
    static std::optional<UserActivity> read(const std::filesystem::path& file, std::filesystem::path directory);
    bool write() const;
    std::filesystem::path file() const;

    std::string type_;
    std::string title_;
    UserInfo userInfo_;
    std::filesystem::path directory_;
    bool current_ = false;
};

}  // namespace foundation
