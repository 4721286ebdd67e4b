// Pictures of the appearance window and of a window dressed in each skin
// named, so anyone can see that the skins really change the look. Run it under
// a display (scripts/screenshot-skins.sh).
//
//   rosgen_skin_screenshot DIR SKIN...   writes DIR/appearance-SKIN.png, DIR/window-SKIN.png and
//                                        DIR/window-SKIN-glass.png
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "appearance/appearance.h"
#include "appearance/appearance_window.h"
#include "os/os.h"

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

// A window with the kinds of controls the program's pages use.
class SampleWindow : public QMainWindow {
 public:
  SampleWindow() {
    setWindowTitle(QStringLiteral("rosgen(RouterOS 2.9.X/3.X系列通用脚本) V2.2 综合修正版"));
    for (const char* menu : {"&F.程序设置", "&S.系统", "&I.安装", "&Q.限速", "&F.防火墙", "&V.VPN", "&H.帮助"}) {
      menuBar()->addMenu(QString::fromUtf8(menu));
    }
    auto* tabs = new QTabWidget(this);
    for (const char* tab : {"初始化界面", "添加管理帐号", "定时重启/关机", "单线固定IP安装设置"}) {
      tabs->addTab(new QWidget, QString::fromUtf8(tab));
    }
    auto* page = new QWidget;
    tabs->insertTab(4, page, QStringLiteral("PPPOE设置"));
    tabs->setCurrentIndex(4);
    setCentralWidget(tabs);

    auto* upper = new QGroupBox(QStringLiteral("PPPoE服务器设置脚本生成"), page);
    upper->setGeometry(5, 5, 590, 190);
    const char* labels[] = {"服务名称:", "地址池:", "DNS服务器:"};
    const char* values[] = {"pppoe-in", "10.0.0.2-10.0.0.254", "114.114.114.114"};
    for (int i = 0; i < 3; ++i) {
      (new QLabel(QString::fromUtf8(labels[i]), upper))->setGeometry(15, 28 + i * 32, 80, 24);
      (new QLineEdit(QString::fromUtf8(values[i]), upper))->setGeometry(100, 28 + i * 32, 180, 24);
    }
    auto* compress = new QCheckBox(QStringLiteral("使用压缩"), upper);
    compress->setGeometry(310, 28, 120, 24);
    compress->setChecked(true);
    (new QCheckBox(QStringLiteral("客户端限速"), upper))->setGeometry(310, 60, 120, 24);
    auto* level = new QComboBox(upper);
    level->addItems({QStringLiteral("请选择等级"), QStringLiteral("full"), QStringLiteral("read")});
    level->setGeometry(310, 92, 150, 24);
    (new QPushButton(QStringLiteral("生成2.9X系列脚本"), upper))->setGeometry(100, 140, 150, 32);
    (new QPushButton(QStringLiteral("生成3.X系列脚本"), upper))->setGeometry(270, 140, 150, 32);

    auto* lower = new QGroupBox(page);
    lower->setGeometry(5, 200, 590, 170);
    auto* output = new QPlainTextEdit(lower);
    output->setGeometry(10, 12, 440, 150);
    output->setPlainText(QStringLiteral(
        "/ip pool add name=pppoe-pool ranges=10.0.0.2-10.0.0.254\n"
        "/interface pppoe-server server add service-name=pppoe-in interface=ether2 disabled=no\n"
        "/ppp profile set default local-address=10.0.0.1 remote-address=pppoe-pool dns-server=114.114.114.114\n"));
    const char* buttons[] = {"复制生成脚本", "WINBOX连接器", "超级终端", "作者网站"};
    for (int i = 0; i < 4; ++i)
      (new QPushButton(QString::fromUtf8(buttons[i]), lower))->setGeometry(460, 12 + i * 38, 120, 32);
    resize(600, 420);
  }
};

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

  SampleWindow window;
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
