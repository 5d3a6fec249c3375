#pragma once

#include <optional>
#include <string>
#include <vector>

namespace uikit {

// The general pasteboard: one string. Every write is recorded for the host.
class Pasteboard {
public:
    static Pasteboard& general();

    std::optional<std::string> string() const { return string_; }
    void setString(const std::string& text);
    const std::vector<std::string>& writes() const { return writes_; }
    void clear();

private:
    std::optional<std::string> string_;
    std::vector<std::string> writes_;
};

}  // namespace uikit
