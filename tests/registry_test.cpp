#include <gtest/gtest.h>

#include <set>

#include "pages/registry.h"
#include "script/form.h"

namespace rosgen {
namespace {

TEST(Registry, TwentySevenPagesInTabOrder) {
  const char* tabs[] = {"初始化界面",
                        "添加管理帐号",
                        "定时重启/关机",
                        "其它系统优化/设置",
                        "单线固定IP安装设置",
                        "单线PPPOE拔号安装设置",
                        "多线固定IP负载安装设置",
                        "多线固定IP分流安装设置",
                        "多线PPPOE负载安装设置",
                        "多线PPPOE分流安装设置",
                        "双线固定IP电信网通安装设置",
                        "queues常用限速",
                        "pcq动态限速",
                        "pcq速体限速",
                        "禁PING",
                        "ARP绑定",
                        "限制线程",
                        "封锁软件类",
                        "端口映射",
                        "封端口及封IP",
                        "封关键字及域名",
                        "PPTP设置",
                        "L2TP设置",
                        "PPPOE设置",
                        "添加PPPOE帐号",
                        "DDNS动态域名服务",
                        "WireGuard设置"};
  ASSERT_EQ(pages().size(), 27u);
  for (size_t i = 0; i < 27; ++i) {
    EXPECT_EQ(pages()[i].index, static_cast<int>(i));
    EXPECT_EQ(pages()[i].tab, tabs[i]);
  }
  EXPECT_EQ(find_page("23"), &pages()[23]);
  EXPECT_EQ(find_page("pppoe-server"), &pages()[23]);
  EXPECT_EQ(find_page("wireguard"), &pages()[26]);
  EXPECT_EQ(find_page("27"), nullptr);
  EXPECT_EQ(find_page(""), nullptr);
}

// Every name a page declares must be unique, or the window, the command line
// and the form would disagree about which control is meant.
TEST(Registry, NamesAreUniqueAndComplete) {
  for (const Page& page : pages()) {
    SCOPED_TRACE(page.slug);
    std::set<std::string> names{page.output};
    std::set<std::string> buttons;
    for (const std::string& b : page.panel) {
      if (!b.empty()) {
        EXPECT_TRUE(names.insert(b).second) << b;
      }
    }
    std::vector<const LineList*> lists;
    walk(page.items, [&](const Item& item, const std::string&) {
      if (const auto* f = std::get_if<Field>(&item.v)) {
        EXPECT_TRUE(names.insert(f->id).second) << f->id;
        if (f->kind == FieldKind::Combo) {
          EXPECT_LT(f->index, static_cast<int>(f->items.size())) << f->id;
        }
      } else if (const auto* b = std::get_if<Button>(&item.v)) {
        EXPECT_TRUE(buttons.insert(b->id).second) << b->id;
        if (!b->designer.empty()) {
          EXPECT_TRUE(names.insert(b->designer).second) << b->designer;
        }
        EXPECT_TRUE(static_cast<bool>(b->run)) << b->id;
      } else if (const auto* l = std::get_if<LineList>(&item.v)) {
        EXPECT_TRUE(names.insert(l->id).second) << l->id;
        lists.push_back(l);
      }
    });
    for (const LineList* l : lists) {
      EXPECT_NE(find_button(page, l->add_button), nullptr) << l->id;
      for (const Column& c : l->columns) EXPECT_NE(find_field(page, c.field), nullptr) << c.field;
    }
    if (page.index > 0) {
      EXPECT_FALSE(page.output.empty());
      // The ping page's outer box is the one built page without a caption.
      if (page.slug != "block-ping") {
        EXPECT_EQ(page.built(), !page.caption.empty());
      }
    }
    // Every page starts without throwing.
    Form form(page);
    if (page.on_startup) page.on_startup(form);
  }
}

}  // namespace
}  // namespace rosgen
