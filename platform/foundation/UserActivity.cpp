#include "platform/foundation/UserActivity.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <fstream>
#include <vector>
#include <unistd.h>

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
}  // namespace

UserActivity::UserActivity(std::string activityType, std::filesystem::path directory)
    : type_(std::move(activityType)), directory_(std::move(directory)) {}

std::filesystem::path UserActivity::file() const {
    return (directory_.empty() ? UserDefaults::groupDirectory() : directory_) / "activity";
}

void UserActivity::setTitle(std::string title) {
    title_ = std::move(title);
    if (current_) write();
}

void UserActivity::setUserInfo(UserInfo userInfo) {
    userInfo_ = std::move(userInfo);
    if (current_) write();
}

void UserActivity::addUserInfoEntriesFromDictionary(const UserInfo& entries) {
    for (const auto& [key, value] : entries) userInfo_[key] = value;
    if (current_) write();
}

bool UserActivity::becomeCurrent() {
    current_ = true;
    return write();
}

void UserActivity::invalidate() {
    if (!current_) return;
    current_ = false;
    std::error_code ignored;
    std::filesystem::remove(file(), ignored);
}

bool UserActivity::write() const {
    std::filesystem::path target = file();
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::filesystem::path temporary = target;
    temporary += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << header << '\n' << escape(type_) << '\n' << escape(title_) << '\n';
        for (const auto& [key, value] : userInfo_) out << escape(key) << '\n' << escape(value) << '\n';
        out.flush();
        if (!out) {
            Log::error("UserActivity: cannot write " + temporary.string());
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        Log::error("UserActivity: cannot store " + target.string() + ": " + error.message());
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

std::optional<UserActivity> UserActivity::readCurrent(std::filesystem::path directory) {
    UserActivity probe("", directory);
    return read(probe.file(), std::move(directory));
}

std::optional<UserActivity> UserActivity::read(const std::filesystem::path& file) { return read(file, {}); }

std::optional<UserActivity> UserActivity::read(const std::filesystem::path& file, std::filesystem::path directory) {
    // An activity is a few lines: anything else (a device, a huge file) is not one.
    constexpr std::uintmax_t largest = 1 << 20;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) > largest || error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    std::vector<std::string> fields;
    if (!std::getline(in, line) || line != header) return std::nullopt;
    while (std::getline(in, line)) {
        auto field = unescape(line);
        if (!field) return std::nullopt;
        fields.push_back(*field);
    }
    if (fields.size() < 2 || fields.size() % 2 != 0) return std::nullopt;
    UserActivity activity(fields[0], std::move(directory));
    activity.title_ = fields[1];
    for (std::size_t i = 2; i + 1 < fields.size(); i += 2) activity.userInfo_[fields[i]] = fields[i + 1];
    return activity;
}

}  // namespace foundation
