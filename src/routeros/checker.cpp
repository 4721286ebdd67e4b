// A RouterOS 7 script reader that knows as much of the language as checking needs: paths, commands,
// arguments, values with their quotes, variables, (expressions), [commands] and {blocks}.
// It is strict about names and syntax and lenient about values, as the router is.
#include "routeros/checker.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <span>

#include "routeros/tree.h"

namespace rosgen::ros7 {
namespace {

// Deeper nesting than any real script has; beyond it the rest of the text is not read.
constexpr int kMaxDepth = 64;

struct Raw {
  std::size_t at;  // byte offset in the whole script
  Severity severity;
  std::string message;
  std::string chinese;
};

class Lines {
 public:
  explicit Lines(std::string_view text) : size_(text.size()) {
    starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts_.push_back(i + 1);
    }
  }
  std::pair<int, int> at(std::size_t offset) const {
    offset = std::min(offset, size_);
    auto it = std::upper_bound(starts_.begin(), starts_.end(), offset) - 1;
    return {static_cast<int>(it - starts_.begin()) + 1, static_cast<int>(offset - *it) + 1};
  }
  std::string text(std::size_t offset) const {
    auto [line, col] = at(offset);
    return std::to_string(line) + ":" + std::to_string(col);
  }

 private:
  std::size_t size_;
  std::vector<std::size_t> starts_;
};

// Arguments whose quoted value is itself a script, run from the root menu.
struct ScriptArg {
  std::string_view command_path;  // the command's path, or the menu its commands live in
  std::string_view arg;
};
constexpr ScriptArg kScriptArgs[] = {
    {"/system/scheduler/", "on-event"},
    {"/system/script/", "source"},
    {"/tool/netwatch/", "up-script"},
    {"/tool/netwatch/", "down-script"},
    {"/tool/netwatch/", "test-script"},
    {"/ppp/profile/", "on-up"},
    {"/ppp/profile/", "on-down"},
    {"/ip/dhcp-server/", "lease-script"},
    {"/ip/dhcp-client/", "script"},
    {"/ipv6/dhcp-client/", "script"},
    {"/ipv6/dhcp-server/", "binding-script"},
    {"/ip/hotspot/user/profile/", "on-login"},
    {"/ip/hotspot/user/profile/", "on-logout"},
    {"/execute", "script"},
};

// Closed lists RouterOS keeps for the IPv4 firewall where its command tree gives no description,
// as MikroTik's manual has them: the pages "Filter", "NAT", "Mangle" and "RAW" (each table's
// actions and predefined chains) and "Common Firewall Matchers and Actions" (the actions all tables
// share; a protocol by name or number).
constexpr std::string_view kFilterActions[] = {"accept",
                                               "add-dst-to-address-list",
                                               "add-src-to-address-list",
                                               "drop",
                                               "fasttrack-connection",
                                               "jump",
                                               "log",
                                               "passthrough",
                                               "reject",
                                               "return",
                                               "tarpit"};
constexpr std::string_view kNatActions[] = {"accept",
                                            "add-dst-to-address-list",
                                            "add-src-to-address-list",
                                            "dst-nat",
                                            "endpoint-independent-nat",
                                            "jump",
                                            "log",
                                            "masquerade",
                                            "netmap",
                                            "passthrough",
                                            "redirect",
                                            "return",
                                            "same",
                                            "src-nat"};
constexpr std::string_view kMangleActions[] = {"accept",
                                               "add-dst-to-address-list",
                                               "add-src-to-address-list",
                                               "change-dscp",
                                               "change-mss",
                                               "change-ttl",
                                               "clear-df",
                                               "fasttrack-connection",
                                               "jump",
                                               "log",
                                               "mark-connection",
                                               "mark-packet",
                                               "mark-routing",
                                               "passthrough",
                                               "return",
                                               "route",
                                               "set-priority",
                                               "sniff-pc",
                                               "sniff-tzsp",
                                               "strip-ipv4-options"};
constexpr std::string_view kRawActions[] = {
    "accept", "add-dst-to-address-list", "add-src-to-address-list", "drop", "jump", "log", "notrack", "passthrough",
    "return"};
constexpr std::string_view kFilterChains[] = {"input", "forward", "output"};
constexpr std::string_view kNatChains[] = {"srcnat", "dstnat", "input", "output"};
constexpr std::string_view kMangleChains[] = {"prerouting", "input", "forward", "output", "postrouting"};
constexpr std::string_view kRawChains[] = {"prerouting", "output"};
constexpr std::string_view kProtocols[] = {
    "dccp", "ddp",        "egp",       "encap",      "etherip",   "ggp",        "gre",      "hmp",
    "icmp", "icmpv6",     "idpr-cmtp", "igmp",       "ipencap",   "ipip",       "ipsec-ah", "ipsec-esp",
    "ipv6", "ipv6-encap", "ipv6-frag", "ipv6-nonxt", "ipv6-opts", "ipv6-route", "iso-tp4",  "l2tp",
    "ospf", "pim",        "pup",       "rdp",        "rspf",      "rsvp",       "sctp",     "st",
    "tcp",  "udp",        "udp-lite",  "vmtp",       "vrrp",      "xns-idp",    "xtp"};

struct FirewallTable {
  std::string_view menu;
  std::span<const std::string_view> actions;
  std::span<const std::string_view> chains;
};
constexpr FirewallTable kFirewallTables[] = {
    {"/ip/firewall/filter", kFilterActions, kFilterChains},
    {"/ip/firewall/nat", kNatActions, kNatChains},
    {"/ip/firewall/mangle", kMangleActions, kMangleChains},
    {"/ip/firewall/raw", kRawActions, kRawChains},
};

// The table a rule is added to or changed in; nullptr for any other command.
const FirewallTable* firewall_table(Node command) {
  if (command.name() != "add" && command.name() != "set") return nullptr;
  const std::string menu = command.parent().path();
  for (const FirewallTable& t : kFirewallTables) {
    if (t.menu == menu) return &t;
  }
  return nullptr;
}

bool contains(std::span<const std::string_view> words, std::string_view word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

std::string joined(std::span<const std::string_view> words, std::string_view separator) {
  std::string out;
  for (std::string_view w : words) {
    if (!out.empty()) out += separator;
    out += w;
  }
  return out;
}

// Chains that are not built in are the script's own; one that nothing jumps to is most likely a
// misspelt built-in chain, whose rules would never see a packet.
struct ChainUse {
  const FirewallTable* table;
  std::string name;
  std::size_t at;  // in the whole script
};
struct Chains {
  std::vector<ChainUse> custom;
  std::set<std::pair<const FirewallTable*, std::string>> jumped_to;
  std::set<const FirewallTable*> any_jump;  // a jump whose target is only known when run
};

// Properties every item has, whether or not a command lists them.
constexpr std::string_view kCommonArgs[] = {"comment", "disabled", "numbers", "place-before", "copy-from"};

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_closer(int c) { return c == ')' || c == ']' || c == '}'; }
bool is_name_char(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}
bool is_hex(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
int hex_value(int c) { return c <= '9' ? c - '0' : c - 'A' + 10; }
bool is_plain_word(std::string_view w) { return !w.empty() && std::all_of(w.begin(), w.end(), is_name_char); }

std::string quote(std::string_view s) { return "'" + std::string(s) + "'"; }

std::string names_list(const std::vector<std::string_view>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < 6; ++i) {
    if (i) out += ", ";
    out += names[i];
  }
  if (names.size() > 6) out += ", ...";
  return out;
}

// The unescaped content of a quoted string, with where each byte stands in the whole script.
struct Unquoted {
  std::string text;
  std::vector<std::uint32_t> origin;  // one more than text: the closing quote
  bool has_variable = false;          // an unescaped '$': the value is only known when run
  bool has_escape = false;
  bool closed = false;
};

class Reader {
 public:
  // `origin`, when given, maps each byte of `text` (and its end) to its offset in the whole script.
  Reader(std::string_view text, const std::vector<std::uint32_t>* origin, const Lines& lines, std::vector<Raw>& out,
         Chains& chains, int depth)
      : s_(text), origin_(origin), lines_(lines), out_(out), chains_(chains), depth_(depth) {}

  void script(Node menu) { block(menu, 0, false); }

 private:
  // --- characters ---------------------------------------------------------------------------

  // A backslash at the end of a line joins the next line, without its indent.
  void skip_continuation() {
    while (pos_ < s_.size() && s_[pos_] == '\\') {
      std::size_t k = pos_ + 1;
      if (k < s_.size() && s_[k] == '\r') ++k;
      if (k >= s_.size() || s_[k] != '\n') return;
      pos_ = k + 1;
      while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
    }
  }
  int peek() {
    skip_continuation();
    return pos_ < s_.size() ? static_cast<unsigned char>(s_[pos_]) : -1;
  }
  int raw_peek() const { return pos_ < s_.size() ? static_cast<unsigned char>(s_[pos_]) : -1; }
  void advance() { ++pos_; }
  std::size_t outer(std::size_t i) const {
    if (!origin_) return i;
    return (*origin_)[std::min(i, origin_->size() - 1)];
  }

  void report(std::size_t at, Severity severity, std::string message, std::string chinese) {
    if (abandoned_) return;
    out_.push_back({outer(at), severity, std::move(message), std::move(chinese)});
  }
  void error(std::size_t at, std::string message, std::string chinese) {
    report(at, Severity::Error, std::move(message), std::move(chinese));
  }
  void stray(int c) {
    const std::string ch(1, static_cast<char>(c));
    error(pos_, "stray '" + ch + "'", "多余的 '" + ch + "'");
  }

  void skip_blanks(bool newline_blank) {
    for (int c = peek(); is_blank(c) || (newline_blank && c == '\n'); c = peek()) advance();
  }
  bool ends_command(int c, bool newline_blank) const {
    return c == -1 || c == ';' || (c == '\n' && !newline_blank) || is_closer(c);
  }
  bool closes_outer(int c) const { return std::find(open_.begin(), open_.end(), c) != open_.end(); }

  // --- groups -------------------------------------------------------------------------------

  // Reads `open ... close` with `body` between; reports an unclosed one where it ends.
  template <typename Body>
  void group(char open, char close, Body body) {
    const std::size_t at = pos_;
    advance();
    if (++depth_ > kMaxDepth) {
      error(at, "nesting deeper than " + std::to_string(kMaxDepth) + " levels",
            "嵌套超过 " + std::to_string(kMaxDepth) + " 层");
      abandoned_ = true;  // the groups around it are not reported unclosed
      pos_ = s_.size();
      --depth_;
      return;
    }
    open_.push_back(close);
    body();
    open_.pop_back();
    --depth_;
    if (peek() == close) {
      advance();
    } else {
      const std::string where = lines_.text(outer(at));
      error(end_of_content(), "unclosed '" + std::string(1, open) + "' opened at " + where,
            "'" + std::string(1, open) + "' 没有闭合（开始于 " + where + "）");
    }
  }
  // Where a missing closer is reported: here, or at the end of the last line when the text ran out.
  std::size_t end_of_content() const {
    if (pos_ < s_.size()) return pos_;
    std::size_t end = s_.size();
    while (end > 0 && (s_[end - 1] == '\n' || s_[end - 1] == '\r')) --end;
    return end;
  }

  // Statements until `closer` (0: the end of the text); a path alone changes the menu after it.
  void block(Node menu, char closer, bool newline_blank) {
    for (;;) {
      skip_blanks(newline_blank);
      int c = peek();
      if (c == -1) return;
      if (c == '\n' || c == ';') {
        advance();
      } else if (c == '#') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else if (is_closer(c)) {
        if (c == closer || closes_outer(c)) return;
        stray(c);
        advance();
      } else {
        statement(menu, newline_blank);
      }
    }
  }

  // Any bracketing in an expression, an array or a `where` filter; names there are not commands.
  void expression(Node menu, int closer, bool until_command_end, bool newline_blank) {
    for (;;) {
      if (until_command_end) {
        skip_blanks(newline_blank);
        if (ends_command(peek(), newline_blank)) return;
      } else {
        skip_blanks(true);
      }
      int c = peek();
      if (c == -1) return;
      if (is_closer(c)) {
        if (c == closer || closes_outer(c)) return;
        stray(c);
        advance();
      } else if (c == '"') {
        string_literal(nullptr);
      } else if (c == '[') {
        group('[', ']', [&] { block(menu, ']', true); });
      } else if (c == '(') {
        group('(', ')', [&] { expression(menu, ')', false, true); });
      } else if (c == '{') {
        group('{', '}', [&] { expression(menu, '}', false, true); });
      } else {
        advance();
      }
    }
  }

  // --- statements ---------------------------------------------------------------------------

  void statement(Node& menu, bool newline_blank) {
    int c = peek();
    if (c == '{') {
      group('{', '}', [&] { block(menu, '}', false); });
      return;
    }
    Node cur = menu;
    bool moved = false;
    bool global = false;
    if (c == ':') {
      advance();
      cur = Node::root();
      global = true;
    } else if (c == '/') {
      advance();
      cur = Node::root();
      moved = true;
    }
    std::optional<Node> command;
    for (;;) {
      skip_blanks(false);
      c = peek();
      if (c == '/') {
        advance();
        continue;
      }
      if (ends_command(c, newline_blank) || c == '\n' || c == '"' || c == '[' || c == '(' || c == '{' || c == '$' ||
          c == '=') {
        break;
      }
      const std::size_t at = pos_;
      std::string word;
      for (c = peek(); c != -1 && !is_blank(c) && c != '\n' && c != '/' && c != '=' && c != ';' && c != '"' &&
                       c != '[' && c != '(' && c != '{' && c != '$' && !is_closer(c);
           c = peek()) {
        word += static_cast<char>(c);
        advance();
      }
      if (c == '=') {
        error(at, "expected a command in " + cur.path() + " before " + quote(word + "="),
              cur.path() + " 中 " + quote(word + "=") + " 之前缺少命令");
        arguments(std::nullopt, cur, newline_blank);
        return;
      }
      if (word == "..") {
        cur = cur.parent();
        moved = true;
        continue;
      }
      Lookup found = lookup(cur, word);
      if (found.result == Lookup::Result::None || found.node->kind() == Kind::Argument) {
        error(at, "unknown command " + quote(word) + " in " + cur.path(),
              "未知的命令 " + quote(word) + "（" + cur.path() + "）");
        arguments(std::nullopt, cur, newline_blank);
        return;
      }
      if (found.result == Lookup::Result::Ambiguous) {
        error(at, "ambiguous command " + quote(word) + " in " + cur.path() + ": " + names_list(found.candidates),
              "命令 " + quote(word) + " 有歧义（" + cur.path() + "）：" + names_list(found.candidates));
        arguments(std::nullopt, cur, newline_blank);
        return;
      }
      if (found.result == Lookup::Result::Prefix) {
        report(at, Severity::Warning, "abbreviated " + quote(word) + " for " + quote(found.node->name()),
               quote(word) + " 是 " + quote(found.node->name()) + " 的缩写");
      }
      if (found.node->kind() == Kind::Menu) {
        cur = *found.node;
        moved = true;
        continue;
      }
      command = found.node;
      break;
    }
    if (!command) {
      if (ends_command(peek(), newline_blank)) {
        if (moved && !global) menu = cur;
        return;
      }
      // `$function arg=...`, a bare string or expression: read for its syntax only.
      arguments(std::nullopt, menu, newline_blank);
      return;
    }
    // [commands] and {blocks} of a script command run in the menu the script stands in; those of
    // a menu's own command run in that menu.
    arguments(command, global || command->parent().is_root() ? menu : command->parent(), newline_blank);
  }

  std::optional<Node> argument_of(Node command, const std::string& name, std::size_t at) {
    if (auto exact = command.child(name)) return exact;
    if (std::find(std::begin(kCommonArgs), std::end(kCommonArgs), name) != std::end(kCommonArgs)) return std::nullopt;
    // `find` and `print` filter on any property.
    if (name.front() == '.' || command.name() == "find" || command.name() == "print") return std::nullopt;
    Lookup found = lookup(command, name);
    switch (found.result) {
      case Lookup::Result::Prefix:
        report(at, Severity::Warning, "abbreviated " + quote(name) + " for " + quote(found.node->name()),
               quote(name) + " 是 " + quote(found.node->name()) + " 的缩写");
        return found.node;
      case Lookup::Result::Ambiguous:
        error(at, "ambiguous argument " + quote(name) + " for " + command.path() + ": " + names_list(found.candidates),
              "参数 " + quote(name) + " 有歧义（" + command.path() + "）：" + names_list(found.candidates));
        return std::nullopt;
      default:
        error(at, "unknown argument " + quote(name) + " for " + command.path(),
              "未知的参数 " + quote(name) + "（" + command.path() + "）");
        return std::nullopt;
    }
  }

  void arguments(std::optional<Node> command, Node menu, bool newline_blank) {
    for (;;) {
      skip_blanks(newline_blank);
      if (ends_command(peek(), newline_blank)) return;
      const std::size_t at = pos_;
      std::string name;
      for (int c = peek(); is_name_char(c); c = peek()) {
        name += static_cast<char>(c);
        advance();
      }
      const int next = peek();
      if (!name.empty() && next == '=') {
        advance();
        std::optional<Node> arg = command ? argument_of(*command, name, at) : std::nullopt;
        value(command, arg, name, menu, newline_blank);
        continue;
      }
      if (!name.empty() && (is_blank(next) || ends_command(next, newline_blank) || next == '\n')) {
        if (name == "where" && command && command->child("where")) {
          expression(menu, -1, true, newline_blank);
          return;
        }
        continue;  // a flag such as `detail`, or an unnamed value such as `0` or `1.1.1.1`
      }
      pos_ = at;
      value(command, std::nullopt, {}, menu, newline_blank);
    }
  }

  // --- values -------------------------------------------------------------------------------

  bool is_script_arg(Node command, std::optional<Node> arg) const {
    if (!arg) return false;
    if (arg->desc() == "script") return true;
    const std::string path = command.path();
    for (const ScriptArg& s : kScriptArgs) {
      if (arg->name() == s.arg && (path == s.command_path || path.starts_with(s.command_path))) return true;
    }
    return false;
  }
  bool is_code_block(std::optional<Node> command, std::optional<Node> arg, std::string_view name) const {
    if (!command) return false;
    if (arg) {
      return name == "do" || name == "else" || name == "on-error" || name == "command" || is_script_arg(*command, arg);
    }
    // Unnamed: `:do { ... }`, `:time { ... }`, `:execute { ... }`; elsewhere `{...}` is an array.
    if (!command->parent().is_root()) return false;
    const std::string_view c = command->name();
    return c == "do" || c == "time" || c == "execute" || c == "retry";
  }

  void value(std::optional<Node> command, std::optional<Node> arg, std::string_view name, Node menu,
             bool newline_blank) {
    std::string text;  // the value's plain text, when it has nothing only known when run
    std::vector<std::size_t> text_at;
    bool dynamic = false;
    int pieces = 0;
    std::optional<Unquoted> quoted;
    for (int c = peek(); !is_blank(c) && c != '\n' && !ends_command(c, newline_blank); c = peek()) {
      ++pieces;
      if (c == '"') {
        Unquoted u;
        const std::size_t at = pos_;
        string_literal(&u);
        if (u.has_variable) dynamic = true;
        for (std::size_t i = 0; i < u.text.size(); ++i) {
          text += u.text[i];
          text_at.push_back(at + 1 + i);  // close enough for a message; exact for plain text
        }
        if (u.has_escape) dynamic = true;  // escaped text is not a plain word anyway
        quoted = std::move(u);
      } else if (c == '$') {
        dynamic = true;
        advance();
      } else if (c == '[') {
        dynamic = true;
        group('[', ']', [&] { block(menu, ']', true); });
      } else if (c == '(') {
        dynamic = true;
        group('(', ')', [&] { expression(menu, ')', false, true); });
      } else if (c == '{') {
        dynamic = true;
        if (is_code_block(command, arg, name)) {
          const Node inner = arg && is_script_arg(*command, arg) ? Node::root() : menu;
          group('{', '}', [&] { block(inner, '}', false); });
        } else {
          group('{', '}', [&] { expression(menu, '}', false, true); });
        }
      } else {
        text += static_cast<char>(c);
        text_at.push_back(pos_);
        advance();
      }
    }
    if (!command || !arg) return;
    if (pieces == 1 && quoted && quoted->closed && is_script_arg(*command, arg)) {
      embedded_script(*quoted);
      return;
    }
    const FirewallTable* table = firewall_table(*command);
    if (table && arg->name() == "jump-target") {
      if (dynamic) {
        chains_.any_jump.insert(table);
      } else {
        chains_.jumped_to.emplace(table, text);
      }
    }
    if (dynamic) return;
    check_words(*command, *arg, text, text_at);
    if (table) check_firewall(*command, *table, *arg, text, text_at);
  }

  // The firewall's own closed lists: a wrong action or protocol is refused by the router; a chain
  // that is not built in is judged once the whole script has been read.
  void check_firewall(Node command, const FirewallTable& table, Node arg, std::string_view text,
                      const std::vector<std::size_t>& text_at) {
    const std::size_t begin = !text.empty() && text.front() == '!' ? 1 : 0;
    const std::string_view word = text.substr(begin);
    if (!is_plain_word(word)) return;
    const std::string_view name = arg.name();
    if (name == "action" && !contains(table.actions, word)) {
      const std::string allowed = joined(table.actions, "|");
      error(text_at[begin],
            "invalid value " + quote(word) + " for 'action' of " + command.path() + " (allowed: " + allowed + ")",
            command.path() + " 的 'action' 不能取值 " + quote(word) + "（可取：" + allowed + "）");
    } else if (name == "protocol" && !contains(kProtocols, word) && !is_protocol_number(word)) {
      error(text_at[begin],
            "unknown protocol " + quote(word) + " for " + command.path() +
                " (a name such as tcp, udp, icmp, or a number 0-255)",
            command.path() + " 中未知的协议 " + quote(word) + "（应为 tcp、udp、icmp 等名称或 0-255 的数字）");
    } else if (name == "chain" && begin == 0 && !contains(table.chains, word)) {
      chains_.custom.push_back({&table, std::string(word), outer(text_at[0])});
    }
  }
  static bool is_protocol_number(std::string_view word) {
    if (word.empty() || word.size() > 3 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    return std::stoi(std::string(word)) <= 255;
  }

  // A closed word list takes only its words; `!` negates, and list arguments take a comma list.
  void check_words(Node command, Node arg, std::string_view text, const std::vector<std::size_t>& text_at) {
    const WordList* words = word_list(arg);
    if (!words || text.empty()) return;
    std::size_t begin = text.front() == '!' ? 1 : 0;
    for (;;) {
      std::size_t end = words->list ? text.find(',', begin) : std::string_view::npos;
      if (end == std::string_view::npos) end = text.size();
      const std::string_view word = text.substr(begin, end - begin);
      if (!word.empty()) {
        if (!words->list && !is_plain_word(word)) return;  // free text the list cannot judge
        if (is_plain_word(word) && !words->allows(word)) {
          const std::string allowed(arg.desc().substr(0, arg.desc().find('[')));
          error(text_at[begin],
                "invalid value " + quote(word) + " for " + quote(arg.name()) + " of " + command.path() +
                    " (allowed: " + allowed + ")",
                command.path() + " 的 " + quote(arg.name()) + " 不能取值 " + quote(word) + "（可取：" + allowed + "）");
        }
      }
      if (end >= text.size()) return;
      begin = end + 1;
    }
  }

  // A quoted script: checked as a script of its own, reported at its place in the whole text.
  void embedded_script(const Unquoted& u) {
    // A single word is the name of a script to run, not a script.
    if (std::all_of(u.text.begin(), u.text.end(), [](char c) { return is_name_char(static_cast<unsigned char>(c)); }))
      return;
    if (depth_ + 1 > kMaxDepth) return;
    Reader inner(u.text, &u.origin, lines_, out_, chains_, depth_ + 1);
    inner.script(Node::root());
  }

  // Reads a quoted string from its opening quote; fills `out` when given.
  void string_literal(Unquoted* out) {
    const std::size_t at = pos_;
    advance();
    for (;;) {
      int c = peek();
      if (c == -1) {
        const std::string where = lines_.text(outer(at));
        error(end_of_content(), "unclosed '\"' opened at " + where, "'\"' 没有闭合（开始于 " + where + "）");
        if (out) out->origin.push_back(static_cast<std::uint32_t>(outer(s_.size())));
        return;
      }
      if (c == '"') {
        if (out) {
          out->origin.push_back(static_cast<std::uint32_t>(outer(pos_)));
          out->closed = true;
        }
        advance();
        return;
      }
      const std::size_t from = pos_;
      char byte = static_cast<char>(c);
      advance();
      if (c == '$' && out) out->has_variable = true;
      if (c == '\\') {
        // The escaped byte itself is never a line join: "\\" at a line end is a backslash.
        int e = raw_peek();
        if (e == -1) continue;
        advance();
        if (out) out->has_escape = true;
        if (is_hex(e) && is_hex(raw_peek())) {
          byte = static_cast<char>(hex_value(e) * 16 + hex_value(raw_peek()));
          advance();
        } else {
          switch (e) {
            case 'n': byte = '\n'; break;
            case 'r': byte = '\r'; break;
            case 't': byte = '\t'; break;
            case '_': byte = ' '; break;
            case 'a': byte = '\a'; break;
            case 'b': byte = '\b'; break;
            case 'f': byte = '\f'; break;
            case 'v': byte = '\v'; break;
            default: byte = static_cast<char>(e); break;  // \" \\ \$ \? and the like
          }
        }
      }
      if (out) {
        out->text += byte;
        out->origin.push_back(static_cast<std::uint32_t>(outer(from)));
      }
    }
  }

  std::string_view s_;
  const std::vector<std::uint32_t>* origin_;
  const Lines& lines_;
  std::vector<Raw>& out_;
  Chains& chains_;
  int depth_;
  std::size_t pos_ = 0;
  std::vector<char> open_;  // the closers the open groups wait for, innermost last
  bool abandoned_ = false;
};

}  // namespace

std::vector<Finding> check_script(std::string_view script) {
  std::vector<Raw> raw;
  Chains chains;
  Lines lines(script);
  Reader reader(script, nullptr, lines, raw, chains, 0);
  reader.script(Node::root());
  for (const ChainUse& use : chains.custom) {
    if (chains.any_jump.contains(use.table) || chains.jumped_to.contains({use.table, use.name})) continue;
    const std::string builtin = joined(use.table->chains, ", ");
    const std::string menu(use.table->menu);
    raw.push_back(
        {use.at, Severity::Warning,
         "chain " + quote(use.name) + " of " + menu + " is not built in (" + builtin + ") and no rule jumps to it",
         menu + " 的链 " + quote(use.name) + " 不是内置链（" + builtin + "），也没有规则跳转到它"});
  }
  std::stable_sort(raw.begin(), raw.end(), [](const Raw& a, const Raw& b) { return a.at < b.at; });
  std::vector<Finding> out;
  out.reserve(raw.size());
  for (Raw& r : raw) {
    auto [line, col] = lines.at(r.at);
    out.push_back({line, col, r.severity, std::move(r.message), {}, std::move(r.chinese)});
  }
  return out;
}

}  // namespace rosgen::ros7
