#pragma once

#include <string_view>

namespace foundation {

// Whether the machine is on a network: it has a default route (IPv4 or IPv6) that is up.
class Reachability {
public:
    // Reads the kernel's route tables (/proc/net/route, /proc/net/ipv6_route). A table
    // that cannot be read counts as having no default route; false on any error.
    static bool isConnectedToNetwork();

    // The same test on the texts of the two tables, as the kernel writes them.
    static bool hasDefaultRoute(std::string_view ipv4RouteTable, std::string_view ipv6RouteTable);
};

}  // namespace foundation
