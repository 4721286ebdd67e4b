// The program's everyday manners: --version, -o, --json, the man page and the bash completion.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli_support.h"

namespace rosgen::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(__FILE__).parent_path().parent_path().parent_path();

std::string read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_bytes(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// What a folder holds, names and contents, to see that nothing in it changed.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    files[fs::relative(e.path(), folder).string()] = e.is_regular_file() ? read_bytes(e.path()) : "<folder>";
  }
  return files;
}

// A fresh folder, removed with everything in it at the end of the test.
class Scratch {
 public:
  Scratch() {
    std::string name = (fs::temp_directory_path() / "rosgen-manners-XXXXXX").string();
    path_ = ::mkdtemp(name.data());
  }
  ~Scratch() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The version as the build declares it, in the top-level project().
std::string project_version() {
  std::smatch m;
  std::string text = read_bytes(kSource / "CMakeLists.txt");
  if (!std::regex_search(text, m, std::regex(R"(project\(rosgen VERSION ([0-9.]+))"))) return "?";
  return m[1];
}

TEST(Manners, VersionOfBothPrograms) {
  const std::string version = project_version();
  const fs::path gui = fs::path(ROSGEN_BIN).parent_path() / "rosgen-gui";
  // Offscreen, so that a window coming up by mistake needs no display.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  struct Case {
    fs::path binary;
    std::string program;  // what is started: the binary, or a guard around it
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {ROSGEN_BIN, ROSGEN_BIN, {"--version"}, "rosgen " + version + "\n"},
      // Under a time limit: a window that comes up instead would otherwise wait forever.
      {gui, "/usr/bin/timeout", {"20", gui.string(), "--version"}, "rosgen-gui " + version + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.binary.filename().string());
    if (!fs::exists(c.binary)) {
      std::cout << c.binary.filename().string() << " is not built; its --version is not checked\n";
      continue;
    }
    Result r = rosgen(c.args, c.program);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
  ::unsetenv("QT_QPA_PLATFORM");
}

// -o puts exactly what stdout would have had into the file, in either encoding.
TEST(Manners, OutputFileHoldsTheScriptBytes) {
  const std::string kServiceUtf8 = "服务";
  const std::string kServiceGbk = "\xB7\xFE\xCE\xF1";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string fragment;  // bytes the script must hold
    std::string old_file;  // what the file held before, if it existed
  } cases[] = {
      {"utf-8, new file",
       {"run", "pppoe-server", "gen-3x", "编辑框_pppoe_服务名称=" + kServiceUtf8},
       "service-name=" + kServiceUtf8 + " ",
       ""},
      {"gbk, new file",
       {"run", "pppoe-server", "gen-3x", "编辑框_pppoe_服务名称=" + kServiceGbk, "--encoding", "gbk"},
       "service-name=" + kServiceGbk + " ",
       ""},
      {"replaces a longer file",
       {"run", "wan-fixed", "gen-3x", "wan-ip=203.0.113.10"},
       "address=203.0.113.10/255.255.255.248 interface=ether1\r\n",
       std::string(5000, 'x')},
      {"warned with --strict still writes",
       {"run", "wan-fixed", "gen-3x", "gateway=", "--strict"},
       "/ip route add gateway=\r\n",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    const fs::path file = dir.path() / "script.rsc";
    if (!c.old_file.empty()) {
      write_bytes(file, c.old_file);
      fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    Result plain = rosgen(c.args);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-o", file.string()});
    Result r = rosgen(args);

    EXPECT_EQ(r.code, plain.code);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, plain.err);
    const std::string bytes = read_bytes(file);
    EXPECT_TRUE(bytes == plain.out) << "the file differs from stdout";
    EXPECT_NE(bytes.find(c.fragment), std::string::npos);
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    EXPECT_EQ(std::regex_search(bytes, std::regex("[^\r]\n")), false) << "a lone LF";
    EXPECT_EQ(snapshot(dir.path()).size(), 1u) << "a temporary file was left behind";
    if (!c.old_file.empty()) {
      EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
                fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
  }
}

// A file that cannot be written: exit 3, one clear line, and the folder exactly as it was. Each
// case fails for root too.
TEST(Manners, OutputFileThatCannotBeWritten) {
  struct Case {
    const char* name;
    std::string target;                // inside the scratch folder
    std::vector<std::string> wrapper;  // runs the program under a limit
    std::vector<std::string> press;    // run arguments
    int code;
    std::string reason;  // empty: the press itself answers on stderr
  } cases[] = {
      {"its folder is a file",
       "plain/script.rsc",
       {},
       {"run", "router-users", "gen-3x", "编辑框_系统_密码=P", "--select", "组合框_系统_等级=1"},
       3,
       "Not a directory"},
      {"it is a folder",
       "folder",
       {},
       {"run", "router-users", "gen-3x", "编辑框_系统_密码=P", "--select", "组合框_系统_等级=1"},
       3,
       "Is a directory"},
      // No byte may be written to any file: a script written in place would have emptied the old one.
      {"the disk takes nothing",
       "old.rsc",
       {"/bin/bash", "-c", "ulimit -f 0; trap '' XFSZ; exec \"$0\" \"$@\"", ROSGEN_BIN},
       {"run", "router-users", "gen-3x", "编辑框_系统_密码=P", "--select", "组合框_系统_等级=1"},
       3,
       "File too large"},
      {"a refused press writes nothing", "old.rsc", {}, {"run", "router-users", "gen-3x"}, 1, ""},
      {"nor creates a file", "new.rsc", {}, {"run", "router-users", "gen-3x"}, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    write_bytes(dir.path() / "plain", "not a folder");
    fs::create_directory(dir.path() / "folder");
    write_bytes(dir.path() / "folder" / "inside", "kept");
    write_bytes(dir.path() / "old.rsc", "/ip address print\r\n");
    const auto before = snapshot(dir.path());
    const std::string target = (dir.path() / c.target).string();

    std::vector<std::string> args = c.press;
    args.insert(args.end(), {"-o", target});
    Result r;
    if (c.wrapper.empty()) {
      r = rosgen(args);
    } else {
      std::vector<std::string> all(c.wrapper.begin() + 1, c.wrapper.end());
      all.insert(all.end(), args.begin(), args.end());
      r = rosgen(all, c.wrapper[0]);
    }

    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.reason.empty() ? "[信息：] 密码不能为空!\n"
                                      : "rosgen: cannot write " + target + ": " + c.reason + "\n");
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

// --json: the same press, the same exit status, and everything it showed in one object.
TEST(Manners, JsonReport) {
  const std::string kServiceGbk = "\xB7\xFE\xCE\xF1";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    nlohmann::ordered_json messages;
    nlohmann::ordered_json opened;
    nlohmann::ordered_json warnings;               // null: no "warnings" key at all
    std::vector<std::string> same_output_as = {};  // a UTF-8 press printing the same text; else args
  } cases[] = {
      {"written",
       {"run", "router-users", "gen-3x", "编辑框_系统_密码=P", "--select", "组合框_系统_等级=1"},
       0,
       nlohmann::ordered_json::array(),
       nlohmann::ordered_json::array(),
       nullptr},
      {"refused",
       {"run", "router-users", "按钮_系统_2x生成"},
       1,
       {{{"caption", "信息："}, {"text", "密码不能为空!"}}},
       nlohmann::ordered_json::array(),
       nullptr},
      {"warned",
       {"run", "wan-fixed", "gen-3x", "gateway="},
       0,
       nlohmann::ordered_json::array(),
       nlohmann::ordered_json::array(),
       {{{"field", "编辑框_安装_外网网关ip"}, {"label", "外网网关IP"}, {"reason", "不能为空"}}}},
      {"warned and strict",
       {"run", "wan-fixed", "gen-3x", "gateway=", "--strict"},
       4,
       nlohmann::ordered_json::array(),
       nlohmann::ordered_json::array(),
       {{{"field", "编辑框_安装_外网网关ip"}, {"label", "外网网关IP"}, {"reason", "不能为空"}}}},
      {"an address opened",
       {"run", "ddns", "signup"},
       0,
       nlohmann::ordered_json::array(),
       {"https://rosgen.example.org/signup.asp?"},
       nullptr},
      {"gbk in, text out",
       {"run", "pppoe-server", "gen-3x", "编辑框_pppoe_服务名称=" + kServiceGbk, "--encoding", "gbk"},
       0,
       nlohmann::ordered_json::array(),
       nlohmann::ordered_json::array(),
       {{{"field", "编辑框_pppoe_服务名称"},
         {"label", "PPPoE服务名称"},
         {"reason", "含有中文字符，RouterOS脚本不支持"}}},
       {"run", "pppoe-server", "gen-3x", "编辑框_pppoe_服务名称=服务"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result plain = rosgen(c.args);
    Result text = c.same_output_as.empty() ? plain : rosgen(c.same_output_as);
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    Result r = rosgen(args);

    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(plain.code, c.code);
    EXPECT_EQ(r.err, "");
    auto j = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    std::vector<std::string> expected_keys{"output", "exit", "messages", "opened"};
    if (!c.warnings.is_null()) expected_keys.push_back("warnings");
    EXPECT_EQ(keys, expected_keys);
    EXPECT_EQ(j["output"], text.out);
    EXPECT_EQ(j["exit"], c.code);
    EXPECT_EQ(j["messages"], c.messages);
    EXPECT_EQ(j["opened"], c.opened);
    if (!c.warnings.is_null()) {
      EXPECT_EQ(j["warnings"], c.warnings);
    }
  }
}

// --json and -o together: the script goes to the file, the report to stdout.
TEST(Manners, JsonWithOutputFile) {
  Scratch dir;
  const fs::path file = dir.path() / "users.rsc";
  std::vector<std::string> press{"run",      "router-users",      "gen-3x", "编辑框_系统_密码=P",
                                 "--select", "组合框_系统_等级=1"};
  Result plain = rosgen(press);
  press.insert(press.end(), {"--json", "-o", file.string()});
  Result r = rosgen(press);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read_bytes(file), plain.out);
  EXPECT_EQ(nlohmann::json::parse(r.out)["output"], plain.out);
}

const fs::path kManPage = kSource / "docs" / "rosgen.1";

TEST(Manners, ManPageRendersWithoutWarnings) {
  Result r = rosgen({"groff", "-ww", "-z", "-man", kManPage.string()}, "/usr/bin/env");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

// Every command and every option the program accepts is in the man page, and its version is the build's.
TEST(Manners, ManPageCoversTheProgram) {
  const std::string page = read_bytes(kManPage);
  EXPECT_NE(page.find("\"rosgen " + project_version() + "\""), std::string::npos) << "the .TH version";
  for (const char* command : {"list", "show", "run", "check"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(page.find(std::string(".B rosgen ") + command), std::string::npos) << "in the synopsis";
    Result help = rosgen({command, "--help"});
    ASSERT_EQ(help.code, 0);
    static const std::regex option(R"((^|[ ,])(--?[a-z][a-z-]*))");
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), option), end; it != end; ++it) {
      std::string name = (*it)[2];
      std::string roff = std::regex_replace(name, std::regex("-"), "\\-");
      EXPECT_NE(page.find(roff), std::string::npos) << name;
    }
  }
  for (const char* status : {"0", "1", "2", "3", "4"}) {
    EXPECT_NE(page.find(std::string(".TP\n.B ") + status + "\n"), std::string::npos) << "exit status " << status;
  }
  EXPECT_NE(page.find(".SH EXAMPLES"), std::string::npos);
}

// Asks the completion as bash would on a tab press after `words`, the last being the one completed.
std::set<std::string> complete(const std::vector<std::string>& words) {
  std::vector<std::string> args{"-c",
                                "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _rosgen; "
                                "printf '%s\\n' \"${COMPREPLY[@]}\"",
                                "bash", (kSource / "packaging" / "rosgen.bash-completion").string()};
  args.insert(args.end(), words.begin(), words.end());
  Result r = rosgen(args, "/bin/bash");
  EXPECT_EQ(r.code, 0) << r.err;
  std::set<std::string> got;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) got.insert(line);
  return got;
}

TEST(Manners, CompletionOfCommandsAndOptions) {
  struct Case {
    const char* name;
    std::vector<std::string> words;
    std::set<std::string> expected;
  } cases[] = {
      {"command", {""}, {"list", "show", "run", "check", "--version", "--help"}},
      {"page by slug", {"run", "wan-f"}, {"wan-fixed"}},
      {"page of show", {"show", "multi-fixed-s"}, {"multi-fixed-split"}},
      {"button", {"run", "wan-fixed", "gen-"}, {"gen-2x", "gen-3x", "gen-7x"}},
      {"field key", {"run", "wan-fixed", "gen-3x", "lan-m"}, {"lan-mask="}},
      {"after an option and its value",
       {"run", "wan-fixed", "--today", "2010-01-01", "gen-3x", "wan-"},
       {"wan-nic=", "wan-ip=", "wan-mask="}},
      {"a value is the user's own", {"run", "wan-fixed", "gen-3x", "wan-ip=1"}, {}},
      {"combo", {"run", "router-users", "gen-3x", "--select", ""}, {"level="}},
      {"line list",
       {"run", "multi-fixed-balance", "gen-3x", "--select", "超级"},
       {"超级列表框_多线固定IP负载发装列表="}},
      {"encoding", {"run", "wan-fixed", "gen-3x", "--encoding", ""}, {"utf-8", "gbk"}},
      {"run option", {"run", "wan-fixed", "gen-3x", "--st"}, {"--strict"}},
      {"run option naming a folder", {"run", "wireguard", "gen-7x", "--pe"}, {"--peers-dir"}},
      {"show option", {"show", "wan-fixed", "--"}, {"--json", "--help"}},
      {"check option", {"check", "--s"}, {"--strict"}},
      {"nothing after a page for show", {"show", "wan-fixed", ""}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> words{ROSGEN_BIN};
    words.insert(words.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(complete(words), c.expected);
  }
}

// On every page, the buttons and fields offered are the ones `rosgen show --json` lists.
TEST(Manners, CompletionMatchesEveryPage) {
  Result list = rosgen({"list"});
  std::istringstream lines(list.out);
  int pages = 0;
  for (std::string line; std::getline(lines, line); ++pages) {
    const std::string slug = line.substr(line.find('\t') + 1, line.rfind('\t') - line.find('\t') - 1);
    SCOPED_TRACE(slug);
    auto j = nlohmann::json::parse(rosgen({"show", slug, "--json"}).out);
    std::set<std::string> buttons, texts, boxes, selects;
    for (const auto& b : j["buttons"]) buttons.insert(b["id"].get<std::string>());
    for (const auto& f : j["fields"]) {
      std::string name = f["key"].is_null() ? f["id"].get<std::string>() : f["key"].get<std::string>();
      std::string kind = f["kind"];
      if (kind == "edit" || kind == "multiline") texts.insert(name + "=");
      if (kind == "check" || kind == "radio") boxes.insert(name);
      if (kind == "combo") selects.insert(name + "=");
    }
    if (j.contains("list")) selects.insert(j["list"]["id"].get<std::string>() + "=");

    EXPECT_EQ(complete({ROSGEN_BIN, "run", slug, ""}), buttons);
    if (buttons.empty()) continue;
    const std::string button = *buttons.begin();
    EXPECT_EQ(complete({ROSGEN_BIN, "run", slug, button, ""}), texts);
    EXPECT_EQ(complete({ROSGEN_BIN, "run", slug, button, "--check", ""}), boxes);
    EXPECT_EQ(complete({ROSGEN_BIN, "run", slug, button, "--select", ""}), selects);
  }
  EXPECT_EQ(pages, 27);
}

}  // namespace
}  // namespace rosgen::test
