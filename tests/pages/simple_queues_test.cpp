// Tab 11: per-host simple queues.
#include <gtest/gtest.h>

#include <set>

#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

const std::string kHead3x =
    ":for ketrova5 from=1 to=253 do={queue simple add name=(\"ketrova5\" . $ketrova5) "
    "dst-address=(\"192.168.0.\". $ketrova5) ";
const std::string kHead2x =
    ":for ketrova5 from 1 to 253 do={/queue simple add name=(ketrova5 . $ketrova5) "
    "dst-address=(192.168.0. . $ketrova5) ";
const std::string kPlain = "max-limit=800000/800000 interface=all";
const std::string kAverage = "limit-at=640000/640000 max-limit=800000/800000 interface=all";
const std::string kPro =
    "limit-at=640000/640000 max-limit=800000/800000 interface=all parent=none priority=8 queue=default/default "
    "burst-limit=1600000/1600000 burst-threshold=800000/800000 burst-time=3s/3s total-queue=default "
    "target-address=0.0.0.0/0";
const std::string kWeek = ",sun,mon,tue,wed,thu,fri,sat";
const std::string kAllDay = " time=0h0m0s-0h0m0s" + kWeek;

const std::string A = "选择框_平均速度";
const std::string P = "选择框_专业限速";
const std::string T = "选择框_是否分时间段限速";

TEST(SimpleQueues, SixVariantsAndTheirValues) {
  struct Case {
    const char* name;
    Values values;
    std::vector<std::string> check;
    std::vector<std::string> uncheck;
    std::string tail;  // after the dialect's head
  } cases[] = {
      {"plain", {}, {}, {}, kPlain + " disabled=no}"},
      {"plain, time window", {}, {T}, {}, kPlain + kAllDay + " disabled=no}"},
      {"average", {}, {A}, {}, kAverage + " disabled=no}"},
      {"average, time window", {}, {A, T}, {}, kAverage + kAllDay + " disabled=no}"},
      {"professional", {}, {P}, {}, kPro + " disabled=no}"},
      {"professional wins over average", {}, {A, P}, {}, kPro + " disabled=no}"},
      {"professional, time window", {}, {P, T}, {}, kPro + kAllDay + " disabled=no}"},
      {"professional writes limit-at without the average box",
       {{"编辑框_平均下载", "1"}},
       {P},
       {A},
       "limit-at=8000/640000" + kPro.substr(kPro.find(" max-limit=")) + " disabled=no}"},
      {"average from disabled fields",
       {{"编辑框_平均上传", "2"}},
       {A},
       {},
       "limit-at=640000/16000 max-limit=800000/800000 interface=all disabled=no}"},
      {"rates that are no number read 0",
       {{"编辑框_下载", "abc"}, {"编辑框_上传", ""}},
       {},
       {},
       "max-limit=0/0 interface=all disabled=no}"},
      {"rates beyond a double read as infinity, however written",
       {{"编辑框_下载", "0.5e400"}, {"编辑框_上传", "1e-400"}},
       {},
       {},
       "max-limit=inf/0 interface=all disabled=no}"},
      {"letters after a number are ignored",
       {{"编辑框_下载", "80k"}},
       {},
       {},
       "max-limit=640000/800000 interface=all disabled=no}"},
      {"fractions, full-width digits and blanks",
       {{"编辑框_下载", "1.5"},
        {"编辑框_上传", "0.0001"},
        {"编辑框_平均下载", "　１００ "},
        {"编辑框_平均上传", "0.5"}},
       {A},
       {},
       "limit-at=800000/4000 max-limit=12000/0.8 interface=all disabled=no}"},
      {"professional values trimmed, as typed",
       {{"编辑框_突发下载时间", " 5 "},
        {"编辑框_突发上传时间", "x"},
        {"编辑框_突发极限下载", "250"},
        {"编辑框_突发极限上传", ""},
        {"编辑框_普通突发下载", "1e3"},
        {"编辑框_普通突发上传", "-2"},
        {"编辑框_限制IP范围", "　10.0.0.0/8 "}},
       {P},
       {},
       "limit-at=640000/640000 max-limit=800000/800000 interface=all parent=none priority=8 queue=default/default "
       "burst-limit=2000000/0 burst-threshold=8000000/-16000 burst-time=5s/xs total-queue=default "
       "target-address=10.0.0.0/8 disabled=no}"},
      {"interface and priority fields are never read",
       {{"编辑框_网卡", "ether9"}, {"编辑框_数据包优先极", "1"}},
       {P},
       {},
       kPro + " disabled=no}"},
      {"time parts keep one or two digits",
       {{"编辑框_开始小时", "8"},
        {"编辑框_开始分钟", "05"},
        {"编辑框_开始秒", "0"},
        {"编辑框_结束小时", "123"},
        {"编辑框_结束分钟", " 30 "},
        {"编辑框_结束秒", "7"}},
       {T},
       {},
       kPlain + " time=8h5m0s-23h30m7s" + kWeek + " disabled=no}"},
      {"odd time parts",
       {{"编辑框_开始小时", ""}, {"编辑框_开始分钟", "-5"}, {"编辑框_开始秒", "ab"}},
       {T},
       {},
       kPlain + " time=h5mbs-0h0m0s" + kWeek + " disabled=no}"},
      {"only Monday and Friday",
       {},
       {T},
       {"选择框_星期天", "选择框_星期二", "选择框_星期三", "选择框_星期四", "选择框_星期六"},
       kPlain + " time=0h0m0s-0h0m0s,mon,fri disabled=no}"},
      {"no day keeps the comma",
       {},
       {T},
       {"选择框_星期天", "选择框_星期一", "选择框_星期二", "选择框_星期三", "选择框_星期四", "选择框_星期五",
        "选择框_星期六"},
       kPlain + " time=0h0m0s-0h0m0s, disabled=no}"},
      {"professional, no day",
       {},
       {P, T},
       {"选择框_星期天", "选择框_星期二", "选择框_星期三", "选择框_星期四", "选择框_星期五", "选择框_星期六",
        "选择框_星期一"},
       kPro + " time=0h0m0s-0h0m0s, disabled=no}"},
      {"time fields ignored without the window",
       {{"编辑框_开始小时", "8"}},
       {},
       {"选择框_星期一"},
       kPlain + " disabled=no}"},
  };
  for (const auto& c : cases) {
    for (const auto& [button, head] : {std::pair{"gen-2x", kHead2x}, std::pair{"gen-3x", kHead3x}}) {
      Session s("simple-queues");
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values, c.check, c.uncheck), Outcome::Done);
      EXPECT_EQ(s.output(), head + c.tail) << c.name << " / " << button;
      EXPECT_TRUE(s.env.messages.empty()) << c.name;
    }
  }
}

TEST(SimpleQueues, HeadsTakeTheRangeNameAndPrefixAsTyped) {
  const Values values{
      {"编辑框_机器数量首", " 20"}, {"编辑框_机器数量尾", "10　"}, {"编辑框_机器名", " pc"}, {"编辑框_IP", "10.1.1 "}};
  const std::string tail = kPlain + " disabled=no}";
  Session s3("simple-queues");
  s3.press("gen-3x", values);
  EXPECT_EQ(s3.output(),
            ":for ketrova5 from=20 to=10 do={queue simple add name=(\"pc\" . $ketrova5) "
            "dst-address=(\"10.1.1.\". $ketrova5) " +
                tail);
  Session s2("simple-queues");
  s2.press("gen-2x", values);
  EXPECT_EQ(s2.output(),
            ":for ketrova5 from 20 to 10 do={/queue simple add name=(pc . $ketrova5) "
            "dst-address=(10.1.1. . $ketrova5) " +
                tail);
  Session empty("simple-queues");
  empty.press("gen-3x",
              {{"编辑框_机器数量首", ""}, {"编辑框_机器数量尾", ""}, {"编辑框_机器名", ""}, {"编辑框_IP", ""}});
  EXPECT_EQ(empty.output(),
            ":for ketrova5 from= to= do={queue simple add name=(\"\" . $ketrova5) "
            "dst-address=(\".\". $ketrova5) " +
                tail);
}

TEST(SimpleQueues, RemovalAlwaysCoversOneTo253In3xSyntax) {
  struct Case {
    Values values;
    std::string expected;
  } cases[] = {
      {{}, ":for ketrova5 from=1 to=253 do={queue simple remove (\"ketrova5\" . $ketrova5)}"},
      {{{"编辑框_机器名", " pc "}, {"编辑框_机器数量首", "5"}, {"编辑框_机器数量尾", "9"}},
       ":for ketrova5 from=1 to=253 do={queue simple remove (\"pc\" . $ketrova5)}"},
      {{{"编辑框_机器名", ""}}, ":for ketrova5 from=1 to=253 do={queue simple remove (\"\" . $ketrova5)}"},
  };
  for (const auto& c : cases) {
    Session s("simple-queues");
    s.set_output("old");
    EXPECT_EQ(s.press("remove", c.values, {P, T}), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected);
  }
}

// Which of the switched fields are enabled after the clicks, in order.
TEST(SimpleQueues, SwitchesEnableTheirFields) {
  const std::vector<std::string> average{"编辑框_平均下载", "编辑框_平均上传"};
  const std::vector<std::string> pro{"编辑框_突发下载时间", "编辑框_突发上传时间", "编辑框_突发极限下载",
                                     "编辑框_突发极限上传", "编辑框_普通突发下载", "编辑框_普通突发上传",
                                     "编辑框_数据包优先极", "编辑框_限制IP范围"};
  const std::vector<std::string> time{"选择框_星期天",   "选择框_星期一", "选择框_星期二",   "选择框_星期三",
                                      "选择框_星期四",   "选择框_星期五", "选择框_星期六",   "编辑框_开始小时",
                                      "编辑框_开始分钟", "编辑框_开始秒", "编辑框_结束小时", "编辑框_结束分钟",
                                      "编辑框_结束秒"};
  auto join = [](std::initializer_list<const std::vector<std::string>*> parts) {
    std::set<std::string> all;
    for (const auto* p : parts) all.insert(p->begin(), p->end());
    return all;
  };
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, bool>> clicks;
    std::set<std::string> enabled;
  } cases[] = {
      {"start", {}, {}},
      {"average on", {{A, true}}, join({&average})},
      {"average on, off", {{A, true}, {A, false}}, {}},
      {"professional on", {{P, true}}, join({&average, &pro})},
      {"professional off disables average too", {{A, true}, {P, true}, {P, false}}, {}},
      {"average off under professional", {{P, true}, {A, false}}, join({&pro})},
      {"time window on", {{T, true}}, join({&time})},
      {"time window on, off", {{T, true}, {T, false}}, {}},
      {"all three", {{T, true}, {A, true}, {P, true}}, join({&average, &pro, &time})},
  };
  for (const auto& c : cases) {
    Session s("simple-queues");
    for (const auto& [id, on] : c.clicks) toggle(*s.form, id, on);
    for (const auto* group : {&average, &pro, &time}) {
      for (const std::string& id : *group) {
        EXPECT_EQ(s.form->enabled(id), c.enabled.count(id) == 1) << c.name << ": " << id;
      }
    }
    for (const std::string& id :
         std::vector<std::string>{"编辑框_IP", "编辑框_网卡", "编辑框_机器名", "编辑框_机器数量首", "编辑框_机器数量尾",
                                  "编辑框_下载", "编辑框_上传", A, P, T}) {
      EXPECT_TRUE(s.form->enabled(id)) << c.name << ": " << id;
    }
  }
  // A bare form, before the start-up states, has everything enabled.
  Form bare(*find_page("simple-queues"));
  EXPECT_TRUE(bare.enabled("编辑框_平均下载"));
  EXPECT_TRUE(bare.enabled("选择框_星期六"));
}

TEST(SimpleQueues, HostileValuesGoThroughWhole) {
  Session s("simple-queues");
  std::string big(64 * 1024, 'q');
  s.form->set_text("编辑框_机器名", Gbk::from_bytes("\"a\\\xFF\x81"));
  s.form->set_text("编辑框_IP", Gbk::from_bytes(big));
  s.form->set_text("编辑框_下载", Gbk::from_bytes(std::string(70000, '9')));
  toggle(*s.form, P, true);
  toggle(*s.form, T, true);
  s.form->set_text("编辑框_开始小时", Gbk::from_bytes("\xA3"));
  Press p;
  p.button = "gen-3x";
  EXPECT_EQ(s.press(p), Outcome::Done);
  const std::string& out = s.form->output().bytes();
  EXPECT_NE(out.find("name=(\"\"a\\\xFF\x81\" . $ketrova5) dst-address=(\"" + big + ".\". $ketrova5) "),
            std::string::npos);
  EXPECT_NE(out.find(" max-limit=inf/800000 "), std::string::npos);
  EXPECT_NE(out.find(" time=\xA3h0m0s-"), std::string::npos);
}

}  // namespace
}  // namespace rosgen::test
