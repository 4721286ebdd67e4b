#include "engine/describe.h"

#include "engine/driver.h"
#include "pages/registry.h"

namespace rosgen {
namespace {

using json = nlohmann::ordered_json;

const char* kind_name(FieldKind kind) {
  switch (kind) {
    case FieldKind::Edit: return "edit";
    case FieldKind::Multiline: return "multiline";
    case FieldKind::Check: return "check";
    case FieldKind::Radio: return "radio";
    case FieldKind::Combo: return "combo";
  }
  return "edit";
}

json or_null(const std::string& s) { return s.empty() ? json(nullptr) : json(s); }

const char* row_type(const Row& r) {
  if (r.stacked) return "column";
  return r.wrap ? "flow" : "row";
}

// The items as they stand on the page, fields, buttons and lists by id.
json layout(const std::vector<Item>& items) {
  json out = json::array();
  for (const Item& item : items) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      out.push_back({{"type", "field"}, {"id", f->id}});
    } else if (const auto* b = std::get_if<Button>(&item.v)) {
      out.push_back({{"type", "button"}, {"id", b->id}});
    } else if (const auto* n = std::get_if<Note>(&item.v)) {
      out.push_back({{"type", "note"}, {"text", n->text}});
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      out.push_back({{"type", "list"}, {"id", l->id}});
    } else if (const auto* g = std::get_if<Group>(&item.v)) {
      out.push_back({{"type", "group"}, {"caption", g->caption}, {"items", layout(g->items)}});
    } else if (const auto* r = std::get_if<Row>(&item.v)) {
      out.push_back({{"type", row_type(*r)}, {"items", layout(r->items)}});
    }
  }
  return out;
}

json describe_field(const Field& f, const Form& form, const std::string& group) {
  json j{{"id", f.id},
         {"key", or_null(f.key)},
         {"kind", kind_name(f.kind)},
         {"value_kind", value_kind_name(f.value.kind)},
         {"label", f.label},
         {"hint", f.hint},
         {"group", group}};
  if (f.value.kind == ValueKind::Integer) j["value_range"] = {f.value.min, f.value.max};
  if (f.kind == FieldKind::Edit || f.kind == FieldKind::Multiline) {
    j["writing"] = {{dialect_name(Dialect::Classic), writing_name(f.value.classic)},
                    {dialect_name(Dialect::V7), writing_name(f.value.v7)}};
  }
  switch (f.kind) {
    case FieldKind::Edit:
    case FieldKind::Multiline: j["default"] = f.text; break;
    case FieldKind::Check:
    case FieldKind::Radio: j["default"] = form.checked(f.id); break;
    case FieldKind::Combo:
      j["default"] = form.index(f.id);
      j["items"] = f.items;
      break;
  }
  j["enabled"] = form.enabled(f.id);
  j["visible"] = f.visible;
  j["read_only"] = f.read_only;
  j["hint_below"] = f.hint_below;
  if (f.kind == FieldKind::Radio) j["radio_group"] = f.radio_group;
  return j;
}

json describe_list(const LineList& l, const Page& page) {
  json columns = json::array();
  for (const Column& c : l.columns) columns.push_back({{"title", c.title}, {"width", c.width}, {"field", c.field}});
  json j{{"id", l.id}, {"columns", columns}, {"add", l.add_button}};
  j["modify"] = find_button(page, l.modify_button) ? json(l.modify_button) : json(nullptr);
  j["lines"] = l.lines;
  return j;
}

}  // namespace

json describe_page(const Page& page) {
  auto form = start_form(page);
  json fields = json::array();
  json buttons = json::array();
  json lists = json::array();
  walk(
      page.items,
      [&](const Item& item, const std::string& group) {
        if (const auto* f = std::get_if<Field>(&item.v)) {
          fields.push_back(describe_field(*f, *form, group));
        } else if (const auto* b = std::get_if<Button>(&item.v)) {
          buttons.push_back({{"id", b->id},
                             {"designer", or_null(b->designer)},
                             {"caption", b->caption},
                             {"group", group},
                             {"dialect", dialect_name(dialect_of(page, *b))}});
        } else if (const auto* l = std::get_if<LineList>(&item.v)) {
          lists.push_back(describe_list(*l, page));
        }
      },
      page.caption);
  // Keys in the order the page reads: what it is, its fields, its list, its buttons; then
  // what renders it.
  json j{{"index", page.index},     {"slug", page.slug},     {"tab", page.tab},
         {"caption", page.caption}, {"output", page.output}, {"fields", std::move(fields)}};
  if (!lists.empty()) j["list"] = lists[0];
  j["buttons"] = std::move(buttons);
  j["lists"] = std::move(lists);
  j["panel"] = page.panel;
  j["layout"] = layout(page.items);
  return j;
}

namespace {

struct MenuEntry {
  const char* text;
  int page;
};

struct Menu {
  const char* title;
  std::vector<MenuEntry> entries;
};

// The page items of the window's menus, without their accelerators, in menu order.
const std::vector<Menu>& menus() {
  static const std::vector<Menu> all = {
      {"系统", {{"添加管理员帐号", 1}, {"定时重启/关机", 2}, {"其它系统优化/设置", 3}}},
      {"安装",
       {{"单线固定IP安装设置", 4},
        {"单线PPPOE拔号安装设置", 5},
        {"多线固定IP负载安装设置", 6},
        {"多线固定IP分流安装设置", 7},
        {"多线PPPOE负载安装设置", 8},
        {"多线PPPOE分流安装设置", 9},
        {"双线固定IP电信网通安装设置", 10}}},
      {"限速", {{"Queues常用限速", 11}, {"Pcq动态限速", 12}, {"Pcq速体限速", 13}}},
      {"防火墙",
       {{"Ping", 14},
        {"ARP绑定(支持批量)", 15},
        {"限制线程(TCP连接数)", 16},
        {"封锁软件类", 17},
        {"端口映射", 18},
        {"封端口及封IP(支持批量)", 19},
        {"封关键字及域名", 20}}},
      {"VPN", {{"PPTP设置", 21}, {"L2TP设置", 22}, {"WireGuard设置", 26}}},
      {"PPPOE", {{"PPPOE设置", 23}, {"添加PPPOE帐号(支持批量)", 24}, {"DDNS动态域名服务", 25}}},
  };
  return all;
}

}  // namespace

json page_menus() {
  json out = json::array();
  for (const Menu& m : menus()) {
    json entries = json::array();
    for (const MenuEntry& e : m.entries) {
      entries.push_back({{"index", e.page}, {"slug", pages().at(static_cast<size_t>(e.page)).slug}, {"text", e.text}});
    }
    out.push_back({{"title", m.title}, {"pages", std::move(entries)}});
  }
  return out;
}

}  // namespace rosgen
