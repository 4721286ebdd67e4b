// Skin files (*.she): a Qt style sheet with a small header that names the
// skin's colours. The engine recolours those colours (hue, saturation,
// brightness) and puts them into the sheet and the application palette.
//
//   rosgen-skin 1
//   name: 中国红
//   @Window: #f6eee4          colours; names of palette roles also set the palette
//   @accent: #b3261e
//   ---
//   QPushButton { background: @accent; }
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace rosgen::skin {

struct SkinFile {
  QString name;
  std::vector<std::pair<QString, QColor>> colours;  // in the order of the file
  QString sheet;                                    // with @name placeholders
};

struct ParseResult {
  std::optional<SkinFile> skin;
  QString error;  // why the text is not a skin, when it is not
};

// Files larger than this are refused unread.
inline constexpr qint64 kMaxSkinFileSize = 1 << 20;

ParseResult parse_skin(const QByteArray& utf8);

struct Adjust {
  int hue = 0;         // 0..180, two degrees a step around the colour circle
  int saturation = 0;  // 0..100, percent taken away
  int brightness = 0;  // 0..100, percent of the way to white (text colours keep theirs)
};

QColor shift_colour(const QColor& colour, const Adjust& adjust, bool is_text);

struct Rendered {
  QString sheet;
  QPalette palette;
  QColor window;  // the skin's window colour after the shift
  QColor text;    // its window text colour
  QString error;  // a placeholder without a colour; the sheet is then empty
};

// The sheet with every placeholder replaced by its shifted colour, and the
// palette `base` with the skin's role colours put in.
Rendered render(const SkinFile& skin, const Adjust& adjust, const QPalette& base);

// The glass look: a band of tinted colour at the top of every window and on
// the menu bar, never so strong that the text on it stops being readable.
struct Aero {
  int alpha = 0;              // 0..255, how see-through the windows are
  int shadow_brightness = 0;  // 0..255, the tint lightened toward white
  int shadow_sharpness = 0;   // 0..255, how hard the band's lower edge is
  int shadow_size = 0;        // 0..18, how far the band reaches down
  QColor colour = Qt::black;
};

QString aero_sheet(const Aero& aero, const QColor& window, const QColor& text);
// The opacity of top-level windows: never below one half, so they stay usable.
qreal aero_opacity(int alpha);
// The opacity of menus: 0 and 255 mean opaque; other values never go below a quarter.
qreal menu_opacity(int alpha);

// WCAG contrast ratio of two colours, 1..21.
double contrast(const QColor& a, const QColor& b);

}  // namespace rosgen::skin
