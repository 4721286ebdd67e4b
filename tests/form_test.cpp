#include <gtest/gtest.h>

#include "script/form.h"

namespace rosgen {
namespace {

Page sample_page() {
  Page page;
  page.slug = "sample";
  page.output = "out";
  page.items = {
      edit("name", "Name:", "ketrova5"),
      group("box", {radio("a", "A", "pair", true), radio("b", "B", "pair", false), check("c", "C", false),
                    combo("level", "Level:", {"choose", "full", "read"}, -1)}),
      LineList{"lines", {{"IP", 120, "name"}}, "add", {}},
  };
  return page;
}

TEST(Form, StartsWithDeclaredDefaults) {
  Page page = sample_page();
  Form form(page);
  EXPECT_EQ(form.text("name").bytes(), "ketrova5");
  EXPECT_TRUE(form.checked("a"));
  EXPECT_FALSE(form.checked("b"));
  EXPECT_EQ(form.index("level"), -1);
  EXPECT_TRUE(form.enabled("name"));
  EXPECT_TRUE(form.rows("lines").empty());
  EXPECT_EQ(form.selected("lines"), -1);
  EXPECT_THROW(form.text("missing"), UnknownId);
}

TEST(Form, RadioPartnersClearAndChangesAreReported) {
  Page page = sample_page();
  Form form(page);
  std::vector<std::string> seen;
  int token = form.subscribe([&](const Change& c) { seen.push_back(std::to_string(c.kind) + ":" + c.id); });
  form.set_checked("b", true);
  EXPECT_FALSE(form.checked("a"));
  EXPECT_TRUE(form.checked("b"));
  form.set_checked("b", true);  // no change, no report
  form.set_index("level", 2);
  EXPECT_EQ(form.text("level").bytes(), "read");
  form.set_index("level", 7);  // out of range: none
  EXPECT_EQ(form.index("level"), -1);
  EXPECT_EQ(form.text("level").bytes(), "");
  form.set_output("x"_a);
  form.append_output("y"_a);
  EXPECT_EQ(form.output().bytes(), "xy");
  form.unsubscribe(token);
  form.set_text("name", "z"_a);
  std::vector<std::string> expected = {"1:a", "1:b", "2:level", "2:level", "6:out", "6:out"};
  EXPECT_EQ(seen, expected);
}

TEST(Form, SelectionFollowsRowRemoval) {
  Page page = sample_page();
  Form form(page);
  for (const char* ip : {"1", "2", "3"}) form.add_row("lines", {Gbk::from_bytes(ip)});
  form.select("lines", 2);
  form.remove_row("lines", 0);
  EXPECT_EQ(form.selected("lines"), 1);
  EXPECT_EQ(form.rows("lines")[1][0].bytes(), "3");
  form.remove_row("lines", 1);
  EXPECT_EQ(form.selected("lines"), -1);
  form.select("lines", 5);
  EXPECT_EQ(form.selected("lines"), -1);
  form.set_row("lines", 9, {"x"_a});  // ignored
  ASSERT_EQ(form.rows("lines").size(), 1u);
  EXPECT_EQ(form.rows("lines")[0][0].bytes(), "2");
}

TEST(Form, DayList) {
  // The page names its own boxes, in any order on the page; the list follows the weekdays.
  Page page;
  page.slug = "days";
  const DayBoxes boxes = {"d-sun", "d-mon", "d-tue", "d-wed", "d-thu", "d-fri", "d-sat"};
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) page.items.push_back(check(*it, "", false));
  Form form(page);
  EXPECT_EQ(day_list(form, boxes).bytes(), "");
  form.set_checked("d-fri", true);
  form.set_checked("d-mon", true);
  EXPECT_EQ(day_list(form, boxes).bytes(), "mon,fri");
  for (const Item& item : page.items) form.set_checked(std::get<Field>(item.v).id, true);
  EXPECT_EQ(day_list(form, boxes).bytes(), "sun,mon,tue,wed,thu,fri,sat");
}

}  // namespace
}  // namespace rosgen
