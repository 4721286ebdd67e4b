// At the window's default size every page shows its whole upper box without
// scrolling, no caption is cut, no group box title meets another title, a
// frame line or a field, and the tab key walks a page in the order its
// declaration reads. Checked without a skin and in every shipped skin, each
// in the system font and in the CJK font a Chinese desktop shows, whose
// glyphs are wider and taller.
#include <QAbstractButton>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionGroupBox>

#include "app/main_window.h"
#include "app/page_view.h"
#include "appearance/appearance.h"
#include "gui_support.h"
#include "pages/registry.h"
#include "script/text.h"

using namespace rosgen;
using namespace rosgen::app;
using rosgen::test::FakeDesktop;
using rosgen::test::q;
using rosgen::test::seen_apart;
using rosgen::test::shipped_skins;
using rosgen::test::wear;

namespace {

const QSize kDefaultSize(828, 655);
const QString kCjkFamily = QStringLiteral("WenQuanYi Micro Hei");

QString describe(const QWidget* w) {
  QString text;
  if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
  return QStringLiteral("%1 %2 \"%3\"").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

QString size_text(QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); }
QString rect_text(QRect r) { return QStringLiteral("%1,%2 %3").arg(r.x()).arg(r.y()).arg(size_text(r.size())); }

// A group box as its style draws it, children left out: its title's
// rectangle as the pixels the text covers, and the frame alone.
struct DrawnBox {
  const QGroupBox* box;
  QRect title;   // in the view's coordinates; empty without a title
  QImage frame;  // the box drawn with a blank title
  QPoint frame_at;
};

DrawnBox draw_box(const QGroupBox* box, const QWidget* view) {
  QStyleOptionGroupBox opt;
  opt.initFrom(box);
  opt.lineWidth = 1;
  opt.textAlignment = box->alignment();
  opt.subControls = QStyle::SC_GroupBoxFrame;
  if (!box->title().isEmpty()) opt.subControls |= QStyle::SC_GroupBoxLabel;
  opt.textColor = QColor(box->style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, &opt, box));
  // Drawn unclipped with room all round, so a title reaching out of its box shows.
  const int room = 16 + box->fontMetrics().horizontalAdvance(box->title());
  auto draw = [&](const QString& text) {
    QImage image(box->size() + QSize(2 * room, 2 * room), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(box->font());
    painter.translate(room, room);
    opt.text = text;
    box->style()->drawComplexControl(QStyle::CC_GroupBox, &opt, &painter, box);
    return image;
  };
  const QImage with = draw(box->title());
  // A blank title keeps the frame where a titled box has it.
  const QImage without = box->title().isEmpty() ? with : draw(QStringLiteral(" "));
  QRect text;
  for (int y = 0; y < with.height(); ++y) {
    for (int x = 0; x < with.width(); ++x) {
      if (seen_apart(with.pixel(x, y), without.pixel(x, y))) text |= QRect(x, y, 1, 1);
    }
  }
  const QPoint origin = box->mapTo(view, QPoint(0, 0)) - QPoint(room, room);
  return {box, text.translated(origin), without, origin};
}

// Every title drawn whole inside its box, clear of every other title, of
// every frame line (not the faint shading beside it) and of what its box holds.
QStringList title_problems(const PageView* view) {
  QStringList out;
  std::vector<DrawnBox> boxes;
  for (const QGroupBox* box : view->findChildren<QGroupBox*>()) {
    if (box->isVisibleTo(view)) boxes.push_back(draw_box(box, view));
  }
  auto name = [](const QGroupBox* box) { return QStringLiteral("\"%1\"").arg(box->title()); };
  for (size_t i = 0; i < boxes.size(); ++i) {
    const DrawnBox& b = boxes[i];
    if (b.box->title().isEmpty()) continue;
    const QRect area(b.box->mapTo(view, QPoint(0, 0)), b.box->size());
    if (b.title.isEmpty() || !area.contains(b.title)) {
      out << QStringLiteral("title %1 at %2 is not whole inside its box at %3")
                 .arg(name(b.box), rect_text(b.title), rect_text(area));
    }
    for (size_t j = 0; j < boxes.size(); ++j) {
      const DrawnBox& other = boxes[j];
      bool crossed = false;
      for (int y = b.title.top(); y <= b.title.bottom() && !crossed; ++y) {
        for (int x = b.title.left(); x <= b.title.right() && !crossed; ++x) {
          const QPoint p = QPoint(x, y) - other.frame_at;
          crossed = other.frame.valid(p) && qAlpha(other.frame.pixel(p)) >= 64;
        }
      }
      if (crossed) out << QStringLiteral("title %1 crosses the frame of %2").arg(name(b.box), name(other.box));
      if (j > i && other.title.intersects(b.title)) {
        out << QStringLiteral("titles %1 and %2 overlap").arg(name(b.box), name(other.box));
      }
    }
    for (const QWidget* w : b.box->findChildren<QWidget*>()) {
      // Plain holders and nested boxes draw nothing here of their own; what they hold is checked.
      if (!w->isVisibleTo(view) || qobject_cast<const QGroupBox*>(w) || w->metaObject() == &QWidget::staticMetaObject ||
          w->parentWidget()->inherits("QAbstractScrollArea") || w->inherits("QScrollArea")) {
        continue;
      }
      if (QRect(w->mapTo(view, QPoint(0, 0)), w->size()).intersects(b.title)) {
        out << QStringLiteral("title %1 is covered by %2").arg(name(b.box), describe(w));
      }
    }
  }
  return out;
}

// What a person cannot see whole on one page's upper box.
QStringList problems(const PageView* view) {
  QStringList out;
  auto* scroll = view->upper()->findChild<QScrollArea*>();
  if (!scroll) return {QStringLiteral("no scroll area")};
  const QWidget* content = scroll->widget();
  const QSize room = scroll->viewport()->size();

  const QSize least = content->minimumSizeHint();
  const QSize wanted = content->sizeHint();
  const int tall = content->hasHeightForWidth() ? content->heightForWidth(room.width()) : wanted.height();
  if (least.width() > room.width() || least.height() > room.height() || tall > room.height()) {
    out << QStringLiteral("content needs %1 (%2 high at the viewport's width), viewport %3")
               .arg(size_text(least))
               .arg(tall)
               .arg(size_text(room));
  }
  if (scroll->verticalScrollBar()->isVisibleTo(scroll) || scroll->horizontalScrollBar()->isVisibleTo(scroll)) {
    out << QStringLiteral("a scroll bar shows");
  }

  const QRect shown(QPoint(0, 0), room);
  for (QWidget* w : content->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(content) || w->parentWidget()->inherits("QAbstractScrollArea")) continue;
    const QRect at(w->mapTo(content, QPoint(0, 0)), w->size());
    if (!shown.contains(at) && !qobject_cast<const QScrollBar*>(w)) {
      out << QStringLiteral("%1 at %2,%3 %4 outside the viewport")
                 .arg(describe(w))
                 .arg(at.x())
                 .arg(at.y())
                 .arg(size_text(at.size()));
    }
    QSize need;
    if (auto* label = qobject_cast<const QLabel*>(w)) {
      need = label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
    } else if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w)) {
      // The size hint is the text's advance plus the style's frame, box or indicator.
      need = w->sizeHint();
    }
    if (w->width() < need.width() || w->height() < need.height()) {
      out << QStringLiteral("%1 is %2, its text needs %3").arg(describe(w), size_text(w->size()), size_text(need));
    }
  }
  return out;
}

// The page's fields and buttons in declaration order, by objectName.
QStringList declared_order(const Page& page) {
  QStringList names;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) names << q(f->id);
    if (const auto* b = std::get_if<Button>(&item.v)) names << q(b->designer.empty() ? b->id : b->designer);
  });
  return names;
}

// The same names as the tab key reaches them, starting inside the upper box.
QStringList focus_order(const PageView* view, const QStringList& declared) {
  QWidget* start = view->upper();
  QStringList seen;
  QWidget* w = start;
  do {
    w = w->nextInFocusChain();
    if (view->upper()->isAncestorOf(w) && declared.contains(w->objectName()) && !seen.contains(w->objectName())) {
      seen << w->objectName();
    }
  } while (w != start);
  return seen;
}

}  // namespace

class FitTest : public QObject {
  Q_OBJECT

  FakeDesktop desktop;

 private slots:
  void every_page_fits_the_default_window_data() {
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("family");
    const QStringList skins = shipped_skins();
    QVERIFY2(skins.contains(QString::fromUtf8(rosgen::appearance::kDefaultSkin)), ROSGEN_SKINS_SRC);
    for (const QString& skin : QStringList{QStringLiteral("none")} + skins) {
      QTest::addRow("%s, system font", qPrintable(skin)) << skin << QString();
      QTest::addRow("%s, CJK font", qPrintable(skin)) << skin << kCjkFamily;
    }
  }

  void every_page_fits_the_default_window() {
    QFETCH(QString, skin);
    QFETCH(QString, family);
    QVERIFY2(wear(skin), qPrintable(skin));
    const QFont before = QApplication::font();
    if (!family.isEmpty()) {
      QVERIFY2(QFontDatabase::families().contains(family), qPrintable(family + QStringLiteral(" is not installed")));
      QFont font = before;
      font.setFamily(family);
      QApplication::setFont(font);
    }
    QStringList report;
    {
      MainWindow window(desktop, {}, pages());
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QCOMPARE(window.size(), kDefaultSize);
      int checked = 0;
      for (int i = 0; i < window.page_count(); ++i) {
        if (window.form(i).page().output.empty()) continue;
        window.show_page(i);
        // The view is built on first show; its layout settles over a few passes.
        QTest::qWait(20);
        for (const QString& p : problems(window.view(i)) + title_problems(window.view(i))) {
          report << QStringLiteral("%1: %2").arg(q(window.form(i).page().slug), p);
        }
        ++checked;
      }
      QCOMPARE(checked, 26);
    }
    QApplication::setFont(before);
    wear(QStringLiteral("none"));
    for (const QString& line : report) qInfo().noquote() << line;
    QVERIFY2(report.isEmpty(), qPrintable(QStringLiteral("%1 problems, listed above").arg(report.size())));
  }

  // A text wider than its box shows its start, both as the page opens
  // (the letter lists of the accounts page) and when the program sets it.
  void a_long_text_shows_its_start() {
    MainWindow window(desktop, {}, pages());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::string wide = "first-" + std::string(120, 'x') + "-last";
    int long_ones = 0;
    for (int i = 0; i < window.page_count(); ++i) {
      Form& form = window.form(i);
      if (form.page().output.empty()) continue;
      window.show_page(i);
      for (QLineEdit* edit : window.view(i)->findChildren<QLineEdit*>()) {
        const std::string id = edit->objectName().toStdString();
        if (edit->fontMetrics().horizontalAdvance(edit->text()) > edit->width()) ++long_ones;
        QVERIFY2(edit->cursorPosition() == 0, id.c_str());
        form.set_text(id, to_gbk(wide));
        QCOMPARE(edit->text(), q(wide));
        QVERIFY2(edit->cursorPosition() == 0, id.c_str());
      }
    }
    QVERIFY(long_ones > 0);
  }

  // Fields and buttons side by side or in boxes side by side still take the
  // tab key in the order the page reads.
  void the_tab_key_follows_the_declaration() {
    MainWindow window(desktop, {}, pages());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < window.page_count(); ++i) {
      const Page& page = window.form(i).page();
      if (page.output.empty()) continue;
      window.show_page(i);
      const QStringList declared = declared_order(page);
      const QStringList reached = focus_order(window.view(i), declared);
      QStringList expected;
      for (const QString& name : declared) {
        if (reached.contains(name)) expected << name;
      }
      QVERIFY2(reached.size() * 2 > declared.size(), page.slug.c_str());
      QCOMPARE(reached, expected);
    }
  }
};

ROSGEN_GUI_TEST_MAIN(FitTest)
#include "fit_test.moc"
