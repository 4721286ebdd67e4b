// The line list editor shared by the multi-line pages.
#include <gtest/gtest.h>

#include <sstream>

#include "script/line_list.h"
#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

const char* const kDuplicate = "dup\r\nmessage";

Page sample_page() {
  Page page;
  page.slug = "sample";
  page.output = "out";
  page.items = {
      LineList{"lines", {{"key", 100, "k"}, {"value", 100, "v"}}, "add", fill_fields_handler("lines")},
      edit("k", "Key:", ""),
      edit("v", "Value:", ""),
      button("add", "", "add", add_line_handler("lines", kDuplicate)),
      button("modify", "", "modify", modify_line_handler("lines")),
      button("delete", "", "delete", delete_line_handler("lines")),
  };
  return page;
}

// Steps, one a string: "add KEY|VALUE" types both fields (UTF-8) and presses
// add; "modify KEY|VALUE" and "delete" likewise; "select N" selects row N (from
// 1, 0 for none); "click" runs the list's click.
struct Case {
  const char* name;
  std::vector<std::string> steps;
  std::vector<std::string> rows;  // "KEY|VALUE" as stored
  int selected;                   // from 1, 0 for none
  std::vector<Shown> messages;
  std::vector<Outcome> outcomes;  // of the button presses, in order
};

std::string rows_text(const Form& form) {
  std::string out;
  for (const Cells& row : form.rows("lines")) {
    out += "[";
    for (size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "") + to_utf8(row[i]);
    out += "]";
  }
  return out;
}

TEST(LineList, EditorOperations) {
  const Shown dup{kDuplicateCaption, kDuplicate};
  const Shown select_first{"信息：", kSelectRowFirst};
  const Outcome ok = Outcome::Done;
  const Outcome no = Outcome::Refused;
  const Case cases[] = {
      {"add keeps order and trims every cell, full-width blanks too",
       {"add  a |x ",
        "add \xe3\x80\x80"
        "b\xe3\x80\x80|  y"},
       {"a|x", "b|y"},
       0,
       {},
       {ok, ok}},
      {"a key differing only by blanks or letter case is a duplicate",
       {"add User@ISP|1", "add   user@isp  |2", "add USER@ISP|3", "add user@isp2|4"},
       {"User@ISP|1", "user@isp2|4"},
       0,
       {dup, dup},
       {ok, no, no, ok}},
      {"only column 0 is the key; a text containing the key is no duplicate",
       {"add a|same", "add b|same", "add a.1|x", "add A|y"},
       {"a|same", "b|same", "a.1|x"},
       0,
       {dup},
       {ok, ok, ok, no}},
      {"empty keys are compared like any other", {"add |1", "add  |2"}, {"|1"}, 0, {dup}, {ok, no}},
      {"double-byte characters whose second bytes differ in case are different keys",
       {"add \xe7\x99\x86|1", "add \xe7\x99\xae|2"},  // GBK B0 41 and B0 61
       {"\xe7\x99\x86|1", "\xe7\x99\xae|2"},
       0,
       {},
       {ok, ok}},
      {"add leaves the selection where it was", {"add a|1", "select 1", "add b|2"}, {"a|1", "b|2"}, 1, {}, {ok, ok}},
      {"modify without a selection changes nothing and says nothing",
       {"add a|1", "add b|2", "modify c|3"},
       {"a|1", "b|2"},
       0,
       {},
       {ok, ok, ok}},
      {"modify overwrites the selected row, trimmed, and may make a duplicate",
       {"add a|1", "add b|2", "select 2", "modify  A | 9 "},
       {"a|1", "A|9"},
       2,
       {},
       {ok, ok, ok}},
      {"delete without a selection shows the selection message",
       {"add a|1", "delete"},
       {"a|1"},
       0,
       {select_first},
       {ok, no}},
      {"delete removes the selected row, the rows below move up, nothing stays selected",
       {"add a|1", "add b|2", "add c|3", "select 2", "delete"},
       {"a|1", "c|3"},
       0,
       {},
       {ok, ok, ok, ok}},
      {"a deleted key may be added again",
       {"add a|1", "add b|2", "select 1", "delete", "add a|3"},
       {"b|2", "a|3"},
       0,
       {},
       {ok, ok, ok, ok}},
      {"deleting the last row empties the list; a second delete asks for a selection",
       {"add a|1", "select 1", "delete", "delete"},
       {},
       0,
       {select_first},
       {ok, ok, no}},
  };
  for (const Case& c : cases) {
    Page page = sample_page();
    Form form(page);
    FakeEnv env;
    Ctx ctx(form, env);
    std::vector<Outcome> outcomes;
    for (const std::string& step : c.steps) {
      std::string op = step.substr(0, step.find(' '));
      std::string arg = step.size() > op.size() ? step.substr(op.size() + 1) : "";
      if (op == "select") {
        form.select("lines", std::stoi(arg) - 1);
        continue;
      }
      if (op == "add" || op == "modify") {
        size_t bar = arg.find('|');
        form.set_text("k", to_gbk(arg.substr(0, bar)));
        form.set_text("v", to_gbk(arg.substr(bar + 1)));
      }
      outcomes.push_back(find_button(page, op)->run(ctx));
    }
    std::string expected;
    for (const std::string& row : c.rows) expected += "[" + row + "]";
    EXPECT_EQ(rows_text(form), expected) << c.name;
    EXPECT_EQ(form.selected("lines"), c.selected - 1) << c.name;
    EXPECT_EQ(env.messages, c.messages) << c.name;
    EXPECT_EQ(outcomes, c.outcomes) << c.name;
    EXPECT_TRUE(form.output().empty()) << c.name;
  }
}

TEST(LineList, AddKeepsTheFieldTextsAsTyped) {
  Page page = sample_page();
  Form form(page);
  FakeEnv env;
  Ctx ctx(form, env);
  form.set_text("k", to_gbk(" a "));
  find_button(page, "add")->run(ctx);
  EXPECT_EQ(form.text("k").bytes(), " a ");
  ASSERT_EQ(form.rows("lines").size(), 1u);
  EXPECT_EQ(form.rows("lines")[0][0].bytes(), "a");
}

TEST(LineList, ClickCopiesTheSelectedRowIntoTheFields) {
  Page page = sample_page();
  Form form(page);
  const LineList& list = *find_list(page, "lines");
  form.add_row("lines", {"a"_a, "1"_a});
  form.add_row("lines", {"b"_a});  // shorter than the list: the missing cell empties its field
  form.set_text("k", "typed"_a);
  form.set_text("v", "typed"_a);

  list.on_click(form);  // nothing selected: the fields stay
  EXPECT_EQ(form.text("k").bytes(), "typed");

  form.select("lines", 0);
  list.on_click(form);
  EXPECT_EQ(form.text("k").bytes(), "a");
  EXPECT_EQ(form.text("v").bytes(), "1");

  form.select("lines", 1);
  list.on_click(form);
  EXPECT_EQ(form.text("k").bytes(), "b");
  EXPECT_EQ(form.text("v").bytes(), "");
}

TEST(LineList, HostileTextsAndManyRows) {
  Page page = sample_page();
  Form form(page);
  FakeEnv env;
  Ctx ctx(form, env);
  const LineList& list = *find_list(page, "lines");
  std::string big(64 * 1024, 'q');
  big[100] = '"';
  form.set_text("k", Gbk::from_bytes(big));
  form.set_text("v", Gbk::from_bytes("\x81\xFF\"'|"));  // invalid GBK, quotes, the CLI's separator
  EXPECT_EQ(add_line(ctx, list, kDuplicate), Outcome::Done);
  EXPECT_EQ(add_line(ctx, list, kDuplicate), Outcome::Refused);
  for (int i = 0; i < 500; ++i) {
    form.set_text("k", number_text(i));
    add_line(ctx, list, kDuplicate);
  }
  ASSERT_EQ(form.rows("lines").size(), 501u);
  EXPECT_EQ(form.rows("lines")[0][0].bytes(), big);
  EXPECT_EQ(form.rows("lines")[0][1].bytes(), "\x81\xFF\"'|");
  EXPECT_EQ(env.messages.size(), 1u);
}

TEST(LineList, HandlersNeedTheirList) {
  Page page = sample_page();
  page.items.push_back(button("stray", "", "stray", add_line_handler("missing", kDuplicate)));
  Form form(page);
  FakeEnv env;
  Ctx ctx(form, env);
  EXPECT_THROW(find_button(page, "stray")->run(ctx), std::logic_error);
}

}  // namespace
}  // namespace rosgen::test
