#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "pages/wan/carrier_routes.h"
#include "script/text.h"

namespace rosgen {
namespace {

size_t count(const std::string& s, const std::string& part) {
  size_t n = 0;
  for (size_t p = s.find(part); p != std::string::npos; p = s.find(part, p + 1)) ++n;
  return n;
}

// Total length of the networks in a data file.
size_t network_bytes(const char* file) {
  std::ifstream in(std::string(ROSGEN_DATA_DIR) + "/carrier-routes/" + file);
  size_t n = 0;
  for (std::string line; std::getline(in, line);) n += line.size();
  return n;
}

const size_t kNetcomBytes = network_bytes("netcom.txt");
const size_t kTelecomBytes = network_bytes("telecom.txt");
// Bytes of one entry besides its network, and what the last entry leaves off.
constexpr size_t kEntryA = sizeof(
                               "add dst-address= gateway= check-gateway=ping\r\n"
                               "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no \r\n") -
                           1;
constexpr size_t kEntryB = sizeof(
                               "add dst-address= gateway= distance=1 \r\n"
                               "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\n") -
                           1;
constexpr size_t kHeader = sizeof("/ ip route \r\n") - 1;

TEST(CarrierRoutes, TablesHaveTheirSizesAndEnds) {
  ASSERT_GT(kNetcomBytes, 0u);
  struct Case {
    Carrier carrier;
    size_t rows;
    size_t bytes;
    const char* first;
    const char* last;
  } cases[] = {
      {Carrier::Netcom, 134, kHeader + kNetcomBytes + 134 * kEntryA - 3,
       "/ ip route \r\nadd dst-address=59.80.0.0/14 gateway= check-gateway=ping\r\n"
       "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no \r\nadd dst-address=60.0.0.0/13 gateway= ",
       "add dst-address=222.208.65.0/24 gateway= check-gateway=ping\r\n"
       "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no"},
      {Carrier::Telecom, 247, kHeader + kTelecomBytes + 247 * kEntryB - 2,
       "/ ip route \r\nadd dst-address=58.14.0.0/15 gateway= distance=1 \r\n"
       "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\nadd dst-address=58.24.0.0/15 ",
       "add dst-address=202.100.0.0/15 gateway= distance=1 \r\n"
       "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no"},
  };
  for (const auto& c : cases) {
    const std::string table = route_table(c.carrier).bytes();
    EXPECT_EQ(route_count(c.carrier), c.rows);
    EXPECT_EQ(table.size(), c.bytes);
    EXPECT_EQ(count(table, "add dst-address="), c.rows);
    EXPECT_TRUE(table.starts_with(c.first)) << table.substr(0, 200);
    EXPECT_TRUE(table.ends_with(c.last));
    // Two physical lines per entry plus the header: one CR LF fewer than lines.
    EXPECT_EQ(count(table, "\r\n"), 2 * c.rows);
  }
}

TEST(CarrierRoutes, GatewayFillAndBackupRoute) {
  const Gbk gw = "203.000.113.101"_a;  // 15 characters
  Gbk netcom = fill_gateway(Carrier::Netcom, gw);
  Gbk telecom = fill_gateway(Carrier::Telecom, gw);
  EXPECT_EQ(netcom.size(), route_table(Carrier::Netcom).size() + 134 * 15 + 2);
  EXPECT_EQ(telecom.size(), route_table(Carrier::Telecom).size() + 247 * 15 + 2);
  EXPECT_TRUE(netcom.bytes().ends_with("disabled=no\r\n"));
  EXPECT_EQ(count(netcom.bytes(), "gateway=203.000.113.101 check-gateway=ping\r\n"), 134u);
  EXPECT_EQ(count(telecom.bytes(), "gateway=203.000.113.101 distance=1 \r\n"), 247u);
  EXPECT_EQ(count(fill_gateway(Carrier::Telecom, Gbk()).bytes(), "gateway= "), 247u);

  Gbk backup = backup_default_route(gw);
  EXPECT_EQ(backup.bytes(),
            "add dst-address=0.0.0.0/0 gateway=203.000.113.101 check-gateway=ping distance=2\r\n"
            "scope=255 target-scope=10 comment=\"\" disabled=no");
  EXPECT_EQ(backup.size(), 129u);
}

TEST(CarrierRoutes, BuiltWellUnderAMillisecond) {
  auto start = std::chrono::steady_clock::now();
  size_t total = 0;
  for (int i = 0; i < 100; ++i) total += fill_gateway(Carrier::Telecom, "10.0.0.1"_a).size();
  auto per = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start) / 100;
  EXPECT_GT(total, 0u);
  EXPECT_LT(per.count(), 1000.0);
}

}  // namespace
}  // namespace rosgen
