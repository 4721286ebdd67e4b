// At the window's default size every page shows its whole upper box without
// scrolling, no caption is cut, and the tab key walks a page in the order
// its declaration reads. Checked in the system font and in the CJK font a
// Chinese desktop shows, whose glyphs are wider and taller.
#include <QAbstractButton>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/page_view.h"
#include "gui_support.h"
#include "pages/registry.h"
#include "script/text.h"

using namespace rosgen;
using namespace rosgen::app;
using rosgen::test::FakeDesktop;
using rosgen::test::q;

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
    QTest::addColumn<QString>("family");
    QTest::newRow("system font") << QString();
    QTest::newRow("CJK font") << kCjkFamily;
  }

  void every_page_fits_the_default_window() {
    QFETCH(QString, family);
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
        for (const QString& p : problems(window.view(i))) {
          report << QStringLiteral("%1: %2").arg(q(window.form(i).page().slug), p);
        }
        ++checked;
      }
      QCOMPARE(checked, 25);
    }
    QApplication::setFont(before);
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
