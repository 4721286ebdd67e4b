#include "routeros/tree.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

namespace rosgen::ros7 {
namespace {

struct NodeData {
  std::uint16_t name;
  std::uint8_t kind;
  std::uint8_t desc;
  std::uint32_t first;
};

#include "routeros7_tree.inc"

constexpr std::size_t kCount = sizeof kNodes / sizeof kNodes[0] - 1;  // without the closing entry

std::string_view name_of(std::uint32_t i) {
  const std::uint16_t id = kNodes[i].name;
  return {kNameText + kNameOffsets[id], kNameOffsets[id + 1] - kNameOffsets[id]};
}

bool is_word(std::string_view w) {
  if (w.empty()) return false;
  return std::all_of(w.begin(), w.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  });
}

// "a|b|c" or "a|b|c[,Name*]"; anything with other notation (ranges, units, MAC patterns) is free text.
std::unique_ptr<WordList> parse_word_list(std::string_view desc) {
  auto out = std::make_unique<WordList>();
  if (desc.ends_with("*]")) {
    size_t open = desc.rfind("[,");
    if (open == std::string_view::npos || !is_word(desc.substr(open + 2, desc.size() - open - 4))) return nullptr;
    out->list = true;
    desc = desc.substr(0, open);
  }
  if (desc.find('|') == std::string_view::npos) return nullptr;
  while (true) {
    size_t bar = desc.find('|');
    std::string_view w = desc.substr(0, bar);
    if (!is_word(w)) return nullptr;
    out->words.push_back(w);
    if (bar == std::string_view::npos) break;
    desc.remove_prefix(bar + 1);
  }
  return out;
}

}  // namespace

std::string_view Node::name() const { return name_of(index_); }
Kind Node::kind() const { return static_cast<Kind>(kNodes[index_].kind); }
std::string_view Node::desc() const { return kDescs[kNodes[index_].desc]; }
std::size_t Node::child_count() const { return kNodes[index_ + 1].first - kNodes[index_].first; }
Node Node::child_at(std::size_t i) const { return Node(static_cast<std::uint32_t>(kNodes[index_].first + i)); }

Node Node::parent() const {
  if (index_ == 0) return *this;
  // first[] never decreases, so the parent is the last node whose children start at or before us.
  auto it = std::upper_bound(std::begin(kNodes), std::begin(kNodes) + kCount, index_,
                             [](std::uint32_t i, const NodeData& d) { return i < d.first; });
  return Node(static_cast<std::uint32_t>(it - std::begin(kNodes) - 1));
}

std::optional<Node> Node::child(std::string_view name) const {
  std::uint32_t lo = kNodes[index_].first;
  std::uint32_t hi = kNodes[index_ + 1].first;
  while (lo < hi) {
    std::uint32_t mid = lo + (hi - lo) / 2;
    if (name_of(mid) < name) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo < kNodes[index_ + 1].first && name_of(lo) == name) return Node(lo);
  return std::nullopt;
}

std::string Node::path() const {
  if (is_root()) return "/";
  std::vector<std::string_view> parts;
  for (Node n = *this; !n.is_root(); n = n.parent()) parts.push_back(n.name());
  std::string out;
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    out += '/';
    out += *it;
  }
  return out;
}

Lookup lookup(Node parent, std::string_view word) {
  Lookup out;
  if (word.empty()) return out;
  if (auto exact = parent.child(word)) {
    out.result = Lookup::Result::Exact;
    out.node = exact;
    return out;
  }
  // Names sharing the prefix sit together in the sorted run of children.
  std::uint32_t lo = kNodes[parent.index()].first;
  std::uint32_t hi = kNodes[parent.index() + 1].first;
  while (lo < hi) {
    std::uint32_t mid = lo + (hi - lo) / 2;
    if (name_of(mid) < word) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  const std::uint32_t end = kNodes[parent.index() + 1].first;
  for (std::uint32_t i = lo; i < end && name_of(i).starts_with(word); ++i) {
    out.candidates.push_back(name_of(i));
    if (!out.node) out.node = parent.child_at(i - kNodes[parent.index()].first);
  }
  if (out.candidates.size() == 1) {
    out.result = Lookup::Result::Prefix;
    out.candidates.clear();
  } else if (out.candidates.size() > 1) {
    out.result = Lookup::Result::Ambiguous;
    out.node.reset();
  }
  return out;
}

bool WordList::allows(std::string_view word) const {
  return std::find(words.begin(), words.end(), word) != words.end();
}

const WordList* word_list(Node argument) {
  // One parsed list per distinct description, built on first use.
  static std::array<std::unique_ptr<WordList>, 256> lists;
  static std::array<bool, 256> done{};
  static std::mutex mutex;
  const std::uint8_t id = kNodes[argument.index()].desc;
  if (id == 0 || argument.kind() != Kind::Argument) return nullptr;
  std::lock_guard lock(mutex);
  if (!done[id]) {
    lists[id] = parse_word_list(kDescs[id]);
    done[id] = true;
  }
  return lists[id].get();
}

std::size_t node_count() { return kCount; }

}  // namespace rosgen::ros7
