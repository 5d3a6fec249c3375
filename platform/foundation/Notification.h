#pragma once

#include <map>
#include <string>

namespace foundation {

// One posted notification: its name, the posting object (identity only) and string user info.
struct Notification {
    std::string name;
    const void* object = nullptr;
    std::map<std::string, std::string> userInfo;
};

}  // namespace foundation
