// Over every field of every page: each has a value kind and an English key,
// keys are unique and well formed, defaults fit their kinds, and naming a
// field by its key presses exactly as naming it by its designer name.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "support.h"

namespace rosgen::test {
namespace {

std::vector<const Field*> fields_of(const Page& page) {
  std::vector<const Field*> out;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) out.push_back(f);
  });
  return out;
}

std::vector<const Button*> buttons_of(const Page& page) {
  std::vector<const Button*> out;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* b = std::get_if<Button>(&item.v)) out.push_back(b);
  });
  return out;
}

TEST(Fields, EveryFieldHasAKindAndAKey) {
  static const std::regex key_form("[a-z][a-z0-9]*(-[a-z0-9]+)*");
  for (const Page& page : pages()) {
    SCOPED_TRACE(page.slug);
    std::set<std::string> keys;
    for (const Field* f : fields_of(page)) {
      EXPECT_NE(f->value.kind, ValueKind::Unset) << f->id;
      EXPECT_TRUE(std::regex_match(f->key, key_form)) << f->id << " key '" << f->key << "'";
      EXPECT_TRUE(keys.insert(f->key).second) << f->id << " repeats key " << f->key;
      if (f->value.kind == ValueKind::Integer) {
        EXPECT_LE(f->value.min, f->value.max) << f->id;
      }
    }
  }
}

// Pressing any button on a fresh page raises no warning: what a page offers
// fits. (A placeholder in a box only read once its check box is ticked may not.)
TEST(Fields, DefaultsFitTheirKinds) {
  for (const Page& page : pages()) {
    for (const Button* b : buttons_of(page)) {
      Session s(page.slug);
      std::vector<FieldWarning> warnings;
      Press p;
      p.button = b->id;
      press(*s.form, s.env, p, &warnings);
      for (const FieldWarning& w : warnings)
        ADD_FAILURE() << page.slug << " " << b->id << " " << w.id << ": " << w.reason;
    }
  }
}

// Every button, with every text field given a new value and every check box
// flipped, once by designer name and once by key: the same outcome, output and messages.
TEST(Fields, KeysNameTheSameFieldsAsDesignerNames) {
  for (const Page& page : pages()) {
    for (const Button* b : buttons_of(page)) {
      Press by_id;
      Press by_key;
      by_id.button = by_key.button = b->id;
      int n = 0;
      for (const Field* f : fields_of(page)) {
        if (f->key.empty() || !f->enabled) continue;
        if (f->kind == FieldKind::Edit || f->kind == FieldKind::Multiline) {
          Gbk value = to_gbk(std::to_string(++n % 7) + "1");
          by_id.values.emplace_back(f->id, value);
          by_key.values.emplace_back(f->key, value);
        } else if (f->kind == FieldKind::Check) {
          (f->checked ? by_id.uncheck : by_id.check).push_back(f->id);
          (f->checked ? by_key.uncheck : by_key.check).push_back(f->key);
        }
      }
      Session a(page.slug);
      Session k(page.slug);
      const Outcome oa = a.press(by_id);
      const Outcome ok = k.press(by_key);
      EXPECT_EQ(oa, ok) << page.slug << " " << b->id;
      EXPECT_EQ(a.output(), k.output()) << page.slug << " " << b->id;
      EXPECT_EQ(a.env.messages, k.env.messages) << page.slug << " " << b->id;
    }
  }
}

// Warnings name only the fields the pressed button read, and only enabled ones.
TEST(Fields, WarningsComeFromTheFieldsAPressRead) {
  Session s("wan-fixed");
  std::vector<FieldWarning> warnings;
  Press p;
  p.button = "gen-3x";
  p.values = {{"编辑框_安装_外网网关ip", Gbk()}, {"编辑框_安装_TCPMSS值", to_gbk("１４４０")}};
  EXPECT_EQ(press(*s.form, s.env, p, &warnings), Outcome::Done);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].id, "编辑框_安装_外网网关ip");
  EXPECT_EQ(warnings[0].reason, "不能为空");
  EXPECT_EQ(warnings[1].id, "编辑框_安装_TCPMSS值");

  // A refused press writes nothing, so it warns of nothing.
  Session users("router-users");
  Press refused;
  refused.button = "gen-3x";
  refused.values = {{"编辑框_系统_用户名", to_gbk("用户")}};
  EXPECT_EQ(press(*users.form, users.env, refused, &warnings), Outcome::Refused);
  EXPECT_TRUE(warnings.empty());
}

}  // namespace
}  // namespace rosgen::test
