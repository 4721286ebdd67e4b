// Cases the PPTP and L2TP pages share: accounts, the client as default route,
// the client with a carrier route table, and hostile values on every button.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "pages/wan/carrier_routes.h"
#include "script/text.h"
#include "support.h"

namespace rosgen::test {

// One tunnel page: its field ids and what its buttons write with the defaults.
struct VpnPage {
  std::string slug;
  // Account box.
  std::string bind;
  std::string mac;
  std::string account_head;  // the account line with the defaults, up to the MAC part
  std::string account_tail;  // and from there on
  // Client box: the client line is head + server + tail.
  std::string server;
  std::string telecom;
  std::string netcom;
  std::string client_head;
  std::string server_default;
  std::string client_tail;
  std::string telecom_default;
  std::string netcom_default;
  // Buttons by designer name, as the window knows them.
  std::string account_button;
  std::string default_route_button;
  std::string telecom_main_button;
  std::string netcom_main_button;

  std::string client(const std::string& server_text) const { return client_head + server_text + client_tail; }
};

inline const std::string kInfo = "信息：";
inline const std::string kTelnet = "请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n否则会出错!";

inline std::string default_route_note(const std::string& server) {
  return "如果你设置过默认路由规则\r\n请修改为" + server + "走原来默认路由！";
}

inline size_t count(const std::string& s, const std::string& part) {
  size_t n = 0;
  for (size_t p = s.find(part); p != std::string::npos; p = s.find(part, p + 1)) ++n;
  return n;
}

using Values = std::vector<std::pair<std::string, std::string>>;

inline Press make_press(const std::string& button, const Values& values, const std::vector<std::string>& check = {}) {
  Press p;
  p.button = button;
  for (const auto& [id, v] : values) p.values.emplace_back(id, to_gbk(v));
  p.check = check;
  return p;
}

// A press that also notes how many messages had been shown when the output box
// was first written (nothing when it was not written).
struct Traced {
  Outcome outcome;
  std::optional<size_t> shown_before_write;
};

inline Traced traced_press(Session& s, const Press& p) {
  std::optional<size_t> before;
  int token = s.form->subscribe([&](const Change& change) {
    if (change.kind == Change::Output && !before) before = s.env.messages.size();
  });
  Outcome outcome = s.press(p);
  s.form->unsubscribe(token);
  return {outcome, before};
}

inline void expect_accounts(const VpnPage& page) {
  const std::string plain = page.account_head + page.account_tail;
  struct Case {
    const char* name;
    Values values;
    bool bind;
    std::string output;  // "old" when refused
    std::vector<Shown> messages;
  } cases[] = {
      {"defaults", {}, false, plain, {}},
      {"binding off ignores the MAC", {{page.mac, ""}}, false, plain, {}},
      {"bound MAC is trimmed",
       {{page.mac, "  00-0C-29-AB-CD-EF　"}},
       true,
       page.account_head + " caller-id=00-0C-29-AB-CD-EF" + page.account_tail,
       {}},
      {"empty MAC refused", {{page.mac, ""}}, true, "old", {{kInfo, "绑定的MAC不能为不能为空!"}}},
      {"placeholder MAC refused", {}, true, "old", {{kInfo, "绑定的MAC不能为:00-00-00-00-00"}}},
      // The check looks at the text as typed: blanks get past it.
      {"blank MAC passes the check",
       {{page.mac, "  "}},
       true,
       page.account_head + " caller-id=" + page.account_tail,
       {}},
      {"placeholder with a blank passes",
       {{page.mac, "00-00-00-00-00 "}},
       true,
       page.account_head + " caller-id=00-00-00-00-00" + page.account_tail,
       {}},
  };
  for (const auto& c : cases) {
    for (const std::string& button : {std::string("gen-account"), page.account_button}) {
      Session s(page.slug);
      s.set_output("old");
      Press p = make_press(button, c.values, c.bind ? std::vector<std::string>{page.bind} : std::vector<std::string>{});
      EXPECT_EQ(s.press(p), c.output == "old" ? Outcome::Refused : Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.output) << c.name << " / " << button;
      EXPECT_EQ(s.env.messages, c.messages) << c.name;
    }
  }
}

inline void expect_client_as_default_route(const VpnPage& page) {
  struct Case {
    Values values;
    std::string output;
    std::string server;  // named in the note
  } cases[] = {
      {{}, page.client(page.server_default), page.server_default},
      {{{page.server, " 203.0.113.77 "}}, page.client("203.0.113.77"), "203.0.113.77"},
      {{{page.server, ""}}, page.client(""), ""},
  };
  for (const auto& c : cases) {
    for (const std::string& button : {std::string("client-default-route"), page.default_route_button}) {
      Session s(page.slug);
      s.set_output("old");
      Traced t = traced_press(s, make_press(button, c.values));
      EXPECT_EQ(t.outcome, Outcome::Done);
      EXPECT_EQ(s.output(), c.output) << button;
      EXPECT_EQ(s.env.messages, (std::vector<Shown>{{kInfo, default_route_note(c.server)}}));
      EXPECT_EQ(t.shown_before_write, 0u) << "the note comes after the output";
    }
  }
}

inline void expect_client_routes(const VpnPage& page) {
  const std::string backup_tail = "\r\nscope=255 target-scope=10 comment=\"\" disabled=no";
  struct Case {
    const char* name;
    std::string button;
    Values values;
    std::string telecom;  // gateways as the script must carry them
    std::string netcom;
    bool telecom_main;
  } cases[] = {
      {"telecom main, defaults", "routes-telecom-main", {}, page.telecom_default, page.netcom_default, true},
      {"netcom main, defaults", page.netcom_main_button, {}, page.telecom_default, page.netcom_default, false},
      {"telecom main, typed",
       page.telecom_main_button,
       {{page.server, "203.0.113.77"}, {page.telecom, "203.0.113.1 "}, {page.netcom, "　10.9.8.7"}},
       "203.0.113.1",
       "10.9.8.7",
       true},
      {"netcom main, typed",
       "routes-netcom-main",
       {{page.server, "203.0.113.77"}, {page.telecom, "203.0.113.1 "}, {page.netcom, "　10.9.8.7"}},
       "203.0.113.1",
       "10.9.8.7",
       false},
      {"empty gateways",
       "routes-telecom-main",
       {{page.server, "203.0.113.77"}, {page.telecom, ""}, {page.netcom, " "}},
       "",
       "",
       true},
  };
  for (const auto& c : cases) {
    Session s(page.slug);
    s.set_output("old");
    Traced t = traced_press(s, make_press(c.button, c.values));
    EXPECT_EQ(t.outcome, Outcome::Done) << c.name;
    EXPECT_EQ(s.env.messages, (std::vector<Shown>{{kInfo, kTelnet}})) << c.name;
    EXPECT_EQ(t.shown_before_write, 0u) << c.name << ": the note comes after the output";

    const std::string out = s.output();
    const std::string client = c.values.empty() ? page.client(page.server_default) : page.client("203.0.113.77");
    // The secondary carrier's table goes through its own gateway, the rest through the main one.
    const std::string& secondary = c.telecom_main ? c.netcom : c.telecom;
    const std::string& main = c.telecom_main ? c.telecom : c.netcom;
    const std::string first_entry =
        c.telecom_main ? "add dst-address=59.80.0.0/14 gateway=" + secondary + " check-gateway=ping\r\n"
                       : "add dst-address=58.14.0.0/15 gateway=" + secondary + " distance=1 \r\n";
    const std::string entry_gateway = c.telecom_main ? "gateway=" + secondary + " check-gateway=ping\r\n"
                                                     : "gateway=" + secondary + " distance=1 \r\n";
    const size_t entries = c.telecom_main ? 134 : 247;
    EXPECT_TRUE(out.starts_with(client + "\r\n/ ip route \r\n" + first_entry)) << c.name;
    EXPECT_TRUE(out.ends_with("disabled=no\r\nadd dst-address=0.0.0.0/0 gateway=" + main +
                              " check-gateway=ping distance=2" + backup_tail))
        << c.name;
    EXPECT_EQ(count(out, entry_gateway), entries) << c.name;
    EXPECT_EQ(count(out, "add dst-address="), entries + 1) << c.name;
    EXPECT_EQ(count(out, "\r\n"), 1 + 1 + 2 * entries + 1) << c.name;
    // And byte for byte: client line, filled table, backup route.
    Carrier table = c.telecom_main ? Carrier::Netcom : Carrier::Telecom;
    EXPECT_EQ(
        s.form->output().bytes(),
        (to_gbk(client + "\r\n") + fill_gateway(table, to_gbk(secondary)) + backup_default_route(to_gbk(main))).bytes())
        << c.name;
  }
}

// Each press replaces the whole output: the last button wins.
inline void expect_each_press_replaces(const VpnPage& page, const std::string& server_first_line) {
  Session s(page.slug);
  s.set_output("old");
  s.press("routes-netcom-main");
  s.press("gen-server");
  EXPECT_TRUE(s.output().starts_with(server_first_line));
  EXPECT_EQ(s.output().find("/ ip route"), std::string::npos);
  s.press("gen-account");
  EXPECT_EQ(s.output(), page.account_head + page.account_tail);
  s.press("routes-telecom-main");
  s.press("client-default-route");
  EXPECT_EQ(s.output(), page.client(page.server_default));
}

// Quotes, blanks, line ends, a 64 KB text and bytes that are not GBK in every
// field, with every box on and off: each button refuses or writes, nothing else.
inline void expect_survives_hostile_values(const std::string& slug) {
  const std::string big(64 * 1024, 'x');
  const std::vector<Gbk> hostile = {to_gbk("\"; :put \"$x\" '"),         to_gbk("   "), to_gbk("a\r\nb"), to_gbk(big),
                                    Gbk::from_bytes("\x81\x20\xFF\xA1"), Gbk()};
  Session probe(slug);
  std::vector<std::string> edits;
  std::vector<std::string> boxes;
  std::vector<std::string> buttons;
  walk(probe.page.items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      (f->kind == FieldKind::Check ? boxes : edits).push_back(f->id);
    } else if (const auto* b = std::get_if<Button>(&item.v)) {
      buttons.push_back(b->id);
    }
  });
  ASSERT_FALSE(edits.empty());
  ASSERT_EQ(buttons.size(), 10u);  // five, each with its RouterOS 7 sibling
  for (const Gbk& value : hostile) {
    for (bool on : {true, false}) {
      for (const std::string& button : buttons) {
        Session s(slug);
        s.set_output("old");
        Press p;
        p.button = button;
        for (const std::string& id : edits) p.values.emplace_back(id, value);
        (on ? p.check : p.uncheck) = boxes;
        Outcome outcome = s.press(p);
        if (outcome == Outcome::Refused) {
          EXPECT_EQ(s.output(), "old") << button;
          EXPECT_EQ(s.env.messages.size(), 1u) << button;
        } else if (!button.ends_with("-7x")) {
          // RouterOS 7 scripts write values escaped in quotes, so only the classic ones hold them raw.
          EXPECT_NE(s.form->output().bytes().find(trim(value).bytes()), std::string::npos) << button;
        }
      }
    }
  }
}

}  // namespace rosgen::test
