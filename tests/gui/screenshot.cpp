// Takes a picture of the real main window with a page filled in, as the
// screen shows it, so anyone can check that nothing is clipped and the
// Chinese text is readable. Run it under a display (scripts/screenshot.sh).
//
//   rosgen_gui_screenshot OUT.png [PAGE [BUTTON[,BUTTON...] [FIELD=VALUE|FIELD ...]]]
//                                                   one page, the buttons pressed first; each FIELD=VALUE
//                                                   typed into its field after, a FIELD focused
//   rosgen_gui_screenshot --all DIR                 every page, DIR/NN-slug.png, and
//                                                   DIR/NN-slug-whole.png its whole upper box
//   rosgen_gui_screenshot --message OUT.png         the copy button's message box
//
// The window wears the skin a first start shows (skins/china.she beside the
// program); --skin NAME before the rest picks skins/NAME.she, --skin none none.
#include <cstdio>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

#include "app/application.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/output_panel.h"
#include "app/page_view.h"
#include "app/single_instance.h"
#include "app/window_env.h"
#include "appearance/appearance.h"
#include "appearance/skin_engine.h"
#include "os/os.h"
#include "pages/registry.h"

namespace {

using namespace rosgen::app;

bool shoot(MainWindow& window, const QString& file) {
  QTest::qWait(150);
  QScreen* screen = window.screen();
  QRect frame = window.frameGeometry();
  QPixmap picture = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  if (picture.isNull()) picture = window.grab();
  bool ok = picture.save(file);
  std::fprintf(stderr, "%s %s (%dx%d)\n", ok ? "wrote" : "could not write", qPrintable(file), picture.width(),
               picture.height());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  QStringList args = QApplication::arguments().mid(1);
  QString skin = QString::fromUtf8(rosgen::appearance::kDefaultSkin).chopped(4);
  if (args.size() >= 2 && args[0] == QStringLiteral("--skin")) {
    skin = args[1];
    args = args.mid(2);
  }
  auto engine = rosgen::appearance::load_skin_engine(rosgen::os::program_dir());
  if (skin != QStringLiteral("none") && !args.isEmpty()) {
    const auto file = rosgen::os::program_dir() / "skins" / (skin + QStringLiteral(".she")).toStdString();
    if (!engine || engine->attach_ext(file.string(), "", 0, 0, 0) != 0) {
      std::fprintf(stderr, "cannot apply the skin %s\n", qPrintable(skin));
      return 1;
    }
  }
  if (args.isEmpty()) {
    std::fprintf(stderr, "usage: rosgen_gui_screenshot [--skin NAME|none] OUT.png [PAGE [BUTTON]] | --all DIR\n");
    return 2;
  }
  StderrDesktop desktop;
  SingleInstance guard;  // not acquired: a running copy must not stop the picture
  MainWindow window(desktop, {}, rosgen::pages());
  for (int i = 0; i < window.page_count(); ++i) {
    if (window.form(i).page().on_startup) window.form(i).page().on_startup(window.form(i));
  }
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  auto press = [&](int index, const QString& button) {
    PageView* view = window.view(index);
    if (!view) return;
    for (auto* b : view->findChildren<QPushButton*>()) {
      if (b->objectName() == button || b->property("buttonId").toString() == button) {
        b->click();
        return;
      }
    }
  };

  if (args[0] == QStringLiteral("--message")) {
    bool ok = false;
    // Pictured while it is up, then closed.
    QTimer::singleShot(400, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) {
        std::fprintf(stderr, "no message box is up\n");
        return;
      }
      QRect frame = box->frameGeometry();
      QPixmap picture = box->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
      ok = picture.save(args.value(1, QStringLiteral("message.png")));
      std::fprintf(stderr, "wrote %s (%dx%d)\n", qPrintable(args.value(1)), picture.width(), picture.height());
      box->accept();
    });
    QtDesktop real;
    static_cast<Desktop&>(real).message(&window, copy_success_text(), QStringLiteral("恭喜!"));
    return ok ? 0 : 1;
  }

  if (args[0] == QStringLiteral("--all")) {
    QDir dir(args.value(1, QStringLiteral(".")));
    dir.mkpath(QStringLiteral("."));
    bool ok = true;
    for (int i = 0; i < window.page_count(); ++i) {
      window.show_page(i);
      press(i, QStringLiteral("gen-3x"));
      QString name = QStringLiteral("%1-%2.png")
                         .arg(i, 2, 10, QLatin1Char('0'))
                         .arg(QString::fromStdString(window.form(i).page().slug));
      ok = shoot(window, dir.filePath(name)) && ok;
      // The whole upper box too, as it would stand without scrolling.
      if (PageView* view = window.view(i)) {
        if (auto* scroll = view->upper()->findChild<QScrollArea*>()) {
          QString whole = name;
          whole.replace(QStringLiteral(".png"), QStringLiteral("-whole.png"));
          ok = scroll->widget()->grab().save(dir.filePath(whole)) && ok;
        }
      }
    }
    return ok ? 0 : 1;
  }

  const rosgen::Page* page = rosgen::find_page(args.value(1, QStringLiteral("pppoe-server")).toStdString());
  if (!page) {
    std::fprintf(stderr, "no such page\n");
    return 2;
  }
  window.show_page(page->index);
  for (const QString& button : args.value(2, QStringLiteral("gen-3x")).split(u',')) press(page->index, button);
  // Values typed after the press, as a person would: their warnings show.
  for (const QString& arg : args.mid(3)) {
    const qsizetype eq = arg.indexOf(u'=');
    const rosgen::Field* field = rosgen::find_field_named(*page, arg.left(eq).toStdString());
    QWidget* w = field ? window.view(page->index)->findChild<QWidget*>(QString::fromStdString(field->id)) : nullptr;
    if (!w) {
      std::fprintf(stderr, "no field %s\n", qPrintable(arg.left(eq)));
      return 2;
    }
    if (eq < 0) {
      w->setFocus();
    } else {
      window.form(page->index).set_text(field->id, typed(arg.mid(eq + 1), true));
    }
  }
  return shoot(window, args[0]) ? 0 : 1;
}
