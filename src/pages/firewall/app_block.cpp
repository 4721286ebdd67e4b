// Tab 17: fixed presets that block well-known applications. Two carry real
// rules (an address list of the application's servers and a drop rule); the
// others are not finished and say so.
#include <algorithm>
#include <string_view>

#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// "PRESET TAG ADDRESS" per server, in list order; TAG "-" means no comment.
constexpr std::string_view kRows[] = {
#include "app_block_servers.inc"
};

struct Server {
  std::string_view preset, tag, address;
};

// Words separated by single blanks, as the data file writes them.
constexpr Server parse(std::string_view row) {
  size_t a = row.find(' ');
  size_t b = a == std::string_view::npos ? a : row.find(' ', a + 1);
  if (b == std::string_view::npos) return {};
  return {row.substr(0, a), row.substr(a + 1, b - a - 1), row.substr(b + 1)};
}

constexpr bool well_formed(std::string_view row) {
  Server s = parse(row);
  if (s.preset != "xunlei" && s.preset != "xuanfeng") return false;
  if (s.tag.empty() || s.address.empty()) return false;
  // Addresses and tags go into scripts as they stand, so they must be plain ASCII words.
  return std::ranges::all_of(row, [](char ch) { return ch == ' ' || (ch > ' ' && ch < 0x7F && ch != '"'); }) &&
         s.address.find(' ') == std::string_view::npos;
}
static_assert(std::ranges::all_of(kRows, well_formed), "app-block-servers.txt: rows are PRESET TAG ADDRESS");

struct Preset {
  std::string_view id;  // the data file's preset word
  Ascii list;
  Ascii row_end;  // what follows "disabled=no" on each server row
  Ascii filter;   // the drop rule
  Ascii rule;     // the drop rule's comment, for RouterOS 7
};

const Preset kXunlei{"xunlei", "BlockadeXunlei"_a, ""_a,
                     "add chain=forward dst-address-list=\"BlockadeXunlei\" action=drop "
                     "comment=\"BlockadeXunlei-091206\" disabled=no"_a,
                     "BlockadeXunlei-091206"_a};
const Preset kXuanFeng{"xuanfeng", "BlockadeQqXuanFeng"_a, " "_a,
                       "add chain=forward dst-address-list=\"BlockadeQqXuanFeng\" action=drop "
                       "comment=\"BlockadeQqXuanFeng\" disabled=no"_a,
                       "BlockadeQqXuanFeng"_a};

Gbk plain(std::string_view ascii) { return Gbk::from_bytes(std::string(ascii)); }

Gbk preset_text(const Preset& p) {
  Gbk s;
  s += "/ ip firewall address-list \r\n"_a;
  for (std::string_view row : kRows) {
    Server server = parse(row);
    if (server.preset != p.id) continue;
    Gbk comment = server.tag == "-" ? Gbk() : plain(server.tag);
    s += "add list=\""_a + Gbk(p.list) + "\" address="_a + plain(server.address) + " comment=\""_a + comment +
         "\" disabled=no"_a + Gbk(p.row_end) + "\r\n"_a;
  }
  s += "/ ip firewall filter \r\n"_a;
  s += p.filter;  // the last line has no line end
  return s;
}

Outcome xunlei(Ctx& c) {
  c.write(preset_text(kXunlei));
  return Outcome::Done;
}

Outcome xuanfeng(Ctx& c) {
  c.write(preset_text(kXuanFeng));
  return Outcome::Done;
}

Outcome unfinished(Ctx& c) {
  Gbk s;
  s += "/ ip firewall address-list \r\n"_a;
  s += to_gbk("#最功能暂时未完善");
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7: the same list and drop rule, one full command per line.
Gbk preset_text_7x(const Preset& p) {
  const Gbk list = word7(Gbk(p.list));
  Gbk s;
  for (std::string_view row : kRows) {
    Server server = parse(row);
    if (server.preset != p.id) continue;
    s += "/ip firewall address-list add list="_a + list + " address="_a + plain(server.address);
    if (server.tag != "-") s += " comment="_a + word7(plain(server.tag));
    s += "\r\n"_a;
  }
  s += "/ip firewall filter add chain=forward dst-address-list="_a + list + " action=drop comment="_a +
       word7(Gbk(p.rule));  // the last line has no line end
  return s;
}

Outcome xunlei_7x(Ctx& c) {
  c.write(preset_text_7x(kXunlei));
  return Outcome::Done;
}

Outcome xuanfeng_7x(Ctx& c) {
  c.write(preset_text_7x(kXuanFeng));
  return Outcome::Done;
}

// Nothing to block yet on any version: the note alone, as a comment line.
Outcome unfinished_7x(Ctx& c) {
  c.write(to_gbk("#最功能暂时未完善"));
  return Outcome::Done;
}

Group preset_group(const char* caption, const char* description, const std::string& id, const Handler& run,
                   const Handler& run_7x) {
  return group(caption, {
                            note(description),
                            row({
                                button(id + "-2x", "", "生成2.9.X系列脚本", run),
                                button(id + "-3x", "", "生成3.X系列脚本", run),
                                button7(id + "-7x", "生成7.X系列脚本", run_7x),
                            }),
                        });
}

}  // namespace

void build_app_block(Page& page) {
  page.caption = "封锁常用软件脚本生成";
  page.items = {
      row({
          preset_group("封迅雷多线程下载脚本生成",
                       "让迅雷只能使用原始地址下载(即一个线程下载),和IE下载没两样,不影响迅雷登陆及相关迅雷网站!",
                       "xunlei", xunlei, xunlei_7x),
          preset_group("封QQ旋风下载脚本生成",
                       "让QQ旋风完全不能获取到资源(即完全不能下载),不影响打开旋风及腾讯所有网站及业务!", "xuanfeng",
                       xuanfeng, xuanfeng_7x),
      }),
      row({
          preset_group("封腾讯QQ音乐播放脚本生成", "禁止QQ音乐在线播放,让QQ音乐无法搜索及获取列表!", "qq-music",
                       unfinished, unfinished_7x),
          preset_group("禁止QQ聊天脚本生成", "禁止QQ登陆,不影响腾讯其它业务及网站(适合企业用户使用)!", "qq-chat",
                       unfinished, unfinished_7x),
      }),
      row({
          preset_group("禁止PPlive网络电视脚本生成", "禁止PPlive网络电视无法观看!", "pplive", unfinished,
                       unfinished_7x),
          preset_group("禁止腾讯QQ直播脚本生成", "禁止腾讯QQ直播!禁止后将无法连接获取列表!", "qq-live", unfinished,
                       unfinished_7x),
      }),
  };
}

}  // namespace rosgen
