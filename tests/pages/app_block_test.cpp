// Tab 17: application blocking presets.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support.h"

namespace rosgen::test {
namespace {

struct Row {
  std::string preset, tag, address;
};

// The server rows as the data file lists them.
std::vector<Row> data_rows() {
  std::ifstream in(std::string(ROSGEN_DATA_DIR) + "/app-block-servers.txt");
  std::vector<Row> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    Row r;
    words >> r.preset >> r.tag >> r.address;
    rows.push_back(r);
  }
  return rows;
}

std::vector<Row> rows_of(const std::string& preset) {
  std::vector<Row> out;
  for (const Row& r : data_rows()) {
    if (r.preset == preset) out.push_back(r);
  }
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    out.push_back(text.substr(start, at - start));
  }
  out.push_back(text.substr(start));
  return out;
}

TEST(AppBlock, XunleiListsEveryDataRowInOrder) {
  std::vector<Row> servers = rows_of("xunlei");
  ASSERT_GE(servers.size(), 2u);
  std::string expected = "/ ip firewall address-list \r\n";
  for (const Row& r : servers) {
    ASSERT_TRUE(r.tag == "tel" || r.tag == "cnc") << r.address;
    expected += "add list=\"BlockadeXunlei\" address=" + r.address + " comment=\"" + r.tag + "\" disabled=no\r\n";
  }
  expected +=
      "/ ip firewall filter \r\n"
      "add chain=forward dst-address-list=\"BlockadeXunlei\" action=drop comment=\"BlockadeXunlei-091206\" "
      "disabled=no";
  for (const char* button : {"xunlei-2x", "xunlei-3x"}) {
    Session s("app-block");
    s.set_output("announcement");
    EXPECT_EQ(s.press(button), Outcome::Done);
    EXPECT_EQ(s.output(), expected) << button;
    EXPECT_EQ(lines(s.output()).size(), servers.size() + 3);
  }
}

TEST(AppBlock, XuanFengRowsEndWithABlank) {
  std::vector<Row> servers = rows_of("xuanfeng");
  ASSERT_EQ(servers.size(), 4u);
  for (const char* button : {"xuanfeng-2x", "xuanfeng-3x"}) {
    Session s("app-block");
    s.press(button);
    std::vector<std::string> got = lines(s.output());
    ASSERT_EQ(got.size(), 7u) << button;
    EXPECT_EQ(got[0], "/ ip firewall address-list ");
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(got[i + 1],
                "add list=\"BlockadeQqXuanFeng\" address=" + servers[i].address + " comment=\"\" disabled=no ");
    }
    EXPECT_EQ(got[5], "/ ip firewall filter ");
    EXPECT_EQ(got[6],
              "add chain=forward dst-address-list=\"BlockadeQqXuanFeng\" action=drop comment=\"BlockadeQqXuanFeng\" "
              "disabled=no");
  }
}

TEST(AppBlock, UnfinishedPresetsReplaceWhateverWasThere) {
  const std::string placeholder = "/ ip firewall address-list \r\n#最功能暂时未完善";
  for (const char* preset : {"qq-music", "qq-chat", "pplive", "qq-live"}) {
    for (const char* dialect : {"-2x", "-3x"}) {
      Session s("app-block");
      s.press("xunlei-3x");
      EXPECT_EQ(s.press(std::string(preset) + dialect), Outcome::Done);
      EXPECT_EQ(s.output(), placeholder) << preset << dialect;
      EXPECT_EQ(s.form->output().bytes(),
                "/ ip firewall address-list \r\n#\xD7\xEE\xB9\xA6\xC4\xDC\xD4\xDD\xCA\xB1"
                "\xCE\xB4\xCD\xEA\xC9\xC6");
    }
  }
}

}  // namespace
}  // namespace rosgen::test
