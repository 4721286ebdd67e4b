#include "skin/skin_file.h"

#include <QHash>
#include <QMetaEnum>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace rosgen::skin {
namespace {

const QString kMagic = QStringLiteral("rosgen-skin 1");

bool is_name_char(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'-'; }

bool valid_name(const QString& name) {
  if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_')) return false;
  return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'-'; });
}

QColor mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto lerp = [t](double x, double y) { return x + (y - x) * t; };
  return QColor::fromRgbF(
      static_cast<float>(lerp(a.redF(), b.redF())), static_cast<float>(lerp(a.greenF(), b.greenF())),
      static_cast<float>(lerp(a.blueF(), b.blueF())), static_cast<float>(lerp(a.alphaF(), b.alphaF())));
}

QString css(const QColor& c) {
  if (c.alpha() == 255) return c.name(QColor::HexRgb);
  return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

bool is_text_colour(const QString& name) { return name.contains(QStringLiteral("text"), Qt::CaseInsensitive); }

double luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

ParseResult parse_skin(const QByteArray& utf8) {
  ParseResult result;
  if (utf8.size() > kMaxSkinFileSize) {
    result.error = QStringLiteral("the file is too large");
    return result;
  }
  QString text = QString::fromUtf8(utf8);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  QStringList lines = text.split(u'\n');
  for (QString& line : lines) {
    if (line.endsWith(u'\r')) line.chop(1);
  }
  if (lines.isEmpty() || lines[0].trimmed().compare(kMagic, Qt::CaseInsensitive) != 0) {
    result.error = QStringLiteral("not a skin file (the first line must read \"%1\")").arg(kMagic);
    return result;
  }

  SkinFile skin;
  qsizetype i = 1;
  for (; i < lines.size(); ++i) {
    QString line = lines[i].trimmed();
    if (line == QLatin1String("---")) break;
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    qsizetype colon = line.indexOf(u':');
    if (colon < 0) {
      result.error = QStringLiteral("line %1: expected \"key: value\"").arg(i + 1);
      return result;
    }
    QString key = line.left(colon).trimmed();
    QString value = line.mid(colon + 1).trimmed();
    if (key.startsWith(u'@')) {
      QString name = key.mid(1);
      QColor colour(value);
      if (!valid_name(name) || !colour.isValid()) {
        result.error = QStringLiteral("line %1: bad colour \"%2\"").arg(i + 1).arg(line);
        return result;
      }
      bool twice =
          std::any_of(skin.colours.begin(), skin.colours.end(), [&](const auto& c) { return c.first == name; });
      if (twice) {
        result.error = QStringLiteral("line %1: colour @%2 defined twice").arg(i + 1).arg(name);
        return result;
      }
      skin.colours.emplace_back(name, colour);
    } else if (key.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
      skin.name = value;
    }
    // Other keys (author, notes) are for people.
  }
  if (i >= lines.size()) {
    result.error = QStringLiteral("no \"---\" line between the header and the style sheet");
    return result;
  }
  skin.sheet = lines.mid(i + 1).join(u'\n');
  result.skin = std::move(skin);
  return result;
}

QColor shift_colour(const QColor& colour, const Adjust& adjust, bool is_text) {
  // Untouched colours stay exact; the way through HSL may round.
  if (adjust.hue % 180 == 0 && adjust.saturation <= 0 && (is_text || adjust.brightness <= 0)) return colour.toRgb();
  float h = 0, s = 0, l = 0, a = 0;
  colour.toHsl().getHslF(&h, &s, &l, &a);
  if (h >= 0) {  // grey has no hue to turn
    int degrees = ((adjust.hue % 180) + 180) % 180 * 2;
    h = std::fmod(h + static_cast<float>(degrees) / 360.0f, 1.0f);
  }
  s *= 1.0f - static_cast<float>(std::clamp(adjust.saturation, 0, 100)) / 100.0f;
  if (!is_text) l += (1.0f - l) * static_cast<float>(std::clamp(adjust.brightness, 0, 100)) / 100.0f * 0.6f;
  QColor out = QColor::fromHslF(h < 0 ? -1.0f : h, s, l, a);
  return out.toRgb();
}

Rendered render(const SkinFile& skin, const Adjust& adjust, const QPalette& base) {
  Rendered out;
  QHash<QString, QColor> shifted;
  for (const auto& [name, colour] : skin.colours)
    shifted.insert(name, shift_colour(colour, adjust, is_text_colour(name)));

  // Placeholders are replaced outside comments only, so a comment may say "@".
  const QString& in = skin.sheet;
  QString sheet;
  sheet.reserve(in.size() + in.size() / 4);
  for (qsizetype i = 0; i < in.size();) {
    if (in[i] == u'/' && i + 1 < in.size() && in[i + 1] == u'*') {
      qsizetype end = in.indexOf(QStringLiteral("*/"), i + 2);
      end = end < 0 ? in.size() : end + 2;
      sheet += in.mid(i, end - i);
      i = end;
      continue;
    }
    if (in[i] != u'@') {
      sheet += in[i++];
      continue;
    }
    qsizetype j = i + 1;
    while (j < in.size() && is_name_char(in[j])) ++j;
    QString name = in.mid(i + 1, j - i - 1);
    auto found = shifted.constFind(name);
    if (found == shifted.constEnd()) {
      out.error = QStringLiteral("the style sheet uses @%1, which the header does not define").arg(name);
      out.palette = base;
      return out;
    }
    sheet += css(*found);
    i = j;
  }
  out.sheet = sheet;

  QPalette palette = base;
  const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
  for (auto it = shifted.constBegin(); it != shifted.constEnd(); ++it) {
    bool ok = false;
    int role = roles.keyToValue(it.key().toLatin1().constData(), &ok);
    if (!ok || role < 0 || role >= QPalette::NColorRoles || role == QPalette::NoRole) continue;
    palette.setColor(QPalette::All, static_cast<QPalette::ColorRole>(role), *it);
  }
  // Greyed-out text: halfway into its background.
  const std::pair<QPalette::ColorRole, QPalette::ColorRole> greyed[] = {{QPalette::WindowText, QPalette::Window},
                                                                        {QPalette::Text, QPalette::Base},
                                                                        {QPalette::ButtonText, QPalette::Button}};
  for (auto [fg, bg] : greyed) {
    palette.setColor(QPalette::Disabled, fg,
                     mix(palette.color(QPalette::Active, fg), palette.color(QPalette::Active, bg), 0.5));
  }
  out.palette = palette;
  out.window = palette.color(QPalette::Active, QPalette::Window);
  out.text = palette.color(QPalette::Active, QPalette::WindowText);
  return out;
}

double contrast(const QColor& a, const QColor& b) {
  double x = luminance(a), y = luminance(b);
  if (x < y) std::swap(x, y);
  return (x + 0.05) / (y + 0.05);
}

QString aero_sheet(const Aero& aero, const QColor& window, const QColor& text) {
  QColor tint = mix(aero.colour.toRgb(), QColor(Qt::white), std::clamp(aero.shadow_brightness, 0, 255) / 255.0 * 0.85);
  tint.setAlpha(255);
  double size = std::clamp(aero.shadow_size, 0, 18) / 18.0;
  // Stronger with a larger shadow, pulled back until the text on it stays readable.
  double strength = 0.3 + 0.5 * size;
  QColor band = mix(window, tint, strength);
  while (strength > 0 && contrast(band, text) < 4.5) {
    strength -= 0.05;
    band = mix(window, tint, strength);
  }
  double reach = 0.06 + 0.34 * size;  // part of the window's height
  double solid = std::max(0.001, reach * std::clamp(aero.shadow_sharpness, 0, 255) / 255.0 - 0.002);
  // The menu bar's words take the window's text colour, which the band was made to carry.
  return QStringLiteral(
             "\nQMainWindow, QDialog { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, "
             "stop:%2 %1, stop:%3 %4, stop:1 %4); }\n"
             "QMenuBar { background-color: %1; color: %5; }\n"
             "QMenuBar::item { color: %5; }\n"
             "QMenuBar::item:selected, QMenuBar::item:pressed { background-color: %6; color: %5; }\n")
      .arg(css(band))
      .arg(solid, 0, 'f', 3)
      .arg(reach, 0, 'f', 3)
      .arg(css(window))
      .arg(css(text))
      .arg(css(mix(band, text, 0.15)));
}

qreal aero_opacity(int alpha) { return 1.0 - std::clamp(alpha, 0, 255) / 255.0 * 0.5; }

qreal menu_opacity(int alpha) {
  if (alpha <= 0 || alpha >= 255) return 1.0;
  return std::max(alpha, 64) / 255.0;
}

}  // namespace rosgen::skin
