// rosgen: the command-line front end over the page engine.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>

#include "engine/describe.h"
#include "engine/driver.h"
#include "os/os.h"
#include "os/system_env.h"
#include "pages/registry.h"
#include "qr/qr.h"
#include "routeros/checker.h"
#include "routeros/model.h"
#include "script/product.h"
#include "script/text.h"

namespace rosgen {
namespace {

// What a press showed besides its output, kept for the --json report.
struct Shown {
  nlohmann::ordered_json messages = nlohmann::ordered_json::array();
  nlohmann::ordered_json opened = nlohmann::ordered_json::array();
};

// Message boxes and opened addresses go to stderr, one line each, or into `shown` when given.
class CliEnv : public SystemEnv {
 public:
  void message(const std::string& text, const std::string& caption) override {
    if (shown) {
      shown->messages.push_back({{"caption", caption}, {"text", text}});
    } else {
      std::cerr << '[' << caption << "] " << one_line(text) << '\n';
    }
  }
  std::optional<Gbk> input_box(const std::string&, const std::string&, const Gbk&) override { return answer; }
  void open_address(const std::string& address) override {
    if (shown) {
      shown->opened.push_back(address);
    } else {
      std::cerr << "[open] " << address << '\n';
    }
  }

  std::optional<Gbk> answer;  // --answer: typed into an input box and confirmed
  Shown* shown = nullptr;     // --json

 private:
  static std::string one_line(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "\\n";
      } else {
        out += text[i];
      }
    }
    return out;
  }
};

void print_show(const Page& page) {
  nlohmann::ordered_json j = describe_page(page);
  std::cout << page.index << ' ' << page.slug << ' ' << page.tab << '\n';
  if (!page.caption.empty()) std::cout << "caption: " << page.caption << '\n';
  if (!page.output.empty()) std::cout << "output: " << page.output << '\n';
  if (!page.built()) {
    std::cout << "(this page has no fields or buttons yet)\n";
    return;
  }
  std::cout << "fields:\n";
  for (const auto& f : j["fields"]) {
    std::cout << "  " << f["id"].get<std::string>() << (f["key"].is_null() ? "" : "  " + f["key"].get<std::string>())
              << "  [" << f["kind"].get<std::string>() << ", " << f["value_kind"].get<std::string>() << "] "
              << f["label"].get<std::string>() << "  default: " << f["default"].dump() << '\n';
  }
  if (j.contains("list")) {
    std::cout << "list: " << j["list"]["id"].get<std::string>() << '\n';
    for (const auto& c : j["list"]["columns"]) {
      std::cout << "  column " << c["title"].get<std::string>() << " <- " << c["field"].get<std::string>() << '\n';
    }
  }
  std::cout << "buttons:\n";
  for (const auto& b : j["buttons"]) {
    std::cout << "  " << b["id"].get<std::string>() << "  "
              << (b["designer"].is_null() ? "-" : b["designer"].get<std::string>()) << "  \""
              << b["caption"].get<std::string>() << "\"  (" << b["group"].get<std::string>() << ")\n";
  }
}

std::pair<std::string, std::string> split_assignment(const std::string& text, const char* what) {
  size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw UsageError(std::string(what) + " must be FIELD=VALUE: " + text);
  return {text.substr(0, eq), text.substr(eq + 1)};
}

std::optional<Date> parse_date(const std::string& text) {
  static const std::regex pattern(R"((\d{4})-(\d{2})-(\d{2}))");
  std::smatch m;
  if (!std::regex_match(text, m, pattern)) return std::nullopt;
  Date d{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1]) return std::nullopt;
  bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  if (d.month == 2 && d.day == 29 && !leap) return std::nullopt;
  return d;
}

const Page& need_page(const std::string& name) {
  const Page* page = find_page(name);
  if (!page) throw UsageError("no page " + name + " (rosgen list shows the pages)");
  return *page;
}

struct RunArgs {
  std::string page;
  std::string button;
  std::vector<std::string> values;
  std::vector<std::string> check;
  std::vector<std::string> uncheck;
  std::vector<std::string> select;
  std::vector<std::string> rows;
  std::optional<std::string> answer;
  std::optional<std::string> today;  // an empty one is a bad date, not the clock's
  std::string encoding = "utf-8";
  bool strict = false;
  bool json = false;
  std::optional<std::string> output_file;  // -o
  std::optional<std::string> peers_dir;    // --peers-dir: where the press's client files go
};

// The client files of a press, each readable by its owner only (they hold private keys), and a
// PNG of its QR code beside it: `phone.conf` and `phone.png`. A missing folder is made for the
// owner alone. Empty on success, else what could not be written and why.
std::string write_peer_files(const std::string& dir, const std::vector<OutputFile>& files) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    if (::mkdir(dir.c_str(), 0700) != 0) return dir + ": " + std::strerror(errno);
  }
  for (const OutputFile& f : files) {
    const fs::path conf = fs::path(dir) / f.name;
    const mode_t mode = f.secret ? 0600 : 0644;
    if (auto e = os::replace_file(conf, f.text, mode)) return conf.string() + ": " + *e;
    if (!f.qr) continue;
    const fs::path png = fs::path(conf).replace_extension(".png");
    const std::optional<qr::Code> code = qr::encode(f.text);
    if (!code) return png.string() + ": too long for a QR code";
    if (auto e = os::replace_file(png, qr::png(*code), mode)) return png.string() + ": " + *e;
  }
  return {};
}

int run_command(const RunArgs& a) {
  const Page& page = need_page(a.page);
  bool gbk = a.encoding == "gbk";
  auto in = [gbk](const std::string& s) { return gbk ? Gbk::from_bytes(s) : to_gbk(s); };

  CliEnv env;
  if (a.today) {
    env.fixed_today = parse_date(*a.today);
    if (!env.fixed_today) throw UsageError("--today must be a date YYYY-MM-DD: " + *a.today);
  }
  if (a.answer) env.answer = in(*a.answer);
  Shown shown;
  if (a.json) env.shown = &shown;

  Press p;
  p.button = a.button;
  for (const std::string& v : a.values) {
    auto [id, value] = split_assignment(v, "a field value");
    p.values.emplace_back(id, in(value));
  }
  p.check = a.check;
  p.uncheck = a.uncheck;
  for (const std::string& s : a.select) {
    auto [id, n] = split_assignment(s, "--select");
    static const std::regex number(R"(-?\d{1,6})");
    if (!std::regex_match(n, number)) throw UsageError("--select needs a number: " + s);
    p.select.emplace_back(id, std::stoi(n));
  }
  for (const std::string& r : a.rows) p.rows.push_back(split(in(r), "|"_a));

  auto form = start_form(page);
  std::vector<FieldWarning> warnings;
  Outcome outcome = press(*form, env, p, &warnings);
  if (!a.json) {
    for (const FieldWarning& w : warnings)
      std::cerr << "[warning] " << w.id << " (" << w.label << "): " << w.reason << '\n';
  }
  int code = outcome == Outcome::Refused ? 1 : a.strict && !warnings.empty() ? 4 : 0;
  const std::string out = gbk ? form->output().bytes() : to_utf8(form->output());
  if (a.output_file) {
    // A refused press leaves the file as it was: there is no new script to put there.
    if (code != 1) {
      if (auto error = os::replace_file(*a.output_file, out)) {
        std::cerr << "rosgen: cannot write " << *a.output_file << ": " << *error << '\n';
        code = 3;
      }
    }
  } else if (!a.json) {
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  const std::vector<OutputFile>& files = form->files();
  if (code != 1 && files.empty() && a.peers_dir) {
    std::cerr << "rosgen: this press made no clients' files; nothing was written to " << *a.peers_dir << '\n';
  }
  if (code != 1 && !files.empty()) {
    if (a.peers_dir) {
      std::string error = write_peer_files(*a.peers_dir, files);
      if (!error.empty()) {
        std::cerr << "rosgen: cannot write " << error << '\n';
        code = 3;
      }
    } else if (!a.json) {
      // Their keys are in the script: without the files it is of no use to its clients.
      std::cerr << "rosgen: the clients' files were not written (--peers-dir DIR writes them):";
      for (const OutputFile& f : files) std::cerr << ' ' << f.name;
      std::cerr << '\n';
    }
  }
  if (a.json) {
    // JSON is UTF-8 whatever the script's encoding.
    nlohmann::ordered_json j{{"output", to_utf8(form->output())},
                             {"exit", code},
                             {"messages", std::move(shown.messages)},
                             {"opened", std::move(shown.opened)}};
    if (!warnings.empty()) {
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (const FieldWarning& w : warnings)
        list.push_back({{"field", w.id}, {"label", w.label}, {"reason", w.reason}});
      j["warnings"] = std::move(list);
    }
    if (code != 1 && !files.empty()) {
      nlohmann::ordered_json names = nlohmann::ordered_json::array();
      for (const OutputFile& f : files) names.push_back(f.name);
      j["files"] = std::move(names);
    }
    std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  }
  std::fflush(stdout);
  return code;
}

struct CheckArgs {
  std::string file = "-";
  std::string encoding = "utf-8";
  std::string base = "none";
  bool strict = false;
};

std::string read_script(const std::string& file) {
  std::string text;
  char buf[65536];
  if (file == "-") {
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) text.append(buf, n);
    if (std::ferror(stdin)) throw UsageError("cannot read standard input");
    return text;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) throw UsageError("cannot read " + file + ": it is a folder");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw UsageError("cannot read " + file + ": " + std::strerror(errno));
  while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, static_cast<size_t>(in.gcount()));
  if (in.bad()) throw UsageError("cannot read " + file);
  return text;
}

// One line per finding, as compilers write them; 1 when the script would not run as written.
int check_command(const CheckArgs& a) {
  std::string text = read_script(a.file);
  if (a.encoding == "gbk") text = to_utf8(Gbk::from_bytes(std::move(text)));
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);  // a byte-order mark is not part of the script
  bool failed = false;
  const ros7::Base base = a.base == "defconf" ? ros7::Base::Defconf : ros7::Base::None;
  for (const ros7::Finding& f : ros7::check(text, base)) {
    const bool error = f.severity == ros7::Severity::Error;
    failed = failed || error || a.strict;
    std::cout << a.file << ':' << f.line << ':' << f.col << (error ? ": error: " : ": warning: ") << f.message;
    if (!f.rule.empty()) std::cout << " [" << f.rule << ']';
    std::cout << '\n';
  }
  return failed ? 1 : 0;
}

int main_impl(int argc, char** argv) {
  CLI::App app{"rosgen: RouterOS script generator: 2.9.x/3.x and 7.x scripts, and a RouterOS 7 script checker"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("rosgen ") + product::kVersion);

  app.add_subcommand("list", "list the pages: index, slug, tab text");

  auto* show = app.add_subcommand("show", "show a page's fields and buttons");
  std::string show_page;
  bool json = false;
  show->add_option("PAGE", show_page, "tab index or slug")->required();
  show->add_flag("--json", json, "print one JSON object");

  auto* run = app.add_subcommand("run", "fill a page, press a button, print the output box");
  RunArgs a;
  run->add_option("PAGE", a.page, "tab index or slug")->required();
  run->add_option("BUTTON", a.button, "button id or designer name")->required();
  run->add_option("FIELD=VALUE", a.values, "field values, exactly as typed");
  run->add_option("--check", a.check, "tick a check box or select a radio button")->allow_extra_args(false);
  run->add_option("--uncheck", a.uncheck, "clear a check box")->allow_extra_args(false);
  run->add_option("--select", a.select, "FIELD=N: combo item N, or line-list row N (from 1)")->allow_extra_args(false);
  run->add_option("--row", a.rows, "'CELL|CELL|...': add a line-list row")->allow_extra_args(false);
  run->add_option("--answer", a.answer, "text typed into an input box and confirmed");
  run->add_option("--today", a.today, "the local date the program sees, YYYY-MM-DD");
  run->add_option("--encoding", a.encoding, "of field values and output: utf-8 (default) or gbk")
      ->check(CLI::IsMember({"utf-8", "gbk"}));
  run->add_flag("--strict", a.strict, "exit 4 when a field the script was made from does not fit its kind");
  run->add_flag("--json", a.json, "print one JSON object: output, exit, messages, opened, warnings");
  run->add_option("-o,--output", a.output_file, "write the output box to this file instead of stdout");
  run->add_option("--peers-dir", a.peers_dir,
                  "write the clients' files the press makes (NAME.conf, and its QR code NAME.png) into this folder");

  auto* check = app.add_subcommand(
      "check", "check a RouterOS 7 script: RouterOS 7's command tree, then what it does to a router's configuration");
  CheckArgs c;
  check->add_option("FILE", c.file, "the script; - or nothing for standard input");
  check->add_option("--encoding", c.encoding, "of the script: utf-8 (default) or gbk")
      ->check(CLI::IsMember({"utf-8", "gbk"}));
  check
      ->add_option("--base", c.base,
                   "the configuration the script is applied to: none (a whole export, the default) or defconf "
                   "(a snippet for a router on its default configuration)")
      ->check(CLI::IsMember({"none", "defconf"}));
  check->add_flag("--strict", c.strict, "warnings fail the check too");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "rosgen: " << e.what() << " (rosgen --help shows the usage)\n";
    return 2;
  }

  try {
    if (app.got_subcommand("list")) {
      for (const Page& page : pages()) std::cout << page.index << '\t' << page.slug << '\t' << page.tab << '\n';
      return 0;
    }
    if (app.got_subcommand("show")) {
      const Page& page = need_page(show_page);
      if (json) {
        std::cout << describe_page(page).dump(2) << '\n';
      } else {
        print_show(page);
      }
      return 0;
    }
    if (app.got_subcommand("check")) return check_command(c);
    return run_command(a);
  } catch (const UsageError& e) {
    std::cerr << "rosgen: " << e.what() << '\n';
    return 2;
  }
}

}  // namespace
}  // namespace rosgen

int main(int argc, char** argv) {
  int code = 3;
  try {
    code = rosgen::main_impl(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "rosgen: internal error: " << e.what() << '\n';
  }
  // A script lost on a full disk or a broken pipe must not pass for written.
  std::cout.flush();
  if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout) {
    std::cerr << "rosgen: cannot write the output\n";
    return 3;
  }
  return code;
}
