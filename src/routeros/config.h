// The model of a router's configuration that scripts are applied to: menus as ordered lists of
// items, each item its properties as the script set them. Internal to the routeros library.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rosgen::ros7::model {

struct Item {
  std::vector<std::pair<std::string, std::string>> props;
  std::uint32_t serial = 0;  // unique in the configuration, stable while items move
  int line = 0;              // the script line that added it; 0 for the base
  int col = 0;
  int touched = 0;  // the last script line that changed it; 0 if none
  bool disabled = false;
  bool unknown = false;  // some property was only known when run: the item is not judged

  const std::string* get(std::string_view key) const {
    for (const auto& [k, v] : props) {
      if (k == key) return &v;
    }
    return nullptr;
  }
  std::string_view value(std::string_view key) const {
    const std::string* v = get(key);
    return v ? std::string_view(*v) : std::string_view();
  }
  bool has(std::string_view key) const { return get(key) != nullptr; }
  void set(std::string_view key, std::string value) {
    for (auto& [k, v] : props) {
      if (k == key) {
        v = std::move(value);
        return;
      }
    }
    props.emplace_back(std::string(key), std::move(value));
  }
  void unset(std::string_view key) {
    for (auto it = props.begin(); it != props.end(); ++it) {
      if (it->first == key) {
        props.erase(it);
        return;
      }
    }
  }
  bool from_script() const { return line > 0 || touched > 0; }
  int anchor() const { return touched > line ? touched : line; }
};

struct Menu {
  std::vector<Item> items;
  int last_change = 0;  // the last script line that added, changed or removed an item here
};

// A command the script ran that is not a change of a menu (`/tool dns-update ...`), kept for the
// rules that judge such commands.
struct Ran {
  std::string path;  // "/tool/dns-update"
  std::vector<std::pair<std::string, std::string>> args;
  int line = 0;
  int col = 0;
};

// A script kept as text (a system script's source, a scheduler's on-event, ...).
struct Stored {
  std::string text;
  int line = 0;
  int col = 0;
};

struct Config {
  std::map<std::string, Menu, std::less<>> menus;  // by path: "/ip/firewall/filter"
  std::vector<Ran> ran;
  std::vector<Stored> stored;
  std::uint32_t next_serial = 1;
  bool defconf = false;

  Menu& menu(std::string_view path) {
    auto it = menus.find(path);
    if (it == menus.end()) it = menus.emplace(std::string(path), Menu{}).first;
    return it->second;
  }
  const Menu* find_menu(std::string_view path) const {
    auto it = menus.find(path);
    return it == menus.end() ? nullptr : &it->second;
  }
  // The enabled items of a menu (none when it has never been touched).
  template <typename F>
  void each(std::string_view path, F f) const {
    if (const Menu* m = find_menu(path)) {
      for (const Item& item : m->items) {
        if (!item.disabled) f(item);
      }
    }
  }
};

// --- values ---------------------------------------------------------------------------------

// A dotted IPv4 address.
std::optional<std::uint32_t> parse_ipv4(std::string_view s);

struct Net {
  std::uint32_t address = 0;
  int prefix = 32;
  bool contains(std::uint32_t a) const {
    const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
    return (a & mask) == (address & mask);
  }
  bool covers(const Net& other) const { return other.prefix >= prefix && contains(other.address); }
};
// "A.B.C.D" or "A.B.C.D/N".
std::optional<Net> parse_net(std::string_view s);

// The words of a comma list ("a,b,c").
std::vector<std::string_view> split_list(std::string_view s);

// The interface menus: every interface's name is unique across them.
bool is_interface_menu(std::string_view path);
// Names that stand for interfaces without being one (`all`, `all-ppp`, `none`, ...).
bool is_interface_wildcard(std::string_view name);

// The configuration every RouterOS 7 router has before anything is configured, and the default
// configuration applied to it.
Config empty_router();
const Config& default_configuration();

}  // namespace rosgen::ros7::model
