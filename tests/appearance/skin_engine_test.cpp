// The real engine module, loaded from beside the built programs. Each test runs
// in a process of its own, so the module starts fresh every time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "appearance/skin_engine.h"
#include "support.h"

namespace rosgen::appearance {
namespace {

using test::kBinDir;
using test::ProgramDir;
using test::write_file;

std::string skin(const char* name) { return (kBinDir / "skins" / name).string(); }

QColor window_colour() { return QApplication::palette().color(QPalette::Active, QPalette::Window); }

// The average colour of a widget as drawn.
QColor drawn(QWidget& w) {
  QImage image = w.grab().toImage();
  double r = 0, g = 0, b = 0;
  int n = 0;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2, ++n) {
      QColor c = image.pixelColor(x, y);
      r += c.red(), g += c.green(), b += c.blue();
    }
  }
  return QColor(int(r / n), int(g / n), int(b / n));
}

int distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = load_skin_engine(kBinDir);
    ASSERT_TRUE(engine) << "the module beside the programs";
  }
  std::unique_ptr<SkinEngine> engine;
};

TEST(EngineModule, MissingOrForeignModuleIsNoEngine) {
  ProgramDir empty;
  EXPECT_FALSE(load_skin_engine(empty.path()));
  ProgramDir fake;
  write_file(skin_module_path(fake.path()), "not a library");
  EXPECT_FALSE(load_skin_engine(fake.path()));
}

TEST_F(Engine, AttachSkinsTheApplicationAndDetachUndoesIt) {
  const QPalette before = QApplication::palette();
  ASSERT_EQ(engine->attach_ext(skin("china.she"), "", 0, 0, 0), 0);
  EXPECT_TRUE(qApp->styleSheet().contains(QLatin1String("QMenuBar")));
  EXPECT_EQ(window_colour(), QColor("#f7efe2"));

  engine->attach_ex(skin("ink.she"), "");
  EXPECT_EQ(window_colour(), QColor("#2b2d31"));

  engine->detach();
  EXPECT_TRUE(qApp->styleSheet().isEmpty());
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), before.color(QPalette::Window));
}

TEST_F(Engine, BadSkinFilesFailAndKeepTheLook) {
  ProgramDir dir;
  write_file(dir / "text.she", "just words\n");
  write_file(dir / "hole.she", "rosgen-skin 1\n@Window: #fff\n---\nQLabel { color: @nothing; }\n");
  ASSERT_EQ(engine->attach_ext(skin("jade.she"), "", 0, 0, 0), 0);
  const QString sheet = qApp->styleSheet();
  for (const std::string& file : {(dir / "missing.she").string(), (dir / "text.she").string(),
                                  (dir / "hole.she").string(), dir.path().string()}) {
    EXPECT_NE(engine->attach_ext(file, "", 0, 0, 0), 0) << file;
    EXPECT_EQ(qApp->styleSheet(), sheet) << file;
  }
}

TEST_F(Engine, HueSaturationBrightnessRecolour) {
  ASSERT_EQ(engine->attach_ext(skin("china.she"), "", 0, 0, 0), 0);
  QColor plain = window_colour();
  ASSERT_EQ(engine->attach_ext(skin("china.she"), "", 0, 0, 60), 0);
  EXPECT_GT(window_colour().lightness(), plain.lightness());
  QTest::qWait(60);  // no change in the last moment
  engine->adjust_hsv(0, 100, 0);
  EXPECT_EQ(window_colour().hsvSaturation(), 0) << "a single change shows at once";
  engine->adjust_hsv(0, 0, 0);
  engine->adjust_hsv(0, 100, 0);
  engine->adjust_hsv(0, 0, 0);
  QTest::qWait(100);  // changes in quick succession are applied together, the last one counting
  EXPECT_EQ(window_colour(), plain);
  engine->adjust_hsv(0, 100, 0);
  // A new skin keeps the adjustment.
  engine->attach_ex(skin("ocean.she"), "");
  EXPECT_EQ(window_colour().hsvSaturation(), 0);
}

TEST_F(Engine, MenuOpacity) {
  ASSERT_EQ(engine->attach_ext(skin("china.she"), "", 0, 0, 0), 0);
  engine->set_menu_alpha(150);
  QMenu menu;
  menu.addAction(QStringLiteral("一项"));
  menu.popup(QPoint(10, 10));
  QTest::qWait(20);
  EXPECT_NEAR(menu.windowOpacity(), 150 / 255.0, 0.01);
  engine->set_menu_alpha(0);
  EXPECT_NEAR(menu.windowOpacity(), 1.0, 0.01);
}

TEST_F(Engine, GlassOnAndOff) {
  ASSERT_EQ(engine->attach_ext(skin("china.she"), "", 0, 0, 0), 0);
  QDialog dialog;
  dialog.resize(200, 200);
  dialog.show();
  QColor plain = drawn(dialog);

  engine->adjust_aero(200, 128, 255, 18, 0, 0, 0, 0, 255);
  QTest::qWait(60);
  EXPECT_TRUE(qApp->styleSheet().contains(QLatin1String("qlineargradient")));
  EXPECT_LT(dialog.windowOpacity(), 0.7);
  EXPECT_GT(distance(drawn(dialog), plain), 20) << "the blue band shows";

  engine->set_aero(false);
  QTest::qWait(100);
  EXPECT_NEAR(dialog.windowOpacity(), 1.0, 0.01);
  EXPECT_LT(distance(drawn(dialog), plain), 3);
}

TEST_F(Engine, SkinsReallyChangeTheLook) {
  QDialog dialog;
  dialog.resize(300, 160);
  auto* group = new QGroupBox(QStringLiteral("分组"), &dialog);
  group->setGeometry(5, 5, 290, 150);
  auto* button = new QPushButton(QStringLiteral("生成3.X系列脚本"), group);
  button->setGeometry(10, 30, 150, 30);
  dialog.show();

  std::vector<QColor> looks;
  for (const char* name : {"china.she", "ocean.she", "jade.she", "ink.she"}) {
    ASSERT_EQ(engine->attach_ext(skin(name), "", 0, 0, 0), 0) << name;
    looks.push_back(drawn(dialog));
  }
  for (std::size_t i = 0; i < looks.size(); ++i) {
    for (std::size_t j = i + 1; j < looks.size(); ++j) {
      EXPECT_GT(distance(looks[i], looks[j]), 12) << i << " and " << j << " look alike";
    }
  }
}

}  // namespace
}  // namespace rosgen::appearance
