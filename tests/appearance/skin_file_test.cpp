#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "skin/skin_file.h"
#include "support.h"

namespace rosgen::skin {
namespace {

const QByteArray kGood =
    "rosgen-skin 1\r\n"
    "name: 测试\r\n"
    "# a comment\r\n"
    "@Window: #102030\r\n"
    "@WindowText: #f0f0f0\r\n"
    "@accent: #ff0000\r\n"
    "@accentText: #ffffff\r\n"
    "---\r\n"
    "QPushButton { background: @accent; color: @accentText; } /* @not-a-colour */\r\n";

TEST(SkinFile, ParsesHeaderAndSheet) {
  ParseResult r = parse_skin(kGood);
  ASSERT_TRUE(r.skin) << r.error.toStdString();
  EXPECT_EQ(r.skin->name, QStringLiteral("测试"));
  ASSERT_EQ(r.skin->colours.size(), 4u);
  EXPECT_EQ(r.skin->colours[2].first, QStringLiteral("accent"));
  EXPECT_EQ(r.skin->colours[2].second, QColor(255, 0, 0));
  EXPECT_TRUE(r.skin->sheet.startsWith(QLatin1String("QPushButton")));
}

TEST(SkinFile, RefusesWhatIsNotASkin) {
  struct Case {
    const char* what;
    QByteArray text;
  } cases[] = {
      {"empty", ""},
      {"another format", QByteArray("\x00\x01SHE\x02", 6)},
      {"no separator", "rosgen-skin 1\n@Window: #fff\nQWidget {}\n"},
      {"bad colour", "rosgen-skin 1\n@Window: #ggg\n---\n"},
      {"bad name", "rosgen-skin 1\n@9lives: #fff\n---\n"},
      {"colour twice", "rosgen-skin 1\n@a: #fff\n@a: #000\n---\n"},
      {"not key: value", "rosgen-skin 1\nWindow #fff\n---\n"},
      {"too large", "rosgen-skin 1\n---\n" + QByteArray(kMaxSkinFileSize, ' ')},
  };
  for (const auto& c : cases) {
    ParseResult r = parse_skin(c.text);
    EXPECT_FALSE(r.skin) << c.what;
    EXPECT_FALSE(r.error.isEmpty()) << c.what;
  }
}

TEST(SkinFile, RendersColoursIntoSheetAndPalette) {
  SkinFile skin = *parse_skin(kGood).skin;
  Rendered r = render(skin, {}, QPalette());
  ASSERT_TRUE(r.error.isEmpty());
  EXPECT_TRUE(r.sheet.contains(QLatin1String("background: #ff0000; color: #ffffff;"))) << r.sheet.toStdString();
  EXPECT_TRUE(r.sheet.contains(QLatin1String("/* @not-a-colour */"))) << "comments are left alone";
  EXPECT_EQ(r.palette.color(QPalette::Active, QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(r.palette.color(QPalette::Inactive, QPalette::WindowText), QColor(0xf0, 0xf0, 0xf0));
  EXPECT_EQ(r.window, QColor(0x10, 0x20, 0x30));
  // Greyed text sits between the text and its background.
  QColor greyed = r.palette.color(QPalette::Disabled, QPalette::WindowText);
  EXPECT_GT(greyed.red(), 0x10);
  EXPECT_LT(greyed.red(), 0xf0);

  skin.sheet += QStringLiteral("QLabel { color: @missing; }");
  Rendered bad = render(skin, {}, QPalette());
  EXPECT_TRUE(bad.sheet.isEmpty());
  EXPECT_TRUE(bad.error.contains(QLatin1String("@missing")));
}

TEST(SkinFile, ShiftsColours) {
  struct Case {
    const char* what;
    QColor in;
    Adjust adjust;
    bool text;
    QColor out;
  } cases[] = {
      {"no change", QColor(200, 40, 30), {}, false, QColor(200, 40, 30)},
      {"hue 90 turns red to cyan", QColor(255, 0, 0), {90, 0, 0}, false, QColor(0, 255, 255)},
      {"hue 60 turns red to green", QColor(255, 0, 0), {60, 0, 0}, false, QColor(0, 255, 0)},
      {"hue 120 turns red to blue", QColor(255, 0, 0), {120, 0, 0}, false, QColor(0, 0, 255)},
      {"hue 180 is the full circle", QColor(255, 0, 0), {180, 0, 0}, false, QColor(255, 0, 0)},
      {"grey has no hue", QColor(128, 128, 128), {45, 0, 0}, false, QColor(128, 128, 128)},
      {"saturation 100 is grey", QColor(255, 0, 0), {0, 100, 0}, false, QColor(128, 128, 128)},
      {"brightness lightens", QColor(0, 0, 0), {0, 0, 100}, false, QColor(153, 153, 153)},
      {"text keeps its brightness", QColor(0, 0, 0), {0, 0, 100}, true, QColor(0, 0, 0)},
      {"out of range values are held in", QColor(0, 0, 0), {0, 500, 500}, false, QColor(153, 153, 153)},
  };
  for (const auto& c : cases) {
    QColor got = shift_colour(c.in, c.adjust, c.text);
    EXPECT_NEAR(got.red(), c.out.red(), 1) << c.what;
    EXPECT_NEAR(got.green(), c.out.green(), 1) << c.what;
    EXPECT_NEAR(got.blue(), c.out.blue(), 1) << c.what;
  }
}

TEST(SkinFile, OpacitiesStayUsable) {
  struct Case {
    int value;
    qreal menu;
    qreal window;
  } cases[] = {
      {0, 1.0, 1.0},
      {255, 1.0, 0.5},
      {-3, 1.0, 1.0},
      {300, 1.0, 0.5},
      {10, 64 / 255.0, 1.0 - 10 / 510.0},
      {150, 150 / 255.0, 1.0 - 150 / 510.0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(menu_opacity(c.value), c.menu, 1e-9) << c.value;
    EXPECT_NEAR(aero_opacity(c.value), c.window, 1e-9) << c.value;
  }
}

TEST(SkinFile, GlassBandKeepsTextReadable) {
  // Every corner of the colour box, on a light and on a dark skin.
  const std::pair<QColor, QColor> skins[] = {{QColor("#f7efe2"), QColor("#3b1d12")},
                                             {QColor("#2b2d31"), QColor("#e6e6e6")}};
  const QRegularExpression band(
      QStringLiteral("QMenuBar \\{ background-color: (#[0-9a-f]{6}); color: (#[0-9a-f]{6}); \\}"));
  for (auto [window, text] : skins) {
    for (int rgb = 0; rgb < 8; ++rgb) {
      for (int brightness : {0, 128, 255}) {
        Aero aero;
        aero.colour = QColor(rgb & 1 ? 255 : 0, rgb & 2 ? 255 : 0, rgb & 4 ? 255 : 0);
        aero.shadow_brightness = brightness;
        aero.shadow_size = 18;
        aero.shadow_sharpness = 128;
        QString sheet = aero_sheet(aero, window, text);
        auto m = band.match(sheet);
        ASSERT_TRUE(m.hasMatch()) << sheet.toStdString();
        EXPECT_EQ(QColor(m.captured(2)), text);
        EXPECT_GE(contrast(QColor(m.captured(1)), text), 4.5) << sheet.toStdString();
      }
    }
  }
}

// The shipped skins: each one a skin, and each one readable.
TEST(ShippedSkins, ParseRenderAndReadWell) {
  QDir dir(QString::fromStdString(test::kSkinSources.string()));
  QStringList files = dir.entryList({QStringLiteral("*.she")}, QDir::Files);
  EXPECT_GE(files.size(), 4);
  EXPECT_TRUE(files.contains(QStringLiteral("china.she")));
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ParseResult parsed = parse_skin(f.readAll());
    ASSERT_TRUE(parsed.skin) << parsed.error.toStdString();
    EXPECT_FALSE(parsed.skin->name.isEmpty());
    for (Adjust adjust : {Adjust{}, Adjust{180, 100, 100}}) {
      Rendered r = render(*parsed.skin, adjust, QPalette());
      EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    }
    QMap<QString, QColor> c;
    for (const auto& [k, v] : parsed.skin->colours) c[k] = v;
    const std::pair<const char*, const char*> pairs[] = {
        {"WindowText", "Window"},       {"Text", "Base"},         {"ButtonText", "buttonTop"},
        {"ButtonText", "buttonBottom"}, {"barText", "barTop"},    {"barText", "barBottom"},
        {"barText", "barHover"},        {"accentText", "accent"}, {"menuText", "menuBg"},
        {"tabText", "tabBottom"},       {"groupTitle", "panel"},  {"HighlightedText", "Highlight"},
        {"ToolTipText", "ToolTipBase"},
    };
    for (auto [fg, bg] : pairs) {
      ASSERT_TRUE(c.contains(fg) && c.contains(bg)) << fg << " on " << bg;
      EXPECT_GE(contrast(c[fg], c[bg]), 4.5) << fg << " on " << bg;
    }
  }
}

}  // namespace
}  // namespace rosgen::skin
