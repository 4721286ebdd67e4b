// The part of RouterOS 7's scripting language that configures a router, run against the model:
// paths, the item commands (add, set, unset, remove, enable, disable, find, get), variables,
// :for, :foreach, :if, :do, [command substitution] and (expressions). Commands the model does
// not know change nothing; values it cannot know make the item "unknown" rather than wrong.
#include "routeros/interpreter.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "routeros/tree.h"

namespace rosgen::ros7::model {
namespace {

constexpr int kMaxDepth = 48;               // nested blocks and substitutions
constexpr std::int64_t kMaxSteps = 100000;  // statements and loop rounds run, in all
// Items the model holds, beyond which it stops running the script: far more than a script of
// this program or a small router's export has, few enough that judging stays quick.
constexpr std::uint32_t kMaxItems = 5000;

struct Value {
  enum class Kind { Nil, Str, Num, Bool, Ids, Code, Unknown };
  Kind kind = Kind::Nil;
  std::string s;
  std::int64_t n = 0;
  std::vector<std::uint32_t> ids;
  std::size_t code_begin = 0, code_end = 0;  // a {block}: the text between its braces

  static Value str(std::string text) {
    Value v;
    v.kind = Kind::Str;
    v.s = std::move(text);
    return v;
  }
  static Value num(std::int64_t number) {
    Value v;
    v.kind = Kind::Num;
    v.n = number;
    return v;
  }
  static Value boolean(bool b) {
    Value v;
    v.kind = Kind::Bool;
    v.n = b ? 1 : 0;
    return v;
  }
  static Value unknown() {
    Value v;
    v.kind = Kind::Unknown;
    return v;
  }
  bool known() const { return kind != Kind::Unknown; }
  std::string text() const {
    switch (kind) {
      case Kind::Str: return s;
      case Kind::Num: return std::to_string(n);
      case Kind::Bool: return n ? "true" : "false";
      default: return {};
    }
  }
};

struct Arg {
  std::string name;  // empty for an unnamed value
  Value value;
  std::size_t at;
};

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_closer(int c) { return c == ')' || c == ']' || c == '}'; }
bool is_name_char(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}
bool is_var_char(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool is_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
bool is_hex(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
int hex_value(int c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

bool truthy(const Value& v) {
  switch (v.kind) {
    case Value::Kind::Bool:
    case Value::Kind::Num: return v.n != 0;
    case Value::Kind::Str: return v.s == "true" || v.s == "yes";
    default: return false;
  }
}

// Line and column of a byte offset.
class Lines {
 public:
  explicit Lines(std::string_view text) {
    starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts_.push_back(i + 1);
    }
  }
  std::pair<int, int> at(std::size_t offset) const {
    auto it = std::upper_bound(starts_.begin(), starts_.end(), offset) - 1;
    return {static_cast<int>(it - starts_.begin()) + 1, static_cast<int>(offset - *it) + 1};
  }

 private:
  std::vector<std::size_t> starts_;
};

// Where a property names another object that must exist.
enum class Ref {
  Interface,
  InterfaceList,
  Bridge,
  Pool,
  PppProfile,
  RoutingTable,
  QueueType,
  TreeParent,
  SimpleParent
};

struct RefRule {
  std::string_view menu;  // a menu path, or "" for every menu
  std::string_view key;
  Ref kind;
};
constexpr RefRule kRefs[] = {
    {"", "interface", Ref::Interface},
    {"", "in-interface", Ref::Interface},
    {"", "out-interface", Ref::Interface},
    {"", "in-interface-list", Ref::InterfaceList},
    {"", "out-interface-list", Ref::InterfaceList},
    {"/interface/list/member", "list", Ref::InterfaceList},
    {"/ppp/profile", "interface-list", Ref::InterfaceList},
    {"/ip/neighbor/discovery-settings", "discover-interface-list", Ref::InterfaceList},
    {"/tool/mac-server", "allowed-interface-list", Ref::InterfaceList},
    {"/tool/mac-server/mac-winbox", "allowed-interface-list", Ref::InterfaceList},
    {"/interface/bridge/port", "bridge", Ref::Bridge},
    {"/ip/dhcp-server", "address-pool", Ref::Pool},
    {"/ip/pool", "next-pool", Ref::Pool},
    {"/ppp/profile", "local-address", Ref::Pool},
    {"/ppp/profile", "remote-address", Ref::Pool},
    {"/ppp/secret", "profile", Ref::PppProfile},
    {"/interface/pppoe-server/server", "default-profile", Ref::PppProfile},
    {"/interface/pptp-server/server", "default-profile", Ref::PppProfile},
    {"/interface/l2tp-server/server", "default-profile", Ref::PppProfile},
    {"/interface/sstp-server/server", "default-profile", Ref::PppProfile},
    {"/interface/ovpn-server/server", "default-profile", Ref::PppProfile},
    {"/interface/pppoe-client", "profile", Ref::PppProfile},
    {"/interface/pptp-client", "profile", Ref::PppProfile},
    {"/interface/l2tp-client", "profile", Ref::PppProfile},
    {"/ip/route", "routing-table", Ref::RoutingTable},
    {"/routing/rule", "table", Ref::RoutingTable},
    {"/queue/tree", "queue", Ref::QueueType},
    {"/queue/simple", "queue", Ref::QueueType},
    {"/queue/tree", "parent", Ref::TreeParent},
    {"/queue/simple", "parent", Ref::SimpleParent},
};

// Menus whose items' names are unique within the menu (interfaces: across all interface menus).
constexpr std::string_view kNamedMenus[] = {
    "/interface/list",     "/ip/pool",
    "/ppp/profile",        "/ppp/secret",
    "/routing/table",      "/queue/simple",
    "/queue/tree",         "/queue/type",
    "/system/script",      "/system/scheduler",
    "/ip/dhcp-server",     "/user",
    "/user/group",         "/tool/traffic-monitor",
    "/ip/ipsec/profile",   "/ip/ipsec/peer",
    "/ip/ipsec/proposal",  "/ip/hotspot/user/profile",
    "/ip/hotspot/profile",
};

bool names_unique(std::string_view path) {
  return is_interface_menu(path) ||
         std::find(std::begin(kNamedMenus), std::end(kNamedMenus), path) != std::end(kNamedMenus);
}

class Runner {
 public:
  Runner(Config& config, std::string_view text, bool as_base, std::vector<RunError>& errors)
      : cfg_(config), s_(text), lines_(text), base_(as_base), errors_(errors) {}

  void run() {
    scopes_.emplace_back();
    Node menu = Node::root();
    block(menu, s_.size());
  }

 private:
  // --- characters -------------------------------------------------------------------------

  void skip_continuation() {
    while (pos_ < end_ && s_[pos_] == '\\') {
      std::size_t k = pos_ + 1;
      if (k < end_ && s_[k] == '\r') ++k;
      if (k >= end_ || s_[k] != '\n') return;
      pos_ = k + 1;
      while (pos_ < end_ && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
    }
  }
  int peek() {
    skip_continuation();
    return pos_ < end_ ? static_cast<unsigned char>(s_[pos_]) : -1;
  }
  int raw_peek() const { return pos_ < end_ ? static_cast<unsigned char>(s_[pos_]) : -1; }
  void advance() { ++pos_; }
  void skip_blanks() {
    while (is_blank(peek())) advance();
  }
  void skip_all_blanks() {
    for (int c = peek(); is_blank(c) || c == '\n'; c = peek()) advance();
  }
  bool ends_command(int c) const { return c == -1 || c == ';' || c == '\n' || is_closer(c); }

  // Past a group that opens at pos_: brackets of all kinds and quoted strings inside it.
  void skip_group() {
    std::vector<char> want;
    for (;;) {
      int c = peek();
      if (c == -1) return;
      advance();
      if (c == '"') {
        skip_string_body();
        if (want.empty()) return;
        continue;
      }
      if (c == '(') want.push_back(')');
      if (c == '[') want.push_back(']');
      if (c == '{') want.push_back('}');
      if (is_closer(c) && !want.empty() && c == want.back()) want.pop_back();
      if (want.empty()) return;
    }
  }
  void skip_string_body() {
    for (int c = peek(); c != -1; c = peek()) {
      advance();
      if (c == '"') return;
      if (c == '\\' && raw_peek() != -1) advance();
    }
  }
  void skip_statement() {
    for (int c = peek(); !ends_command(c); c = peek()) {
      if (c == '"' || c == '(' || c == '[' || c == '{') {
        skip_group();
      } else {
        advance();
      }
    }
  }

  std::pair<int, int> where(std::size_t at) const {
    if (base_) return {0, 0};
    return lines_.at(at);
  }
  void fail(std::size_t at, const char* rule, std::string detail) {
    if (base_) return;
    auto [line, col] = lines_.at(at);
    errors_.push_back({line, col, rule, std::move(detail)});
  }

  // --- statements -------------------------------------------------------------------------

  void block(Node& menu, std::size_t end) {
    const std::size_t outer_end = end_;
    end_ = end;
    for (;;) {
      skip_all_blanks();
      int c = peek();
      if (c == -1 || aborted_) break;
      if (c == ';') {
        advance();
      } else if (c == '#') {
        while (pos_ < end_ && s_[pos_] != '\n') ++pos_;
      } else if (is_closer(c)) {
        advance();  // stray: the checker reports it
      } else {
        statement(menu);
      }
    }
    end_ = outer_end;
  }

  // Runs the text between pos `begin` and `end` (a block's inside) in its own variable scope.
  void run_code(const Value& code, Node menu) {
    if (code.kind != Value::Kind::Code || depth_ >= kMaxDepth) return;
    const std::size_t saved = pos_;
    const std::size_t saved_end = end_;
    ++depth_;
    pos_ = code.code_begin;
    block(menu, code.code_end);
    --depth_;
    pos_ = saved;
    end_ = saved_end;
  }

  Value statement(Node& menu) {
    if (++steps_ > kMaxSteps) {
      aborted_ = true;
      return Value::unknown();
    }
    const std::size_t start = pos_;
    int c = peek();
    if (c == '{') {
      const std::size_t open = pos_;
      skip_group();
      Value code;
      code.kind = Value::Kind::Code;
      code.code_begin = open + 1;
      code.code_end = pos_ > open + 1 ? pos_ - 1 : open + 1;
      scopes_.emplace_back();
      run_code(code, menu);
      scopes_.pop_back();
      return Value();
    }
    Node cur = menu;
    bool moved = false;
    bool global = false;
    if (c == ':') {
      advance();
      global = true;
    } else if (c == '/') {
      advance();
      cur = Node::root();
      moved = true;
    }
    std::optional<Node> command;
    for (;;) {
      skip_blanks();
      c = peek();
      if (c == '/') {
        advance();
        continue;
      }
      if (ends_command(c) || c == '"' || c == '[' || c == '(' || c == '{' || c == '$' || c == '=') break;
      std::string word;
      for (c = peek(); c != -1 && !is_blank(c) && c != '\n' && c != '/' && c != '=' && c != ';' && c != '"' &&
                       c != '[' && c != '(' && c != '{' && c != '$' && !is_closer(c);
           c = peek()) {
        word += static_cast<char>(c);
        advance();
      }
      if (global) return global_command(word, menu, start);
      if (word == "..") {
        cur = cur.parent();
        moved = true;
        continue;
      }
      Lookup found = lookup(cur, word);
      if ((found.result != Lookup::Result::Exact && found.result != Lookup::Result::Prefix) ||
          found.node->kind() == Kind::Argument) {
        skip_statement();  // the checker reports it
        return Value::unknown();
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
      if (ends_command(peek())) {
        if (moved) menu = cur;
        return Value();
      }
      skip_statement();
      return Value::unknown();
    }
    std::vector<Arg> args = arguments(cur);
    return run_command(cur, *command, args, start);
  }

  // --- arguments and values ---------------------------------------------------------------

  std::vector<Arg> arguments(Node menu) {
    std::vector<Arg> args;
    for (;;) {
      skip_blanks();
      if (ends_command(peek())) return args;
      const std::size_t at = pos_;
      std::string name;
      for (int c = peek(); is_name_char(c); c = peek()) {
        name += static_cast<char>(c);
        advance();
      }
      if (!name.empty() && peek() == '=') {
        advance();
        args.push_back({name, value(menu), at});
        continue;
      }
      pos_ = at;
      args.push_back({{}, value(menu), at});
    }
  }

  Value value(Node menu) {
    Value out;
    std::string text;
    int pieces = 0;
    bool unknown = false;
    for (int c = peek(); !is_blank(c) && !ends_command(c); c = peek()) {
      ++pieces;
      Value piece;
      if (c == '"') {
        piece = string_literal();
      } else if (c == '$') {
        piece = variable();
      } else if (c == '[') {
        piece = substitution(menu);
      } else if (c == '(') {
        piece = parenthesised(menu);
      } else if (c == '{') {
        const std::size_t open = pos_;
        skip_group();
        piece.kind = Value::Kind::Code;
        piece.code_begin = open + 1;
        piece.code_end = pos_ > open + 1 ? pos_ - 1 : open + 1;
      } else {
        std::string bare;
        for (c = peek(); !is_blank(c) && !ends_command(c) && c != '"' && c != '$' && c != '[' && c != '(' && c != '{';
             c = peek()) {
          bare += static_cast<char>(c);
          advance();
        }
        piece = Value::str(std::move(bare));
      }
      if (!piece.known()) unknown = true;
      if (pieces == 1) out = piece;
      text += piece.text();
    }
    if (unknown) return Value::unknown();
    if (pieces > 1) return Value::str(std::move(text));
    return out;
  }

  void skip_to_closer(char closer) {
    for (int c = peek(); c != -1 && c != closer; c = peek()) {
      if (c == '"' || c == '(' || c == '[' || c == '{') {
        skip_group();
      } else {
        advance();
      }
    }
    if (peek() == closer) advance();
  }

  // A quoted value; "$name" inside it is replaced by the variable's value, as the router does.
  Value string_literal() {
    std::string out;
    bool unknown = false;
    advance();
    for (;;) {
      int c = peek();
      if (c == -1) break;
      if (c == '$') {
        Value v = variable();
        if (!v.known()) unknown = true;
        out += v.text();
        continue;
      }
      advance();
      if (c == '"') break;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      int e = raw_peek();
      if (e == -1) break;
      advance();
      if (is_hex(e) && is_hex(raw_peek())) {
        out += static_cast<char>(hex_value(e) * 16 + hex_value(raw_peek()));
        advance();
        continue;
      }
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '_': out += ' '; break;
        default: out += static_cast<char>(e); break;
      }
    }
    return unknown ? Value::unknown() : Value::str(std::move(out));
  }

  Value variable() {
    advance();
    std::string name;
    if (peek() == '"') {
      name = string_literal().text();
    } else {
      for (int c = peek(); is_var_char(c); c = peek()) {
        name += static_cast<char>(c);
        advance();
      }
    }
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
      if (auto found = it->find(name); found != it->end()) return found->second;
    }
    if (auto found = globals_.find(name); found != globals_.end()) return found->second;
    return Value::unknown();
  }

  Value substitution(Node menu) {
    advance();  // [
    if (depth_ >= kMaxDepth) {
      skip_to_closer(']');
      return Value::unknown();
    }
    ++depth_;
    Value result;
    for (;;) {
      skip_all_blanks();
      int c = peek();
      if (c == -1 || c == ']' || aborted_) break;
      if (c == ';') {
        advance();
        continue;
      }
      if (is_closer(c)) {
        advance();
        continue;
      }
      Node inner = menu;
      result = statement(inner);
    }
    --depth_;
    if (peek() == ']') advance();
    return result;
  }

  // --- expressions ------------------------------------------------------------------------

  Value expression(Node menu) { return expr_or(menu); }

  bool take(std::string_view op) {
    skip_all_blanks();
    if (s_.substr(pos_, op.size()) != op || pos_ + op.size() > end_) return false;
    // "=" is not the start of "==" here; "!" alone is not "!=".
    pos_ += op.size();
    return true;
  }
  Value expr_or(Node menu) {
    Value v = expr_and(menu);
    while (take("||")) {
      Value r = expr_and(menu);
      v = (v.known() && r.known()) ? Value::boolean(truthy(v) || truthy(r)) : Value::unknown();
    }
    return v;
  }
  Value expr_and(Node menu) {
    Value v = expr_cmp(menu);
    while (take("&&")) {
      Value r = expr_cmp(menu);
      v = (v.known() && r.known()) ? Value::boolean(truthy(v) && truthy(r)) : Value::unknown();
    }
    return v;
  }
  Value expr_cmp(Node menu) {
    Value v = expr_add(menu);
    for (std::string_view op : {"!=", "<=", ">=", "=", "<", ">"}) {
      if (!take(op)) continue;
      Value r = expr_add(menu);
      if (!v.known() || !r.known()) return Value::unknown();
      int cmp = 0;
      if (v.kind == Value::Kind::Num && r.kind == Value::Kind::Num) {
        cmp = v.n < r.n ? -1 : (v.n > r.n ? 1 : 0);
      } else {
        const std::string a = v.kind == Value::Kind::Ids ? std::string(v.ids.empty() ? "" : "*") : v.text();
        const std::string b = r.kind == Value::Kind::Ids ? std::string(r.ids.empty() ? "" : "*") : r.text();
        cmp = a < b ? -1 : (a > b ? 1 : 0);
      }
      if (op == "=") return Value::boolean(cmp == 0);
      if (op == "!=") return Value::boolean(cmp != 0);
      if (op == "<") return Value::boolean(cmp < 0);
      if (op == ">") return Value::boolean(cmp > 0);
      if (op == "<=") return Value::boolean(cmp <= 0);
      return Value::boolean(cmp >= 0);
    }
    return v;
  }
  Value expr_add(Node menu) {
    Value v = expr_mul(menu);
    for (;;) {
      char op = 0;
      if (take(".")) {
        op = '.';
      } else if (take("+")) {
        op = '+';
      } else if (take("-")) {
        op = '-';
      } else {
        return v;
      }
      Value r = expr_mul(menu);
      if (!v.known() || !r.known()) {
        v = Value::unknown();
      } else if (op == '.') {
        v = Value::str(v.text() + r.text());
      } else if (std::int64_t n = 0;
                 v.kind == Value::Kind::Num && r.kind == Value::Kind::Num &&
                 !(op == '+' ? __builtin_add_overflow(v.n, r.n, &n) : __builtin_sub_overflow(v.n, r.n, &n))) {
        v = Value::num(n);
      } else {
        v = Value::unknown();
      }
    }
  }
  Value expr_mul(Node menu) {
    Value v = expr_unary(menu);
    for (;;) {
      char op = 0;
      if (take("*")) {
        op = '*';
      } else if (take("/")) {
        op = '/';
      } else {
        return v;
      }
      Value r = expr_unary(menu);
      std::int64_t n = 0;
      if (v.kind != Value::Kind::Num || r.kind != Value::Kind::Num) {
        v = Value::unknown();
      } else if (op == '*' && !__builtin_mul_overflow(v.n, r.n, &n)) {
        v = Value::num(n);
      } else if (op == '/' && r.n != 0 && !(r.n == -1 && v.n == INT64_MIN)) {
        v = Value::num(v.n / r.n);
      } else {
        v = Value::unknown();
      }
    }
  }
  Value expr_unary(Node menu) {
    bool negate = false;
    for (skip_all_blanks(); peek() == '!' && s_.substr(pos_, 2) != "!="; skip_all_blanks()) {
      advance();
      negate = !negate;
    }
    Value v = primary(menu);
    if (!negate) return v;
    return v.known() ? Value::boolean(!truthy(v)) : v;
  }
  // "(expression)" from its opening bracket.
  Value parenthesised(Node menu) {
    if (depth_ >= kMaxDepth) {
      skip_group();
      return Value::unknown();
    }
    advance();
    ++depth_;
    Value v = expression(menu);
    --depth_;
    skip_all_blanks();
    if (peek() == ')') {
      advance();
    } else {
      skip_to_closer(')');
    }
    return v;
  }
  Value primary(Node menu) {
    skip_all_blanks();
    int c = peek();
    if (c == '"') return string_literal();
    if (c == '$') return variable();
    if (c == '[') return substitution(menu);
    if (c == '(') return parenthesised(menu);
    std::string word;
    for (c = peek(); c != -1 && (is_var_char(c) || c == '.' || c == ':' || c == '/'); c = peek()) {
      // A "." that follows a word and then a blank is the join operator.
      if (c == '.' && (pos_ + 1 >= end_ || is_blank(static_cast<unsigned char>(s_[pos_ + 1])))) break;
      word += static_cast<char>(c);
      advance();
    }
    if (word.empty()) {
      if (c != -1 && c != ')') advance();  // an operator the model does not know
      return Value::unknown();
    }
    if (is_digits(word)) return Value::num(std::stoll(word.substr(0, 18)));
    if (word == "true" || word == "yes") return Value::boolean(true);
    if (word == "false" || word == "no") return Value::boolean(false);
    return Value::str(std::move(word));
  }

  // --- global commands --------------------------------------------------------------------

  const Arg* named(const std::vector<Arg>& args, std::string_view name) const {
    for (const Arg& a : args) {
      if (a.name == name) return &a;
    }
    return nullptr;
  }
  const Arg* unnamed(const std::vector<Arg>& args, std::size_t i) const {
    for (const Arg& a : args) {
      if (a.name.empty() && i-- == 0) return &a;
    }
    return nullptr;
  }

  void assign(const std::string& name, Value v, bool global) {
    if (global) {
      globals_[name] = std::move(v);
      return;
    }
    scopes_.back()[name] = std::move(v);
  }
  void reassign(const std::string& name, Value v) {
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
      if (auto found = it->find(name); found != it->end()) {
        found->second = std::move(v);
        return;
      }
    }
    globals_[name] = std::move(v);
  }

  Value global_command(const std::string& word, Node menu, std::size_t start) {
    std::vector<Arg> args = arguments(menu);
    const Arg* first = unnamed(args, 0);
    const std::string name = first ? first->value.text() : std::string();
    if (word == "local" || word == "global") {
      const Arg* v = unnamed(args, 1);
      assign(name, v ? v->value : Value(), word == "global");
      return Value();
    }
    if (word == "set") {
      const Arg* v = unnamed(args, 1);
      reassign(name, v ? v->value : Value());
      return Value();
    }
    if (word == "len") {
      if (!first || !first->value.known()) return Value::unknown();
      if (first->value.kind == Value::Kind::Ids) return Value::num(static_cast<std::int64_t>(first->value.ids.size()));
      if (first->value.kind == Value::Kind::Nil) return Value::num(0);
      return Value::num(static_cast<std::int64_t>(first->value.text().size()));
    }
    if (word == "for") {
      const Arg* from = named(args, "from");
      const Arg* to = named(args, "to");
      const Arg* step = named(args, "step");
      const Arg* body = named(args, "do");
      auto number = [](const Arg* a, std::int64_t fallback) -> std::optional<std::int64_t> {
        if (!a) return fallback;
        if (a->value.kind == Value::Kind::Num) return a->value.n;
        const std::string t = a->value.text();
        if (is_digits(t) && t.size() < 18) return std::stoll(t);
        if (t.size() > 1 && t[0] == '-' && is_digits(t.substr(1)) && t.size() < 18) return std::stoll(t);
        return std::nullopt;
      };
      auto a = number(from, 0), b = number(to, 0), d = number(step, 1);
      if (!body || !a || !b || !d || *d == 0) return Value();
      for (std::int64_t i = *a; (*d > 0 ? i <= *b : i >= *b) && !aborted_ && ++steps_ <= kMaxSteps;) {
        scopes_.emplace_back();
        scopes_.back()[name] = Value::num(i);
        run_code(body->value, menu);
        scopes_.pop_back();
        if (__builtin_add_overflow(i, *d, &i)) break;
      }
      return Value();
    }
    if (word == "foreach") {
      const Arg* in = named(args, "in");
      const Arg* body = named(args, "do");
      if (!in || !body || in->value.kind != Value::Kind::Ids) return Value();
      for (std::uint32_t id : in->value.ids) {
        if (aborted_ || ++steps_ > kMaxSteps) break;
        Value v;
        v.kind = Value::Kind::Ids;
        v.ids = {id};
        scopes_.emplace_back();
        scopes_.back()[name] = v;
        run_code(body->value, menu);
        scopes_.pop_back();
      }
      return Value();
    }
    if (word == "if") {
      if (!first || !first->value.known()) return Value();
      const Arg* branch = named(args, truthy(first->value) ? "do" : "else");
      if (branch) {
        scopes_.emplace_back();
        run_code(branch->value, menu);
        scopes_.pop_back();
      }
      return Value();
    }
    if (word == "do") {
      if (named(args, "while")) return Value();  // loops on a condition: not modelled
      const Arg* body = first ? first : named(args, "do");
      if (body) {
        scopes_.emplace_back();
        run_code(body->value, menu);
        scopes_.pop_back();
      }
      return Value();
    }
    if (word == "error") {
      fail(start, "script-error", name);
      return Value();
    }
    return Value::unknown();
  }

  // --- menu commands ----------------------------------------------------------------------

  static bool singleton(Node menu) {
    if (menu.child("add")) return false;
    std::optional<Node> set = menu.child("set");
    return set && !set->child("numbers");
  }

  Item* by_serial(std::string_view path, std::uint32_t serial, std::string* found_path = nullptr) {
    auto look = [&](const std::string& p, Menu& m) -> Item* {
      for (Item& item : m.items) {
        if (item.serial == serial) {
          if (found_path) *found_path = p;
          return &item;
        }
      }
      return nullptr;
    };
    if (path == "/interface") {
      for (auto& [p, m] : cfg_.menus) {
        if (is_interface_menu(p)) {
          if (Item* i = look(p, m)) return i;
        }
      }
      return nullptr;
    }
    auto it = cfg_.menus.find(path);
    return it == cfg_.menus.end() ? nullptr : look(it->first, it->second);
  }

  // The items a command's target names: found ids, names, or a comma list of names. An id list
  // that is empty names nothing, which is fine; a name that is not there is an error.
  struct Target {
    std::string path;
    std::uint32_t serial;
  };
  bool targets(const std::string& path, const Value& v, std::size_t at, std::vector<Target>& out) {
    if (v.kind == Value::Kind::Ids) {
      for (std::uint32_t id : v.ids) {
        std::string p;
        if (by_serial(path, id, &p)) out.push_back({p, id});
      }
      return true;
    }
    if (!v.known() || v.kind != Value::Kind::Str) return true;
    for (std::string_view name : split_list(v.s)) {
      if (name.empty() || name[0] == '*' || is_digits(name)) continue;  // item numbers: not modelled
      bool found = false;
      auto look = [&](const std::string& p, const Menu& m) {
        for (const Item& item : m.items) {
          if (item.value("name") == name || item.value("default-name") == name) {
            out.push_back({p, item.serial});
            found = true;
            return;
          }
        }
      };
      if (path == "/interface") {
        for (auto& [p, m] : cfg_.menus) {
          if (is_interface_menu(p) && !found) look(p, m);
        }
      } else if (auto it = cfg_.menus.find(path); it != cfg_.menus.end()) {
        look(it->first, it->second);
      }
      if (!found) {
        fail(at, "no-such-item", path + " " + std::string(name));
        return false;
      }
    }
    return true;
  }

  bool name_taken(const std::string& path, std::string_view name, std::uint32_t except) const {
    auto in = [&](const Menu& m) {
      return std::any_of(m.items.begin(), m.items.end(),
                         [&](const Item& i) { return i.serial != except && i.value("name") == name; });
    };
    if (is_interface_menu(path)) {
      for (const auto& [p, m] : cfg_.menus) {
        if (is_interface_menu(p) && in(m)) return true;
      }
      return false;
    }
    const Menu* m = cfg_.find_menu(path);
    return m && in(*m);
  }

  bool named_in(std::string_view path, std::string_view name) const {
    const Menu* m = cfg_.find_menu(path);
    return m && std::any_of(m->items.begin(), m->items.end(), [&](const Item& i) { return i.value("name") == name; });
  }
  bool interface_exists(std::string_view name) const {
    if (is_interface_wildcard(name)) return true;
    for (const auto& [p, m] : cfg_.menus) {
      if (!is_interface_menu(p)) continue;
      for (const Item& i : m.items) {
        if (i.value("name") == name) return true;
      }
    }
    return false;
  }
  bool exists(Ref kind, std::string_view name) const {
    switch (kind) {
      case Ref::Interface: return interface_exists(name);
      case Ref::InterfaceList: return named_in("/interface/list", name);
      case Ref::Bridge: return named_in("/interface/bridge", name);
      case Ref::Pool: return parse_net(name).has_value() || named_in("/ip/pool", name);
      case Ref::PppProfile: return named_in("/ppp/profile", name);
      case Ref::RoutingTable: return named_in("/routing/table", name);
      case Ref::QueueType: return named_in("/queue/type", name);
      case Ref::TreeParent: return name == "global" || interface_exists(name) || named_in("/queue/tree", name);
      case Ref::SimpleParent: return name == "none" || named_in("/queue/simple", name);
    }
    return true;
  }

  // References of the properties a command set; false after an error.
  bool check_refs(const std::string& path, const std::vector<Arg>& args) {
    for (const Arg& a : args) {
      if (a.name.empty() || !a.value.known()) continue;
      for (const RefRule& r : kRefs) {
        if (r.key != a.name || (!r.menu.empty() && r.menu != path)) continue;
        if (r.kind == Ref::Interface && path == "/interface/list/member" && a.name != "interface") continue;
        std::string text = a.value.text();
        std::string_view v = text;
        if (!v.empty() && v[0] == '!') v.remove_prefix(1);
        // A pair of queue types ("up/down"), or an address range as a PPP profile's address.
        std::vector<std::string_view> names;
        if (r.kind == Ref::QueueType && path == "/queue/simple") {
          const std::size_t slash = v.find('/');
          names.push_back(v.substr(0, slash));
          if (slash != std::string_view::npos) names.push_back(v.substr(slash + 1));
        } else if (r.kind == Ref::Pool &&
                   (v.find('-') != std::string_view::npos && parse_ipv4(v.substr(0, v.find('-'))))) {
          continue;
        } else {
          names.push_back(v);
        }
        for (std::string_view name : names) {
          if (name.empty() || name.find('<') != std::string_view::npos) continue;
          if (!exists(r.kind, name)) {
            fail(a.at, "unknown-reference", a.name + "=" + std::string(name));
            return false;
          }
        }
      }
    }
    return true;
  }

  // Where an item added with place-before= goes; false after an error.
  bool place(const std::string& path, const Arg* before, std::size_t& index) {
    Menu& m = cfg_.menu(path);
    index = m.items.size();
    if (!before || !before->value.known()) return true;
    const Value& v = before->value;
    std::optional<std::uint32_t> serial;
    if (v.kind == Value::Kind::Ids) {
      if (!v.ids.empty()) serial = v.ids.front();
    } else {
      const std::string t = v.text();
      if (is_digits(t) || (!t.empty() && t[0] == '*')) return true;  // numbers: not modelled
    }
    if (!serial) {
      fail(before->at, "no-such-item", path + " place-before");
      return false;
    }
    for (std::size_t i = 0; i < m.items.size(); ++i) {
      if (m.items[i].serial == *serial) {
        index = i;
        return true;
      }
    }
    fail(before->at, "no-such-item", path + " place-before");
    return false;
  }

  // An address list holds an address once: the router refuses the same entry again.
  bool duplicate_entry(const std::string& path, const std::vector<Arg>& args) const {
    const Arg* list = named(args, "list");
    const Arg* address = named(args, "address");
    if (!list || !address || !list->value.known() || !address->value.known()) return false;
    const Menu* m = cfg_.find_menu(path);
    if (!m) return false;
    const std::string l = list->value.text(), a = address->value.text();
    return std::any_of(m->items.begin(), m->items.end(),
                       [&](const Item& i) { return i.value("list") == l && i.value("address") == a; });
  }

  // The name the router gives an item added without one: the menu's word and the first free number.
  std::string default_name(const std::string& path) const {
    static const std::pair<std::string_view, std::string_view> kStems[] = {
        {"/interface/pppoe-client", "pppoe-out"},
        {"/interface/pptp-client", "pptp-out"},
        {"/interface/l2tp-client", "l2tp-out"},
        {"/interface/sstp-client", "sstp-out"},
        {"/interface/ovpn-client", "ovpn-out"},
        {"/interface/bridge", "bridge"},
        {"/interface/vlan", "vlan"},
        {"/interface/wireguard", "wireguard"},
        {"/interface/gre", "gre-tunnel"},
        {"/interface/eoip", "eoip-tunnel"},
        {"/queue/simple", "queue"},
        {"/queue/tree", "queue"},
        {"/system/script", "script"},
        {"/ip/pool", "pool"},
        {"/ppp/profile", "profile"},
    };
    for (const auto& [menu, stem] : kStems) {
      if (menu != path) continue;
      // The first free number, as the router picks it; in a long menu the search starts at its end.
      const Menu* m = cfg_.find_menu(path);
      for (std::size_t i = m && m->items.size() > 64 ? m->items.size() + 1 : 1;; ++i) {
        std::string name = std::string(stem) + std::to_string(i);
        if (!name_taken(path, name, 0)) return name;
      }
    }
    return {};
  }

  void keep_scripts(const std::vector<Arg>& args, std::size_t at) {
    for (const Arg& a : args) {
      if (a.value.kind != Value::Kind::Str) continue;
      if (a.name == "source" || a.name == "on-event" || a.name == "up-script" || a.name == "down-script" ||
          a.name == "test-script" || a.name == "on-up" || a.name == "on-down" || a.name == "script" ||
          a.name == "lease-script") {
        auto [line, col] = where(at);
        cfg_.stored.push_back({a.value.s, line, col});
      }
    }
  }

  void apply_props(Item& item, const std::vector<Arg>& args) {
    for (const Arg& a : args) {
      if (a.name.empty() || a.name == "numbers" || a.name == "place-before" || a.name == "copy-from") continue;
      if (!a.value.known()) {
        item.unknown = true;
        continue;
      }
      if (a.name == "disabled") {
        item.disabled = truthy(a.value);
        continue;
      }
      item.set(a.name, a.value.kind == Value::Kind::Code
                           ? std::string(s_.substr(a.value.code_begin, a.value.code_end - a.value.code_begin))
                           : a.value.text());
    }
  }

  void touch(Menu& m, Item* item, std::size_t at) {
    if (base_) return;
    const int line = where(at).first;
    m.last_change = line;
    if (item) item->touched = line;
  }

  Value run_command(Node menu, Node command, const std::vector<Arg>& args, std::size_t at) {
    const std::string path = menu.path();
    const std::string_view cmd = command.name();
    if (cmd == "add" && !menu.is_root()) {
      if (cfg_.next_serial > kMaxItems) {
        aborted_ = true;
        return Value();
      }
      if (const Arg* n = named(args, "name"); n && n->value.known() && names_unique(path) && !n->value.text().empty() &&
                                              name_taken(path, n->value.text(), 0)) {
        fail(n->at, "duplicate-name", path + " " + n->value.text());
        return Value();
      }
      if (path.ends_with("/firewall/address-list") && duplicate_entry(path, args)) {
        fail(at, "duplicate-name",
             path + " " + named(args, "list")->value.text() + " " + named(args, "address")->value.text());
        return Value();
      }
      if (!check_refs(path, args)) return Value();
      std::size_t index = 0;
      if (!place(path, named(args, "place-before"), index)) return Value();
      Item item;
      item.serial = cfg_.next_serial++;
      auto [line, col] = where(at);
      item.line = line;
      item.col = col;
      apply_props(item, args);
      if (!item.has("name") && !named(args, "name")) {
        if (std::string name = default_name(path); !name.empty()) item.set("name", std::move(name));
      }
      keep_scripts(args, at);
      Menu& m = cfg_.menu(path);
      m.items.insert(m.items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
      if (!base_) m.last_change = line;
      Value v;
      v.kind = Value::Kind::Ids;
      v.ids = {m.items[index].serial};
      return v;
    }
    if (cmd == "find") {
      Value v;
      v.kind = Value::Kind::Ids;
      if (unnamed(args, 0)) return Value::unknown();  // `where` and expressions: not modelled
      auto match = [&](const Item& item) {
        for (const Arg& a : args) {
          if (!a.value.known()) return false;
          const std::string want = a.value.text();
          if (a.name == "disabled") {
            if (item.disabled != (want == "yes" || want == "true")) return false;
          } else if (a.name == "dynamic") {
            if (want == "yes" || want == "true") return false;  // the model holds no dynamic items
          } else if (a.name == "default" || a.name == "builtin") {
            if (item.value(a.name) != want && !(want == "no" && !item.has(a.name))) return false;
          } else if (item.value(a.name) != want) {
            return false;
          }
        }
        return true;
      };
      if (path == "/interface") {
        for (const auto& [p, m] : cfg_.menus) {
          if (!is_interface_menu(p)) continue;
          for (const Item& i : m.items) {
            if (match(i)) v.ids.push_back(i.serial);
          }
        }
      } else if (const Menu* m = cfg_.find_menu(path)) {
        for (const Item& i : m->items) {
          if (match(i)) v.ids.push_back(i.serial);
        }
      }
      return v;
    }
    if (cmd == "set" || cmd == "unset" || cmd == "remove" || cmd == "enable" || cmd == "disable" || cmd == "get") {
      std::vector<Target> found;
      const Arg* target = named(args, "numbers");
      if (!target) target = unnamed(args, 0);
      if (singleton(menu) && cmd == "set") {
        Menu& m = cfg_.menu(path);
        if (m.items.empty()) {
          Item item;
          item.serial = cfg_.next_serial++;
          m.items.push_back(std::move(item));
        }
        if (!check_refs(path, args)) return Value();
        apply_props(m.items.front(), args);
        keep_scripts(args, at);
        touch(m, &m.items.front(), at);
        return Value();
      }
      if (!target) return Value();
      if (!targets(path, target->value, target->at, found)) return Value();
      if (cmd == "get") {
        const Arg* prop = unnamed(args, target->name.empty() ? 1 : 0);
        if (found.size() != 1 || !prop) return Value::unknown();
        const Item* item = by_serial(found[0].path, found[0].serial);
        const std::string* v = item ? item->get(prop->value.text()) : nullptr;
        return v ? Value::str(*v) : Value::unknown();
      }
      if (cmd == "set" && !check_refs(path, args)) return Value();
      for (const Target& t : found) {
        Menu& m = cfg_.menu(t.path);
        auto it = std::find_if(m.items.begin(), m.items.end(), [&](const Item& i) { return i.serial == t.serial; });
        if (it == m.items.end()) continue;
        if (cmd == "remove") {
          m.items.erase(it);
          touch(m, nullptr, at);
          continue;
        }
        if (cmd == "set") {
          if (const Arg* n = named(args, "name");
              n && n->value.known() && names_unique(t.path) && name_taken(t.path, n->value.text(), t.serial)) {
            fail(n->at, "duplicate-name", t.path + " " + n->value.text());
            return Value();
          }
          apply_props(*it, args);
          keep_scripts(args, at);
        } else if (cmd == "unset") {
          for (const Arg& a : args) {
            if (a.name == "value-name" && a.value.known()) it->unset(a.value.text());
          }
        } else {
          it->disabled = cmd == "disable";
        }
        touch(m, &*it, at);
      }
      return Value();
    }
    if (cmd == "print" || cmd == "export" || cmd == "monitor" || cmd == "move" || cmd == "edit" || cmd == "comment" ||
        cmd == "reset-counters" || cmd == "reset-counters-all") {
      return Value::unknown();
    }
    // A command of its own (`/tool dns-update`, `/system reboot`, ...): kept for the rules.
    Ran ran;
    ran.path = command.path();
    for (const Arg& a : args) ran.args.emplace_back(a.name, a.value.known() ? a.value.text() : std::string("$"));
    auto [line, col] = where(at);
    ran.line = line;
    ran.col = col;
    cfg_.ran.push_back(std::move(ran));
    keep_scripts(args, at);
    return Value::unknown();
  }

  Config& cfg_;
  std::string_view s_;
  Lines lines_;
  bool base_;
  std::vector<RunError>& errors_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  int depth_ = 0;
  std::int64_t steps_ = 0;
  bool aborted_ = false;
  std::vector<std::unordered_map<std::string, Value>> scopes_;
  std::unordered_map<std::string, Value> globals_;
};

}  // namespace

std::vector<RunError> apply(Config& config, std::string_view script, bool as_base) {
  std::vector<RunError> errors;
  Runner runner(config, script, as_base, errors);
  runner.run();
  return errors;
}

}  // namespace rosgen::ros7::model
