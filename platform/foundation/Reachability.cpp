#include "platform/foundation/Reachability.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace foundation {

namespace {

constexpr unsigned long routeUp = 0x0001;      // RTF_UP
constexpr unsigned long routeReject = 0x0200;  // RTF_REJECT

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
        if (end > at) result.push_back(line.substr(at, end - at));
        at = end;
    }
    return result;
}

bool hexValue(std::string_view text, unsigned long& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

bool allZeros(std::string_view text) { return !text.empty() && text.find_first_not_of('0') == std::string_view::npos; }

template <typename Test>
bool anyLine(std::string_view table, bool skipHeader, Test test) {
    bool first = true;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        const std::string_view line = table.substr(0, end);
        table = end == std::string_view::npos ? std::string_view() : table.substr(end + 1);
        if (first && skipHeader) {
            first = false;
            continue;
        }
        first = false;
        if (test(fields(line))) return true;
    }
    return false;
}

bool usable(unsigned long flags) { return (flags & routeUp) != 0 && (flags & routeReject) == 0; }

// Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
bool ipv4Default(const std::vector<std::string_view>& f) {
    unsigned long destination = 0, flags = 0, mask = 0;
    if (f.size() < 8) return false;
    if (!hexValue(f[1], destination) || !hexValue(f[3], flags) || !hexValue(f[7], mask)) return false;
    return destination == 0 && mask == 0 && usable(flags);
}

// destination prefix-length source prefix-length next-hop metric refcount use flags device
bool ipv6Default(const std::vector<std::string_view>& f) {
    unsigned long prefixLength = 0, flags = 0;
    if (f.size() < 10 || f[0].size() != 32 || !allZeros(f[0])) return false;
    if (!hexValue(f[1], prefixLength) || !hexValue(f[8], flags)) return false;
    return prefixLength == 0 && usable(flags) && f[9] != "lo";
}

std::string readFile(const char* path) {
    std::ifstream in(path);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return in.bad() ? std::string() : text.str();
}

}  // namespace

bool Reachability::hasDefaultRoute(std::string_view ipv4RouteTable, std::string_view ipv6RouteTable) {
    return anyLine(ipv4RouteTable, true, ipv4Default) || anyLine(ipv6RouteTable, false, ipv6Default);
}

bool Reachability::isConnectedToNetwork() {
    try {
        return hasDefaultRoute(readFile("/proc/net/route"), readFile("/proc/net/ipv6_route"));
    } catch (...) {
        return false;
    }
}

}  // namespace foundation
