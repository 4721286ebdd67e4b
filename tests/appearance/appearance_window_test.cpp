#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "appearance/appearance.h"
#include "appearance/appearance_window.h"
#include "support.h"

namespace rosgen::appearance {
namespace {

using test::ProgramDir;
using test::RecordingEngine;
using Calls = std::vector<std::string>;

const char* const kFullLook =
    "[skin]\r\nskinname=ink.she\r\ntone=10\r\nsaturation=20\r\nBrightness=30\r\nmenu=200\r\nAero=1\r\n"
    "AEROtm=11\r\nAEROsize=12\r\nAEROrd=13\r\nAEROld=14\r\nAEROred=15\r\nAEROgreen=16\r\nAEROblue=17\r\n";

class Look : public ::testing::Test {
 protected:
  ProgramDir program;
  RecordingEngine::Log log = std::make_shared<Calls>();
  std::vector<std::pair<QString, QString>> shown;
  std::unique_ptr<Appearance> appearance;

  void SetUp() override {
    program.copy_skins();
    make(0);
  }
  void make(int attach_result, bool with_engine = true) {
    std::unique_ptr<SkinEngine> engine;
    if (with_engine) engine = std::make_unique<RecordingEngine>(log, attach_result);
    appearance = std::make_unique<Appearance>(
        program.path(), std::move(engine),
        [this](QWidget*, const QString& c, const QString& t, Icon) { shown.emplace_back(c, t); });
  }
  SettingsFile settings() const { return SettingsFile(program / "settings.dll"); }
  std::string skin(const char* name) const { return (program / "skins" / name).string(); }
  Calls take() {
    Calls calls = *log;
    log->clear();
    return calls;
  }

  // Opens the window, runs `act` inside it, and closes it if `act` did not.
  bool with_window(const std::function<void(AppearanceWindow&)>& act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      AppearanceWindow* w = appearance->window();
      if (!w) return;
      ran = true;
      act(*w);
      if (appearance->window() && w->isVisible()) w->close();
    });
    bool saved = appearance->open_window(QStringLiteral("外观配置"), nullptr, settings());
    EXPECT_TRUE(ran) << "the window did not open";
    return saved;
  }

  template <typename T>
  static T* find(AppearanceWindow& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromUtf8(name));
    EXPECT_TRUE(found) << name;
    return found;
  }
  static void move(AppearanceWindow& w, const char* slider, int value) {
    find<QSlider>(w, slider)->setValue(value);  // as a drag or a key press does
  }
};

TEST_F(Look, AppliedAtStart) {
  struct Case {
    const char* what;
    std::string file;  // empty: no settings file
    int attach_result;
    Calls calls;  // with {skins} for the skins folder
  } cases[] = {
      {"no settings file: china.she with every default",
       "",
       0,
       {"attach_ext {skins}/china.she [] 0 0 0", "menu 0", "aero off"}},
      {"saved look",
       kFullLook,
       0,
       {"attach_ext {skins}/ink.she [] 10 20 30", "menu 200", "adjust_aero 11 14 13 12 0 0 15 16 17"}},
      {"custom skins off", "[skin]\nskinname=Null\naero=1\n", 0, {}},
      {"skin file gone", "[skin]\nskinname=gone.she\n", 0, {}},
      {"a name is never a path", "[skin]\nskinname=../skins/china.she\n", 0, {}},
      {"aero 2 counts as on",
       "[skin]\naero=2\n",
       0,
       {"attach_ext {skins}/china.she [] 0 0 0", "menu 0", "adjust_aero 50 0 0 0 0 0 0 0 0"}},
      {"empty aero counts as on",
       "[skin]\naero=\n",
       0,
       {"attach_ext {skins}/china.she [] 0 0 0", "menu 0", "adjust_aero 50 0 0 0 0 0 0 0 0"}},
      {"failed attach: no menu opacity, glass still set",
       "[skin]\naero=0\n",
       3,
       {"attach_ext {skins}/china.she [] 0 0 0", "aero off"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(program / "settings.dll");
    if (!c.file.empty()) program.write_settings(c.file);
    make(c.attach_result);
    log->clear();
    appearance->load_and_apply(settings());
    Calls expected;
    for (std::string call : c.calls) {
      auto at = call.find("{skins}");
      if (at != std::string::npos) call.replace(at, 7, (program / "skins").string());
      expected.push_back(call);
    }
    EXPECT_EQ(*log, expected);
    EXPECT_EQ(appearance->custom_skin_active(), c.attach_result == 0 && !c.calls.empty());
  }
}

TEST_F(Look, WithoutEngineNothingHappens) {
  make(0, false);
  program.write_settings(kFullLook);
  appearance->load_and_apply(settings());
  EXPECT_FALSE(appearance->open_window(QStringLiteral("外观配置"), nullptr, settings()));
  EXPECT_FALSE(appearance->window());
}

TEST_F(Look, WindowHasItsControls) {
  program.write_settings(kFullLook);
  with_window([&](AppearanceWindow& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("外观配置"));
    EXPECT_TRUE(w.isModal());
    struct Slider {
      const char* name;
      int min, max, value;
    } sliders[] = {
        {"滑块条_色调", 0, 180, 10},          {"滑块条_饱和度", 0, 100, 20},        {"滑块条_亮度", 0, 100, 30},
        {"滑块条_菜单透明度", 100, 255, 200}, {"滑块条_AERO_透明度", 0, 255, 11},   {"滑块条_AERO_阴影大小", 0, 18, 12},
        {"滑块条_AERO_阴影锐度", 0, 255, 13}, {"滑块条_AERO_阴影亮度", 0, 255, 14}, {"滑块条_AERO_RED", 0, 255, 15},
        {"滑块条_AERO_GREEN", 0, 255, 16},    {"滑块条_AERO_blue", 0, 255, 17},
    };
    for (const auto& s : sliders) {
      QSlider* slider = find<QSlider>(w, s.name);
      if (!slider) continue;
      EXPECT_EQ(slider->minimum(), s.min) << s.name;
      EXPECT_EQ(slider->maximum(), s.max) << s.name;
      EXPECT_EQ(slider->value(), s.value) << s.name << ": the saved value";
      EXPECT_TRUE(slider->isEnabled()) << s.name;
    }
    const std::pair<const char*, const char*> texts[] = {
        {"选择框2", "启用自定义皮肤:"}, {"选择框1", "启用AERO特效"}, {"按钮1", "保存外观(&S)"},
        {"按钮2", "恢复上次设置(&D)"},  {"按钮3", "放弃(&C)"},
    };
    for (auto [name, text] : texts) {
      auto* b = find<QAbstractButton>(w, name);
      if (b) {
        EXPECT_EQ(b->text(), QString::fromUtf8(text)) << name;
      }
    }
    const std::pair<const char*, const char*> groups[] = {
        {"分组框4", "皮肤主题"}, {"分组框1", "色调,饱和度,亮度"}, {"分组框3", "菜单"}, {"分组框2", "Aero特效调整"}};
    for (auto [name, title] : groups) {
      auto* g = find<QGroupBox>(w, name);
      if (g) {
        EXPECT_EQ(g->title(), QString::fromUtf8(title)) << name;
      }
    }
    EXPECT_TRUE(find<QCheckBox>(w, "选择框2")->isChecked());
    EXPECT_TRUE(find<QCheckBox>(w, "选择框1")->isChecked());
    auto* list = find<QComboBox>(w, "组合框1");
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    EXPECT_EQ(items, QStringList({"china.she", "ink.she", "jade.she", "ocean.she"}));
    EXPECT_EQ(list->currentText(), QStringLiteral("ink.she"));
    EXPECT_TRUE(find<QLabel>(w, "超级链接框1")->text().contains(QStringLiteral("刷新")));
  });
}

TEST_F(Look, GlassControlsFollowTheGlassCheckBox) {
  struct Case {
    const char* aero;
    bool checked;
  } cases[] = {{"0", false}, {"1", true}, {"2", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aero);
    program.write_settings(std::string("[skin]\nskinname=jade.she\naero=") + c.aero + "\n");
    with_window([&](AppearanceWindow& w) {
      auto* aero = find<QCheckBox>(w, "选择框1");
      auto* group = find<QGroupBox>(w, "分组框2");
      auto* red = find<QSlider>(w, "滑块条_AERO_RED");
      EXPECT_EQ(aero->isChecked(), c.checked);
      EXPECT_EQ(red->isEnabled(), c.checked);
      EXPECT_EQ(group->title(), c.checked ? AppearanceWindow::kAeroCaptionOn : AppearanceWindow::kAeroCaptionOff);
      log->clear();
      aero->click();
      EXPECT_EQ(*log, Calls{c.checked ? "aero off" : "aero on"});
      EXPECT_EQ(red->isEnabled(), !c.checked);
      EXPECT_EQ(group->title(), c.checked ? AppearanceWindow::kAeroCaptionOff : AppearanceWindow::kAeroCaptionOn);
    });
  }
}

TEST_F(Look, EveryChangeIsPreviewed) {
  program.write_settings(kFullLook);
  with_window([&](AppearanceWindow& w) {
    struct Case {
      const char* slider;
      int value;
      std::string call;
    } cases[] = {
        {"滑块条_饱和度", 55, "hsv 10 55 30"},  // through the hue's handler: all three
        {"滑块条_亮度", 66, "hsv 10 55 66"},
        {"滑块条_色调", 90, "hsv 90 55 66"},
        {"滑块条_菜单透明度", 180, "menu 180"},
        {"滑块条_AERO_阴影亮度", 99, "adjust_aero 11 99 13 12 0 0 15 16 17"},
        {"滑块条_AERO_blue", 200, "adjust_aero 11 99 13 12 0 0 15 16 200"},
        {"滑块条_AERO_透明度", 77, "adjust_aero 77 99 13 12 0 0 15 16 200"},
    };
    for (const auto& c : cases) {
      log->clear();
      move(w, c.slider, c.value);
      EXPECT_EQ(*log, Calls{c.call}) << c.slider;
    }
    log->clear();
    find<QComboBox>(w, "组合框1")->setCurrentText(QStringLiteral("ocean.she"));
    EXPECT_EQ(*log, Calls{"attach_ex " + skin("ocean.she") + " []"});

    log->clear();
    auto* custom = find<QCheckBox>(w, "选择框2");
    custom->click();
    EXPECT_EQ(*log, Calls{"detach"});
    EXPECT_FALSE(appearance->custom_skin_active());
    for (const char* name : {"组合框1", "分组框1", "分组框2", "分组框3", "选择框1"}) {
      EXPECT_FALSE(find<QWidget>(w, name)->isEnabled()) << name;
    }
    custom->click();
    EXPECT_TRUE(find<QWidget>(w, "分组框1")->isEnabled());
    EXPECT_EQ(log->at(1), "attach_ext " + skin("ink.she") + " [] 10 20 30") << "checked again: the saved look";
  });
}

TEST_F(Look, SaveWritesEveryKey) {
  program.write_settings("[update]\r\nserver=http://h\r\n");
  bool saved = with_window([&](AppearanceWindow& w) {
    find<QCheckBox>(w, "选择框2")->setChecked(true);
    find<QComboBox>(w, "组合框1")->setCurrentText(QStringLiteral("jade.she"));
    find<QCheckBox>(w, "选择框1")->click();
    const std::pair<const char*, int> values[] = {
        {"滑块条_色调", 1},          {"滑块条_饱和度", 2},        {"滑块条_亮度", 3},
        {"滑块条_菜单透明度", 104},  {"滑块条_AERO_透明度", 5},   {"滑块条_AERO_阴影大小", 6},
        {"滑块条_AERO_阴影锐度", 7}, {"滑块条_AERO_阴影亮度", 8}, {"滑块条_AERO_RED", 9},
        {"滑块条_AERO_GREEN", 10},   {"滑块条_AERO_blue", 11},
    };
    for (auto [name, value] : values) move(w, name, value);
    log->clear();
    find<QPushButton>(w, "按钮1")->click();
    EXPECT_FALSE(w.isVisible());
  });
  EXPECT_TRUE(saved);
  EXPECT_EQ(program.settings(),
            "[update]\r\nserver=http://h\r\n\r\n[skin]\r\nskinname=jade.she\r\nAero=1\r\ntone=1\r\nsaturation=2\r\n"
            "Brightness=3\r\nmenu=104\r\nAEROtm=5\r\nAEROsize=6\r\nAEROrd=7\r\nAEROld=8\r\nAEROred=9\r\nAEROblue=11\r\n"
            "AEROgreen=10\r\n");
  // Closing re-applies what is now saved.
  EXPECT_EQ(*log,
            (Calls{"attach_ext " + skin("jade.she") + " [] 1 2 3", "menu 104", "adjust_aero 5 8 7 6 0 0 9 10 11"}));
}

TEST_F(Look, SaveWithCustomSkinsOffWritesNull) {
  program.write_settings(kFullLook);
  with_window([&](AppearanceWindow& w) {
    find<QCheckBox>(w, "选择框2")->click();
    find<QPushButton>(w, "按钮1")->click();
  });
  EXPECT_EQ(settings().text("skin", "skinname", ""), "Null");
  log->clear();
  appearance->load_and_apply(settings());
  EXPECT_TRUE(log->empty()) << "the next start applies no skin";
}

TEST_F(Look, DiscardAndClosingRestoreTheSavedLook) {
  program.write_settings(kFullLook);
  const Calls saved_look = {"attach_ext " + skin("ink.she") + " [] 10 20 30", "menu 200",
                            "adjust_aero 11 14 13 12 0 0 15 16 17"};
  struct Case {
    const char* what;
    std::function<void(AppearanceWindow&)> leave;
    Calls after;  // the calls made by leaving
  } cases[] = {
      {"discard button", [](AppearanceWindow& w) { find<QPushButton>(w, "按钮3")->click(); }, saved_look},
      {"window closed", [](AppearanceWindow& w) { w.close(); }, saved_look},
      {"escape key", [](AppearanceWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }, saved_look},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    bool saved = with_window([&](AppearanceWindow& w) {
      move(w, "滑块条_饱和度", 99);
      find<QComboBox>(w, "组合框1")->setCurrentText(QStringLiteral("china.she"));
      log->clear();
      c.leave(w);
      EXPECT_FALSE(w.isVisible());
    });
    EXPECT_FALSE(saved);
    // The discard button applies once itself, then closing applies again.
    Calls expected = c.after;
    if (std::string(c.what) == "discard button") expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(take(), expected);
    EXPECT_EQ(program.settings(), kFullLook);
  }
}

TEST_F(Look, RestoreButtonReappliesWithoutClosing) {
  program.write_settings(kFullLook);
  with_window([&](AppearanceWindow& w) {
    move(w, "滑块条_色调", 170);
    log->clear();
    find<QPushButton>(w, "按钮2")->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(log->front(), "attach_ext " + skin("ink.she") + " [] 10 20 30");
    EXPECT_EQ(find<QSlider>(w, "滑块条_色调")->value(), 10);
  });
}

TEST_F(Look, RefreshFindsNewSkinsAndKeepsTheChoice) {
  program.write_settings(kFullLook);
  with_window([&](AppearanceWindow& w) {
    auto* list = find<QComboBox>(w, "组合框1");
    test::write_file(program / "skins" / "autumn.she", "rosgen-skin 1\n---\n");
    test::write_file(program / "skins" / "notes.txt", "");
    std::filesystem::remove(program / "skins" / "jade.she");
    log->clear();
    emit find<QLabel>(w, "超级链接框1")->linkActivated(QStringLiteral("refresh"));
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    EXPECT_EQ(items, QStringList({"autumn.she", "china.she", "ink.she", "ocean.she"}));
    EXPECT_EQ(list->currentText(), QStringLiteral("ink.she"));
    EXPECT_TRUE(log->empty()) << "listing again applies nothing";
  });
}

TEST_F(Look, FirstOpeningShowsTheSkinInUse) {
  // No settings yet: china.she is on the program, and the window says so.
  with_window([&](AppearanceWindow& w) {
    EXPECT_TRUE(find<QCheckBox>(w, "选择框2")->isChecked());
    EXPECT_TRUE(find<QComboBox>(w, "组合框1")->isEnabled());
    EXPECT_EQ(find<QComboBox>(w, "组合框1")->currentText(), QStringLiteral("china.she"));
    EXPECT_EQ(find<QSlider>(w, "滑块条_菜单透明度")->value(), 100);
    find<QPushButton>(w, "按钮1")->click();
  });
  EXPECT_EQ(settings().text("skin", "skinname", ""), "china.she");
}

TEST_F(Look, FailedSaveKeepsTheWindowOpen) {
  program.write_settings(kFullLook);
  std::filesystem::create_directory(program / "blocked");
  bool saved = with_window([&](AppearanceWindow& w) {
    // The settings file turned into a folder: it cannot be written.
    std::filesystem::remove(program / "settings.dll");
    std::filesystem::create_directory(program / "settings.dll");
    find<QPushButton>(w, "按钮1")->click();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, QStringLiteral("外观配置"));
    EXPECT_TRUE(shown[0].second.contains(QStringLiteral("settings.dll")));
  });
  EXPECT_FALSE(saved);
}

TEST_F(Look, OnlyOneWindowAtATime) {
  with_window([&](AppearanceWindow&) {
    EXPECT_FALSE(appearance->open_window(QStringLiteral("外观配置"), nullptr, settings()));
  });
}

}  // namespace
}  // namespace rosgen::appearance
