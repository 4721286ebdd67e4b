// Tab 1: a router login user with group, allowed address and comment.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

constexpr const char* kLevel = "组合框_系统_等级";

enum class Level { Full, Write, Read };

Gbk script_3x(Ctx& c, Level level) {
  static const Ascii kGroups[] = {" group=full address="_a, " group=write address="_a, " group=read address="_a};
  return "/ user add name="_a + c.trimmed("编辑框_系统_用户名") + " password="_a + c.trimmed("编辑框_系统_密码") +
         kGroups[static_cast<int>(level)] + c.trimmed("编辑框_系统_IP地址") + " comment=\""_a +
         c.trimmed("编辑框_系统_备注") + "\""_a;
}

Gbk script_7x(Ctx& c, Level level) {
  static const Ascii kGroups[] = {" group=full"_a, " group=write"_a, " group=read"_a};
  // A user of that name already there (the script run again) is set anew.
  return add_or_set7("/user", word7(c.trimmed("编辑框_系统_用户名")),
                     " password="_a + word7(c.trimmed("编辑框_系统_密码")) + kGroups[static_cast<int>(level)] +
                         " address="_a + word7(c.trimmed("编辑框_系统_IP地址")) + " comment="_a +
                         quoted7(c.trimmed("编辑框_系统_备注")));
}

using Builder = Gbk (*)(Ctx&, Level);

Outcome generate(Ctx& c, Builder build) {
  // The empty check is made on the untrimmed text: blanks pass it.
  if (c.text("编辑框_系统_密码").empty()) return c.refuse("密码不能为空!");
  Level level;
  switch (c.item(kLevel)) {
    case 1: level = Level::Full; break;
    case 2: level = Level::Write; break;
    case 3: level = Level::Read; break;
    default: return c.refuse("请选择用户等级!!");
  }
  c.write(build(c, level));
  return Outcome::Done;
}

Outcome generate_3x(Ctx& c) { return generate(c, script_3x); }
Outcome generate_7x(Ctx& c) { return generate(c, script_7x); }

}  // namespace

void build_router_users(Page& page) {
  page.caption = "添加系统管理员帐号脚本生成";
  page.items = {
      group("生成增加系统用户脚本",
            {
                row({
                    edit({"编辑框_系统_用户名", "user"}, "用户名:", v::name("ketrova5")),
                    edit({"编辑框_系统_密码", "password"},
                         "密码:", v::password("").written(Writing::Plain, Writing::Escaped)),
                    combo({kLevel, "level"}, "等级:", {"请选择等级", "超级管理员", "可写管理", "只读管理员"}, -1,
                          "(可以设置所添加用户访问ROS的权限)"),
                }),
                row({
                    edit({"编辑框_系统_IP地址", "allowed-address"}, "允许防问此ROS的IP地址:", v::address("0.0.0.0/0")),
                    edit({"编辑框_系统_备注", "comment"}, "备注:", v::text("ADMIN-KETROVA5"), "(备注不支持中文)"),
                }),
                row({
                    button("gen-2x", "按钮_系统_2x生成", "2.9.X系列脚本生成", generate_3x),
                    button("gen-3x", "按钮_系统_3x生成", "3.X系列脚本生成", generate_3x),
                    button7("gen-7x", "生成7.X系列脚本", generate_7x),
                }),
            }),
      group("提示",
            {note("超级管理员:系统默认拥用系统所有权限和操作权限,不受任何限制!\r\n\r\n"
                  "可写管理员:系统默认除了对policy及ftp无权限外(例如添加管理帐号等),其它均和超级管理员一样!\r\n\r\n"
                  "只读管理员:对系统所有操作均无权限,只有查看权限!")}),
  };
  // The level combo starts on "请选择等级" so nobody gets a group by accident.
  page.on_startup = [](Form& form) { form.set_index(kLevel, 0); };
}

}  // namespace rosgen
