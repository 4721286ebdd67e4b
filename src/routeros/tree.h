// RouterOS 7.24's command tree, compiled in from the router's own dump (data/routeros-7).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rosgen::ros7 {

enum class Kind : std::uint8_t { Menu, Command, Argument };

// One menu, command or argument of the tree. Cheap to copy.
class Node {
 public:
  static Node root() { return Node(0); }

  std::string_view name() const;
  Kind kind() const;
  // The router's description of an argument's value ("time interval", "a|b|c", ...); may be empty.
  std::string_view desc() const;
  bool is_root() const { return index_ == 0; }
  Node parent() const;  // the root is its own parent
  std::size_t child_count() const;
  Node child_at(std::size_t i) const;
  std::optional<Node> child(std::string_view name) const;  // exact name only
  std::string path() const;                                // "/ip/dns/set", "/" for the root
  std::uint32_t index() const { return index_; }

  friend bool operator==(Node a, Node b) { return a.index_ == b.index_; }

 private:
  explicit Node(std::uint32_t index) : index_(index) {}
  std::uint32_t index_;
};

// How a word typed at the terminal names a child: the terminal accepts any unambiguous prefix.
struct Lookup {
  enum class Result { None, Exact, Prefix, Ambiguous };
  Result result = Result::None;
  std::optional<Node> node;                  // set for Exact and Prefix
  std::vector<std::string_view> candidates;  // for Ambiguous: the names the prefix fits
};
Lookup lookup(Node parent, std::string_view word);

// An argument whose value must be one of a closed set of words, as its description says
// ("a|b|c", or "a|b|c[,Name*]" when a comma list of them is allowed).
struct WordList {
  std::vector<std::string_view> words;
  bool list = false;
  bool allows(std::string_view word) const;
};
// nullptr when the description is anything other than such a list.
const WordList* word_list(Node argument);

std::size_t node_count();

}  // namespace rosgen::ros7
