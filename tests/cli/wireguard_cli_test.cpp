// The WireGuard page through the command line, held against tools made by others: every key
// pair agrees with `wg pubkey` (Debian's wireguard-tools), `wg-quick strip` reads every client
// file, `zbarimg` (zbar-tools) reads each QR code back to its file byte for byte, and the
// router's script passes `rosgen check` on the default configuration.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "cli_support.h"

namespace rosgen::test {
namespace {

// zbarimg reads QR codes only: a random image may also look like a one-dimensional barcode to it.
const std::string kQrOnly = "-Sdisable -Sqrcode.enable -Sbinary";

namespace fs = std::filesystem;

// A shell command's stdout, or nothing when it failed.
std::optional<std::string> shell(const std::string& command) {
  FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  if (::pclose(p) != 0) return std::nullopt;
  return out;
}

std::string pubkey(const std::string& secret) {
  auto out = shell("printf '%s' '" + secret + "' | wg pubkey");
  return out ? out->substr(0, out->find('\n')) : "(wg pubkey refused " + secret + ")";
}

std::string read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string value_of(const std::string& text, const std::string& key) {
  std::smatch m;
  if (std::regex_search(text, m, std::regex("(^|\n)" + key + " = ([^\n]*)"))) return m[2];
  if (std::regex_search(text, m, std::regex(" " + key + "=\"?([^\" \r\n]*)"))) return m[1];
  return {};
}

class WireGuardCli : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "rosgen-wg-XXXXXX").string();
    root_ = ::mkdtemp(name.data());
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(WireGuardCli, FilesAndKeysPassTheToolsOfOthers) {
  const std::string own_public = pubkey("aK7vQ2+PZkRf3i5vJbC2p9TWRkV8k0pAq7dG1xXWv0Q=");
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> clients;
    std::set<std::string> own_key;  // clients that made their own pair
  } cases[] = {
      {"defaults, two clients", {"--row", "phone", "--row", "laptop"}, {"phone", "laptop"}, {}},
      {"LAN only, no keepalive, a typed address and a client with its own key",
       {"--check", "lan-only", "keepalive=0", "endpoint=vpn.example.net", "--row", "pad|10.10.10.20", "--row",
        "branch||" + own_public, "--row", "tv"},
       {"pad", "branch", "tv"},
       {"branch"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = root_ / std::to_string(&c - cases);
    std::vector<std::string> args{"run", "wireguard", "gen-7x", "--peers-dir", dir.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = rosgen(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const fs::path script = root_ / "router.rsc";
    std::ofstream(script, std::ios::binary) << r.out;
    const Result check = rosgen({"check", "--base", "defconf", script.string()});
    EXPECT_EQ(check.code, 0);
    EXPECT_EQ(check.out, "") << r.out;

    struct stat st {};
    ASSERT_EQ(::stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::set<std::string> listed;
    for (const auto& e : fs::directory_iterator(dir)) listed.insert(e.path().filename().string());
    std::set<std::string> expected;
    for (const std::string& name : c.clients) expected.insert({name + ".conf", name + ".png"});
    EXPECT_EQ(listed, expected);

    const std::string router_public = pubkey(value_of(r.out, "private-key"));
    for (const std::string& name : c.clients) {
      SCOPED_TRACE(name);
      const fs::path conf = dir / (name + ".conf");
      const std::string text = read(conf);
      for (const char* file : {".conf", ".png"}) {
        ASSERT_EQ(::stat((dir / (name + file)).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << file;
      }
      // wg-quick finds the interface's name in the file's and reads the file through.
      const auto stripped = shell("cd '" + dir.string() + "' && wg-quick strip ./" + name + ".conf");
      ASSERT_TRUE(stripped.has_value()) << text;
      EXPECT_NE(stripped->find("[Peer]\nPublicKey = " + router_public + "\n"), std::string::npos) << *stripped;
      EXPECT_EQ(stripped->find("Address"), std::string::npos);
      EXPECT_EQ(shell("zbarimg --quiet --raw " + kQrOnly + " '" + (dir / (name + ".png")).string() + "'"), text);

      std::string peer;
      std::istringstream lines(r.out);
      for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("/interface wireguard peers add") && value_of(line, "comment") == name) peer = line;
      }
      ASSERT_FALSE(peer.empty()) << r.out;
      EXPECT_EQ(value_of(text, "PublicKey"), router_public);
      EXPECT_EQ(value_of(text, "PresharedKey"), value_of(peer, "preshared-key"));
      EXPECT_EQ(pubkey(value_of(text, "PresharedKey")).size(), 44u);  // 32 bytes in base64, as wg reads keys
      if (c.own_key.count(name)) {
        EXPECT_EQ(value_of(text, "PrivateKey"), "");
        EXPECT_EQ(value_of(peer, "public-key"), own_public);
      } else {
        EXPECT_EQ(pubkey(value_of(text, "PrivateKey")), value_of(peer, "public-key"));
      }
    }
  }
}

// What the command line says of the files, and when it writes none.
TEST_F(WireGuardCli, WritesFilesOnlyWhereAsked) {
  Result r = rosgen({"run", "wireguard", "gen-7x", "--row", "phone", "--row", "pad"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "rosgen: the clients' files were not written (--peers-dir DIR writes them): phone.conf pad.conf\n");

  r = rosgen({"run", "wireguard", "gen-7x", "--row", "phone", "--json"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(nlohmann::json::parse(r.out)["files"], nlohmann::json::array({"phone.conf"}));

  // A refused press writes nothing, not even the folder.
  r = rosgen({"run", "wireguard", "gen-7x", "--peers-dir", (root_ / "none").string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(fs::exists(root_ / "none"));

  std::ofstream(root_ / "file") << "x";
  r = rosgen({"run", "wireguard", "gen-7x", "--row", "phone", "--peers-dir", (root_ / "file" / "peers").string()});
  EXPECT_EQ(r.code, 3);
  EXPECT_TRUE(r.err.starts_with("rosgen: cannot write " + (root_ / "file" / "peers").string() + ": ")) << r.err;

  r = rosgen({"run", "wan-fixed", "gen-7x", "--peers-dir", (root_ / "wan").string()});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("this press made no clients' files"), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "wan"));
}

}  // namespace
}  // namespace rosgen::test
