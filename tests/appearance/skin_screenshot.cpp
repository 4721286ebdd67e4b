// Pictures of the appearance window and of the main window dressed in each
// skin named, so anyone can see that the skins really change the look. Run it under
// a display (scripts/screenshot-skins.sh).
//
//   rosgen_skin_screenshot DIR SKIN...   writes DIR/appearance-SKIN.png, DIR/window-SKIN.png and
//                                        DIR/window-SKIN-glass.png
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/page_view.h"
#include "appearance/appearance.h"
#include "appearance/appearance_window.h"
#include "os/os.h"
#include "pages/registry.h"

namespace {

using namespace rosgen::appearance;

bool shoot(QWidget& w, const QString& file) {
  QTest::qWait(200);
  QRect frame = w.frameGeometry();
  QPixmap picture = w.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  if (picture.isNull()) picture = w.grab();
  bool ok = picture.save(file);
  std::fprintf(stderr, "%s %s (%dx%d)\n", ok ? "wrote" : "could not write", qPrintable(file), picture.width(),
               picture.height());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments().mid(1);
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: rosgen_skin_screenshot DIR SKIN...\n");
    return 2;
  }
  QDir out(args.takeFirst());
  out.mkpath(QStringLiteral("."));
  const auto program_dir = rosgen::os::program_dir();
  Appearance appearance(program_dir, load_skin_engine(program_dir));
  if (!appearance.has_engine()) {
    std::fprintf(stderr, "no skin engine beside the program\n");
    return 1;
  }

  // The real main window, on a page with a script in its output box.
  rosgen::app::StderrDesktop desktop;
  rosgen::app::MainWindow window(desktop, {}, rosgen::pages());
  for (int i = 0; i < window.page_count(); ++i) {
    if (window.form(i).page().on_startup) window.form(i).page().on_startup(window.form(i));
  }
  window.show_page(23);
  if (auto* view = window.view(23)) {
    for (auto* b : view->findChildren<QPushButton*>()) {
      if (b->property("buttonId").toString() == QStringLiteral("gen-3x")) b->click();
    }
  }
  window.move(20, 20);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  QTemporaryDir scratch;
  bool ok = true;
  for (const QString& skin : args) {
    // A saved look with this skin, the glass on and a few values set.
    SettingsFile settings(QDir(scratch.path()).filePath(skin + QStringLiteral(".dll")).toStdString());
    settings.write("skin", {{"skinname", skin.toStdString() + ".she"}, {"menu", "230"}, {"Aero", "0"}});
    appearance.load_and_apply(settings);
    ok = shoot(window, out.filePath(QStringLiteral("window-%1.png").arg(skin))) && ok;

    // The same with the glass on: a blue band down the window.
    SettingsFile glass(QDir(scratch.path()).filePath(skin + QStringLiteral("-glass.dll")).toStdString());
    glass.write("skin", {{"skinname", skin.toStdString() + ".she"},
                         {"Aero", "1"},
                         {"AEROtm", "0"},
                         {"AEROsize", "12"},
                         {"AEROrd", "128"},
                         {"AEROld", "60"},
                         {"AEROred", "30"},
                         {"AEROgreen", "90"},
                         {"AEROblue", "200"}});
    appearance.load_and_apply(glass);
    ok = shoot(window, out.filePath(QStringLiteral("window-%1-glass.png").arg(skin))) && ok;

    QTimer::singleShot(300, [&] {
      if (AppearanceWindow* w = appearance.window()) {
        ok = shoot(*w, out.filePath(QStringLiteral("appearance-%1.png").arg(skin))) && ok;
        w->close();
      }
    });
    appearance.open_window(QStringLiteral("外观配置"), &window, settings);
  }
  return ok ? 0 : 1;
}
