// `rosgen check`: RouterOS 7 scripts from a file or standard input, findings on stdout, exit codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli_support.h"

namespace rosgen::test {
namespace {

namespace fs = std::filesystem;

class CheckCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rosgen-check-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::string& bytes) {
    const fs::path file = dir_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
  // `rosgen ARGS... < input`, through the shell so the program's standard input is the file.
  Result with_stdin(const std::string& input, const std::string& args) {
    const std::string file = write("stdin.rsc", input);
    return rosgen({"-c", std::string("exec \"$0\" ") + args + " < \"$1\"", ROSGEN_BIN, file}, "/bin/sh");
  }

  fs::path dir_;
};

// A snippet for a router on the default configuration, where `bridge` is there.
constexpr const char* kClean =
    "/ip address add address=192.168.89.1/24 interface=bridge\n/ip dns set servers=1.1.1.1\n";
// What the command tree accepts and the router refuses, or carries out to no effect.
constexpr const char* kRefused = "/interface ethernet set bridge arp=reply-only\n";
constexpr const char* kPointless = "/ip firewall filter add chain=output protocol=icmp action=drop\n";
constexpr const char* kFaulty = "/ip adress print\n/ip dns set primary-dns=1.1.1.1\n";
constexpr const char* kAbbreviated = "/ip add print\n";

TEST_F(CheckCli, ExitCodesAndOneLinePerFinding) {
  struct Case {
    const char* script;
    std::vector<std::string> flags;
    int code;
    const char* findings;  // stdout after "FILE:"; null: as the case before
  };
  const Case cases[] = {
      {kClean, {"--base", "defconf"}, 0, ""},
      {kClean, {"--base", "defconf", "--strict"}, 0, ""},
      // On an empty router there is no bridge, and a whole export without a default route warns.
      {kClean,
       {},
       1,
       "1:1: warning: no default route in the main routing table: the router's own traffic and every unmarked host "
       "lose the internet (main) [no-default-route]\n"
       "@1:41: error: names something that is not there (interface=bridge) [unknown-reference]\n"},
      {kRefused, {"--base", "defconf"}, 1, "1:25: error: no such item (/interface/ethernet bridge) [no-such-item]\n"},
      {kPointless,
       {"--base", "defconf"},
       0,
       "1:1: warning: ICMP dropped in the output chain: the router's own pings and gateway checks fail (output drop) "
       "[icmp-drop-output]\n"},
      {kPointless, {"--base", "defconf", "--strict"}, 1, nullptr},
      {kFaulty,
       {},
       1,
       "1:5: error: unknown command 'adress' in /ip\n"
       "@2:13: error: unknown argument 'primary-dns' for /ip/dns/set\n"},
      {kAbbreviated, {}, 0, "1:5: warning: abbreviated 'add' for 'address'\n"},
      {kAbbreviated, {"--strict"}, 1, "1:5: warning: abbreviated 'add' for 'address'\n"},
      {"", {}, 0, ""},
  };
  for (const Case& c : cases) {
    const std::string file = write("script.rsc", c.script);
    std::vector<std::string> args{"check", file};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    Result r = rosgen(args);
    EXPECT_EQ(r.code, c.code) << c.script << r.err;
    // Every line names the file; "@" in the table stands for a further "FILE:".
    if (c.findings) {
      std::string expected = c.findings[0] ? file + ":" + c.findings : "";
      for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, file + ":");
      EXPECT_EQ(r.out, expected) << c.script;
    }
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(CheckCli, ReadsStandardInputForDashOrNoFile) {
  for (const std::string args : {"check", "check -", "check - --strict"}) {
    Result r = with_stdin(kFaulty, args);
    EXPECT_EQ(r.code, 1) << args << r.err;
    EXPECT_EQ(r.out,
              "-:1:5: error: unknown command 'adress' in /ip\n"
              "-:2:13: error: unknown argument 'primary-dns' for /ip/dns/set\n")
        << args;
  }
  Result clean = with_stdin(std::string(kClean) + "\r\n", "check --base defconf");
  EXPECT_EQ(clean.code, 0);
  EXPECT_EQ(clean.out, "");
}

TEST_F(CheckCli, UsageErrorsExitTwoWithAMessage) {
  const std::string missing = (dir_ / "missing.rsc").string();
  struct Case {
    std::vector<std::string> args;
    const char* says;  // part of the message on stderr
  };
  const Case cases[] = {
      {{"check", missing}, "missing.rsc"},
      {{"check", dir_.string()}, "folder"},
      {{"check", "--encoding", "latin1", missing}, "--encoding"},
      {{"check", "a.rsc", "b.rsc"}, "b.rsc"},
  };
  for (const Case& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, 2) << c.args.back();
    EXPECT_EQ(r.out, "") << c.args.back();
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST_F(CheckCli, GbkScriptsAreReadAsGbkAndColumnsCountUtf8Bytes) {
  // "路由" is 4 bytes in GBK and 6 in UTF-8: the faulty name after it stands at UTF-8 column 20.
  const std::string gbk = ":put \"\xC2\xB7\xD3\xC9\"; /ip adress\n";
  const std::string file = write("gbk.rsc", gbk);
  Result r = rosgen({"check", "--encoding", "gbk", file});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_EQ(r.out, file + ":1:20: error: unknown command 'adress' in /ip\n");

  Result in = with_stdin(gbk, "check --encoding gbk");
  EXPECT_EQ(in.out, "-:1:20: error: unknown command 'adress' in /ip\n");

  Result clean =
      rosgen({"check", "--encoding", "gbk", write("gbk-clean.rsc", "# \xC2\xB7\xD3\xC9\n:put \"\xD3\xC9\"\n")});
  EXPECT_EQ(clean.code, 0) << clean.out;
}

}  // namespace
}  // namespace rosgen::test
