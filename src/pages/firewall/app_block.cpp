// Tab 17: fixed presets that block well-known applications. Two carry real
// rules (an address list of the application's servers and a drop rule); the
// others are not finished and say so. The RouterOS 7 buttons block the
// applications' host names instead of their long-gone addresses.
#include <algorithm>
#include <span>
#include <string_view>

#include "pages/builders.h"
#include "pages/firewall/firewall7.h"
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
};

const Preset kXunlei{"xunlei", "BlockadeXunlei"_a, ""_a,
                     "add chain=forward dst-address-list=\"BlockadeXunlei\" action=drop "
                     "comment=\"BlockadeXunlei-091206\" disabled=no"_a};
const Preset kXuanFeng{"xuanfeng", "BlockadeQqXuanFeng"_a, " "_a,
                       "add chain=forward dst-address-list=\"BlockadeQqXuanFeng\" action=drop "
                       "comment=\"BlockadeQqXuanFeng\" disabled=no"_a};

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

// --- RouterOS 7 ---
// The servers of the lists above moved long ago, so a drop by address blocks nothing today.
// What works is blocking the names the application asks for: the router answers NXDOMAIN for
// them, and every DNS query from the LAN is redirected to the router, so a client with its own
// DNS server set gets the same answer. The names are those the public hosts lists of 2012-2013
// (whence the addresses above) pinned for the same servers.
constexpr std::string_view kXunleiNames[] = {"hub5idx.shub.sandai.net", "hub5pr.sandai.net"};
constexpr std::string_view kXuanFengNames[] = {"cloudplayer.xf.qq.com", "xflx.store.cd.qq.com", "fs-hello.qq.com",
                                               "fs-conn.qq.com"};

// The redirect of the LAN's DNS queries to the router, once however many presets are pressed.
Gbk dns_to_router7() {
  // A named array: some compilers leave a literal in a braced list to run time.
  static constexpr Ascii kProtocols[] = {"udp"_a, "tcp"_a};
  Gbk s;
  for (Ascii protocol : kProtocols) {
    const Gbk match =
        " chain=dstnat in-interface-list=LAN protocol="_a + Gbk(protocol) + " dst-port=53 action=redirect"_a;
    s += unless_found7("/ip firewall nat find"_a + match,
                       "/ip firewall nat add"_a + match + " to-ports=53 comment=\"LAN DNS to router\""_a) +
         "\r\n"_a;
  }
  return s;
}

// Not a template: some compilers leave a literal in a template's body to run time.
Gbk preset_text_7x(const Preset& p, std::span<const std::string_view> names) {
  Gbk s = to_gbk(
      "# 按2009年的服务器IP列表封锁在今天已无效：这些地址早已更换，照抄到RouterOS 7上什么也封不住。\r\n"
      "# 改为按域名封锁：路由器对下列域名回答NXDOMAIN，局域网的DNS查询一律转给路由器"
      "(加密DNS如DoH不经此路)。域名取自2012-2013年的公开hosts列表，软件如今可能另用别的域名。\r\n");
  const Gbk comment = word7(Gbk(p.list));
  for (std::string_view name : names) {
    const Gbk n = plain(name);
    s += unless_found7("/ip dns static find name="_a + n,
                       "/ip dns static add name="_a + n + " type=NXDOMAIN comment="_a + comment) +
         "\r\n"_a;
  }
  s += dns_to_router7();
  s += "/ip dns cache flush"_a;  // answers cached before the block would outlive it
  return s;
}

Outcome xunlei_7x(Ctx& c) {
  c.write(preset_text_7x(kXunlei, kXunleiNames));
  return Outcome::Done;
}

Outcome xuanfeng_7x(Ctx& c) {
  c.write(preset_text_7x(kXuanFeng, kXuanFengNames));
  return Outcome::Done;
}

// No names of these applications can be sourced: the note, and how to block one that is known.
Outcome unfinished_7x(Ctx& c) {
  c.write(to_gbk(
      "#最功能暂时未完善\r\n"
      "# 此软件没有可查证的服务器域名，本脚本不封锁任何东西。知道其域名时，可在局域网DNS经路由器的前提下这样封锁：\r\n"
      "# /ip dns static add name=域名 type=NXDOMAIN"));
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
