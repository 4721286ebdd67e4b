// The compiled RouterOS 7 command tree: complete, navigable, and read the way the terminal reads names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "routeros/tree.h"

namespace rosgen::ros7 {
namespace {

std::optional<Node> resolve(std::string_view path) {
  Node n = Node::root();
  while (!path.empty()) {
    path.remove_prefix(1);  // the '/'
    size_t slash = path.find('/');
    auto child = n.child(path.substr(0, slash));
    if (!child) return std::nullopt;
    n = *child;
    path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash);
  }
  return n;
}

TEST(Ros7Tree, HoldsTheWholeDumpPlusThePingShortcut) {
  // The router reports 430 menus, 4,058 commands and 28,079 arguments; `/ping` adds one command
  // with the 14 arguments of `/tool/ping`.
  int counts[3] = {0, 0, 0};
  std::vector<Node> todo{Node::root()};
  while (!todo.empty()) {
    Node n = todo.back();
    todo.pop_back();
    for (size_t i = 0; i < n.child_count(); ++i) {
      Node c = n.child_at(i);
      ++counts[static_cast<int>(c.kind())];
      todo.push_back(c);
    }
  }
  EXPECT_EQ(counts[0], 430);
  EXPECT_EQ(counts[1], 4058 + 1);
  EXPECT_EQ(counts[2], 28079 + 14);
  EXPECT_EQ(node_count(), 1u + 430 + 4059 + 28093);
}

TEST(Ros7Tree, EveryNodeIsFoundAgainByItsPath) {
  size_t checked = 0;
  std::vector<Node> todo{Node::root()};
  while (!todo.empty()) {
    Node n = todo.back();
    todo.pop_back();
    auto again = resolve(n.is_root() ? "" : n.path());
    ASSERT_TRUE(again) << n.path();
    EXPECT_EQ(again->index(), n.index()) << n.path();
    if (!n.is_root()) {
      EXPECT_EQ(n.parent().child(n.name())->index(), n.index()) << n.path();
    }
    ++checked;
    for (size_t i = 0; i < n.child_count(); ++i) todo.push_back(n.child_at(i));
  }
  EXPECT_EQ(checked, node_count());
}

TEST(Ros7Tree, KindsAndDescriptions) {
  struct Case {
    const char* path;
    Kind kind;
    const char* desc;
  };
  const Case cases[] = {
      {"/ip", Kind::Menu, ""},
      {"/ip/firewall/filter", Kind::Menu, ""},
      {"/ip/firewall/filter/add", Kind::Command, ""},
      {"/ip/firewall/filter/add/log-prefix", Kind::Argument, "string value, max length 31"},
      {"/put", Kind::Command, ""},
      {"/log/info", Kind::Command, ""},
      {"/ping/count", Kind::Argument, ""},
      {"/queue/type/add/pcq-classifier", Kind::Argument, "src-address|dst-address|src-port|dst-port[,PcqClassifier*]"},
  };
  for (const Case& c : cases) {
    auto n = resolve(c.path);
    ASSERT_TRUE(n) << c.path;
    EXPECT_EQ(n->kind(), c.kind) << c.path;
    EXPECT_EQ(n->desc(), c.desc) << c.path;
    EXPECT_EQ(n->path(), c.path);
  }
  EXPECT_FALSE(resolve("/ip/adress"));
  EXPECT_FALSE(resolve("/interface/wireless"));  // a separate package, not in the tree
}

TEST(Ros7Tree, LookupTakesExactNamesFirstThenUniquePrefixes) {
  struct Case {
    const char* menu;
    const char* word;
    Lookup::Result result;
    const char* found;  // the name found, or the candidates joined by ','
  };
  const Case cases[] = {
      {"/ip", "address", Lookup::Result::Exact, "address"},
      {"/ip", "add", Lookup::Result::Prefix, "address"},
      {"/ip", "a", Lookup::Result::Ambiguous, "address,arp"},
      {"/ip", "adress", Lookup::Result::None, ""},
      {"/ip", "", Lookup::Result::None, ""},
      {"/ip/dns", "set", Lookup::Result::Exact, "set"},  // exact although "settings"-like names may follow
      {"/system", "sched", Lookup::Result::Prefix, "scheduler"},
      {"/ip/firewall/filter/add", "act", Lookup::Result::Prefix, "action"},
      {"/ip/firewall/filter/add", "src-address", Lookup::Result::Exact, "src-address"},
      {"/ip/firewall/filter/add", "src-address-l", Lookup::Result::Prefix, "src-address-list"},
      {"/ip/firewall/filter/add", "dst-a", Lookup::Result::Ambiguous, "dst-address,dst-address-list,dst-address-type"},
      {"/", "zzz", Lookup::Result::None, ""},
  };
  for (const Case& c : cases) {
    auto menu = resolve(std::string_view(c.menu) == "/" ? "" : c.menu);
    ASSERT_TRUE(menu) << c.menu;
    Lookup l = lookup(*menu, c.word);
    EXPECT_EQ(l.result, c.result) << c.menu << ' ' << c.word;
    std::string found;
    if (l.node) found = l.node->name();
    for (auto name : l.candidates) found += (found.empty() ? "" : ",") + std::string(name);
    EXPECT_EQ(found, c.found) << c.menu << ' ' << c.word;
  }
}

TEST(Ros7Tree, WordListsOnlyWhereTheDescriptionIsAClosedList) {
  struct Case {
    const char* arg;
    bool closed;
    bool list;
    size_t words;
  };
  const Case cases[] = {
      {"/queue/type/add/pcq-classifier", true, true, 4},
      {"/ip/ipsec/profile/add/dh-group", true, true, 12},
      {"/interface/wifi/configuration/add/chains", true, true, 8},
      {"/ip/firewall/filter/add/log-prefix", false, false, 0},         // string value
      {"/interface/bonding/add/forced-mac-address", false, false, 0},  // AB[:|-|.]CD... is a pattern
      {"/ip/firewall/nat/add/to-addresses", false, false, 0},          // an address range with notation
      {"/ip/firewall/filter/add/action", false, false, 0},             // no description at all
  };
  for (const Case& c : cases) {
    auto n = resolve(c.arg);
    ASSERT_TRUE(n) << c.arg;
    const WordList* w = word_list(*n);
    EXPECT_EQ(w != nullptr, c.closed) << c.arg;
    if (!w) continue;
    EXPECT_EQ(w->list, c.list) << c.arg;
    EXPECT_EQ(w->words.size(), c.words) << c.arg;
  }
}

}  // namespace
}  // namespace rosgen::ros7
