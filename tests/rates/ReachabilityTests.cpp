#include "platform/foundation/Reachability.h"

#include <gtest/gtest.h>

using foundation::Reachability;

namespace {

const char* ipv4Header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

std::string ipv4(const char* destination, const char* flags, const char* mask) {
    return std::string("eth0\t") + destination + "\t010200C0\t" + flags + "\t0\t0\t0\t" + mask + "\t0\t0\t0\n";
}

std::string ipv6(const char* destination, const char* prefix, const char* flags, const char* device) {
    return std::string(destination) + " " + prefix +
           " 00000000000000000000000000000000 00 fd000000000000000000000000000001 00000400 00000002 00000000 " +
           flags + " " + device + "\n";
}

const char* zeros = "00000000000000000000000000000000";

}  // namespace

TEST(Reachability, ADefaultRouteThatIsUpInEitherTableMeansConnected) {
    const std::string v4Default = ipv4Header + ipv4("00000000", "0003", "00000000") + ipv4("000200C0", "0001", "00FFFFFF");
    const std::string v4LocalOnly = ipv4Header + ipv4("000200C0", "0001", "00FFFFFF");
    const std::string v6Default = ipv6(zeros, "00", "00000003", "eth0");
    // The kernel's unreachable default on lo: rejected and not up.
    const std::string v6Unreachable = ipv6(zeros, "00", "00200200", "lo");
    const std::string v6Prefix = ipv6("fd000000000000000000000000000000", "40", "00000001", "eth0");

    EXPECT_TRUE(Reachability::hasDefaultRoute(v4Default, ""));
    EXPECT_TRUE(Reachability::hasDefaultRoute(v4LocalOnly, v6Prefix + v6Default));
    EXPECT_FALSE(Reachability::hasDefaultRoute(v4LocalOnly, v6Prefix + v6Unreachable));
    EXPECT_FALSE(Reachability::hasDefaultRoute(ipv4Header + ipv4("00000000", "0000", "00000000"), ""));  // down
    EXPECT_FALSE(Reachability::hasDefaultRoute(ipv4Header + ipv4("00000000", "0203", "00000000"), ""));  // reject
    EXPECT_FALSE(Reachability::hasDefaultRoute(ipv4Header + ipv4("00000000", "0003", "0000FFFF"), ""));  // not /0
    EXPECT_FALSE(Reachability::hasDefaultRoute(ipv4("00000000", "0003", "00000000"), ""));  // only a header line
    EXPECT_FALSE(Reachability::hasDefaultRoute("", ""));
    EXPECT_FALSE(Reachability::hasDefaultRoute(std::string(ipv4Header) + "eth0 zz 0 xyz\n\n\n", "garbage\n\x01\x02"));
    EXPECT_FALSE(Reachability::hasDefaultRoute("", ipv6(zeros, "00", "00000003", "eth0").substr(0, 60)));
}
