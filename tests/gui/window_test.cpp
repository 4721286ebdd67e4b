// The main window: menus, tabs, the 27 pages rendered from the registry, the
// start-up sequence and the single-instance guard within one process.
#include <memory>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/page_view.h"
#include "app/single_instance.h"
#include "appearance/settings_file.h"
#include "gui_support.h"
#include "pages/registry.h"

using namespace rosgen;
using namespace rosgen::app;
using rosgen::test::FakeDesktop;
using rosgen::test::named;
using rosgen::test::q;

namespace {

const QString kTitle =
    QStringLiteral("rosgen(RouterOS 2.9.X/3.X系列通用脚本) V2.2 综合修正版 http://rosgen.example.org");

const std::vector<std::pair<const char*, std::vector<const char*>>> kMenus = {
    {"&F.程序设置", {"&S 外观配置", "&R 初始化界面", "&X 退出程序"}},
    {"&S.系统", {"&U 添加管理员帐号", "&S 定时重启/关机", "&Q 其它系统优化/设置"}},
    {"&I.安装",
     {"&O 单线固定IP安装设置", "&P 单线PPPOE拔号安装设置", "&R 多线固定IP负载安装设置", "&F 多线固定IP分流安装设置",
      "&L 多线PPPOE负载安装设置", "&S 多线PPPOE分流安装设置", "&T 双线固定IP电信网通安装设置"}},
    {"&Q.限速", {"Q& Queues常用限速", "&P Pcq动态限速", "P& Pcq速体限速"}},
    {"&F.防火墙",
     {"&P Ping", "&A ARP绑定(支持批量)", "&X 限制线程(TCP连接数)", "&F 封锁软件类", "&D 端口映射",
      "&O 封端口及封IP(支持批量)", "&C 封关键字及域名"}},
    {"&V.VPN", {"&P PPTP设置", "&L L2TP设置", "&W WireGuard设置"}},
    {"&P.PPPOE", {"&P PPPOE设置", "&A 添加PPPOE帐号(支持批量)", "&D DDNS动态域名服务"}},
    {"&D.路由工具", {"&W Winbox登陆器", "&C 超级终端", "&T Telnet"}},
    {"&H.帮助", {"&F.我有新脚本要发布", "&U.检查更新", "&@.作者EMAIL", "&Q.联系作者", "&W.作者网站", "&A.关于本程序"}},
};

QAction* menu_item(MainWindow& window, int menu, int item) {
  QList<QAction*> menus = window.menuBar()->actions();
  if (menu >= menus.size() || !menus[menu]->menu()) return nullptr;
  QList<QAction*> items = menus[menu]->menu()->actions();
  return item < items.size() ? items[item] : nullptr;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir runtime;
  FakeDesktop desktop;
  StartupHooks hooks;
  std::unique_ptr<MainWindow> window;
  std::vector<std::string> calls;  // the start-up hooks in the order they ran
  std::unique_ptr<QTemporaryDir> settings_dir;

  QString settings_path() const { return settings_dir->filePath(QStringLiteral("settings.dll")); }

  MainWindow& open() {
    window = std::make_unique<MainWindow>(desktop, hooks, pages());
    window->use_settings(appearance::SettingsFile(settings_path().toStdString()));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
    return *window;
  }

  QPlainTextEdit* output_box(int page) {
    return named<QPlainTextEdit>(window->view(page), pages()[static_cast<size_t>(page)].output);
  }

 private slots:
  void initTestCase() {
    // The single-instance claims of this test stay in a folder of its own.
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  }

  void init() {
    settings_dir = std::make_unique<QTemporaryDir>();
    desktop = FakeDesktop();
    hooks = StartupHooks();
    calls.clear();
  }

  void cleanup() { window.reset(); }

  void title_size_and_tab_control() {
    MainWindow& w = open();
    QCOMPARE(w.windowTitle(), kTitle);
    QCOMPARE(w.size(), QSize(828, 655));
    QCOMPARE(w.tabs()->objectName(), QStringLiteral("选择夹1"));
  }

  void menus_read_as_written() {
    MainWindow& w = open();
    QList<QAction*> menus = w.menuBar()->actions();
    QCOMPARE(menus.size(), int(kMenus.size()));
    int items = 0;
    for (int m = 0; m < menus.size(); ++m) {
      QCOMPARE(menus[m]->text(), QString::fromUtf8(kMenus[size_t(m)].first));
      QStringList texts;
      for (QAction* a : menus[m]->menu()->actions()) texts << a->text();
      QStringList expected;
      for (const char* t : kMenus[size_t(m)].second) expected << QString::fromUtf8(t);
      QCOMPARE(texts, expected);
      items += int(texts.size());
    }
    QCOMPARE(items, 38);
  }

  // The tabs are the registry's pages, in its order.
  void tabs_follow_the_registry() {
    MainWindow& w = open();
    QCOMPARE(w.tabs()->count(), 27);
    for (int i = 0; i < 27; ++i) QCOMPARE(w.tabs()->tabText(i), q(pages()[size_t(i)].tab));
    QCOMPARE(w.tabs()->currentIndex(), 0);
  }

  void every_menu_item_shows_its_page_data() {
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("page");
    const int pages_by_menu[][7] = {
        {-1, 0, -1},  {1, 2, 3},    {4, 5, 6, 7, 8, 9, 10}, {11, 12, 13}, {14, 15, 16, 17, 18, 19, 20},
        {21, 22, 26}, {23, 24, 25},
    };
    for (int m = 0; m < 7; ++m) {
      for (size_t i = 0; i < kMenus[size_t(m)].second.size(); ++i) {
        int page = pages_by_menu[m][i];
        if (page < 0) continue;
        QTest::newRow(kMenus[size_t(m)].second[i]) << m << int(i) << page;
      }
    }
  }
  void every_menu_item_shows_its_page() {
    QFETCH(int, menu);
    QFETCH(int, item);
    QFETCH(int, page);
    MainWindow& w = open();
    w.show_page(page == 0 ? 5 : 0);
    QAction* action = menu_item(w, menu, item);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(w.tabs()->currentIndex(), page);
    QVERIFY(desktop.messages.empty());
    QVERIFY(desktop.started.empty());
  }

  void exit_closes_the_window() {
    MainWindow& w = open();
    menu_item(w, 0, 2)->trigger();
    QVERIFY(!w.isVisible());
  }

  void tools_menu_starts_the_tools_from_the_tools_folder() {
#ifdef _WIN32
    QSKIP("the Windows commands are fixed paths");
#else
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tools")));
    MainWindow& w = open();
    w.env().fixed_program_dir = dir.path().toStdString();
    // Nothing there: nothing starts, and a message says so.
    menu_item(w, 7, 0)->trigger();
    QVERIFY(desktop.started.empty());
    QCOMPARE(desktop.captions(), QStringList{QStringLiteral("WINBOX连接器")});

    for (const char* name : {"Tools/winbox", "Tools/hypertrm"}) {
      QFile f(QDir(dir.path()).filePath(QString::fromUtf8(name)));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.close();
      QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
    }
    menu_item(w, 7, 0)->trigger();
    menu_item(w, 7, 1)->trigger();
    QCOMPARE(desktop.started.size(), size_t{2});
    QCOMPARE(desktop.started[0], (Command{QDir(dir.path()).filePath(QStringLiteral("Tools/winbox")), {}}));
    QCOMPARE(desktop.started[1], (Command{QDir(dir.path()).filePath(QStringLiteral("Tools/hypertrm")), {}}));
#endif
  }

  // A missing tool names the files looked for and what to install.
  void a_missing_tool_says_what_to_install_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QStringList>("files");  // in Tools/
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("said");  // "$T" the Tools folder
    const int w = int(Tool::Winbox), t = int(Tool::Terminal), n = int(Tool::Telnet);
    QTest::newRow("winbox: nothing") << w << QStringList{} << QStringLiteral("WINBOX连接器")
                                     << QStringList{"$T/winbox", "$T/Winbox.exe", "sudo apt install wine"};
    QTest::newRow("winbox: no wine") << w << QStringList{"Winbox.exe"} << QStringLiteral("WINBOX连接器")
                                     << QStringList{"找到了 $T/Winbox.exe", "没有安装 wine", "sudo apt install wine"};
    QTest::newRow("terminal") << t << QStringList{} << QStringLiteral("终端连接器")
                              << QStringList{"$T/hypertrm", "x-terminal-emulator", "sudo apt install telnet", "xterm"};
    QTest::newRow("telnet") << n << QStringList{} << QStringLiteral("Telnet")
                            << QStringList{"x-terminal-emulator", "sudo apt install telnet"};
  }
  void a_missing_tool_says_what_to_install() {
#ifdef _WIN32
    QSKIP("the Windows commands are fixed paths");
#else
    QFETCH(int, tool);
    QFETCH(QStringList, files);
    QFETCH(QString, caption);
    QFETCH(QStringList, said);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tools")));
    const QString tools = QDir(dir.path()).filePath(QStringLiteral("Tools"));
    for (const QString& f : files) {
      QFile file(tools + QLatin1Char('/') + f);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // A search path with nothing on it.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()));
    MainWindow& w = open();
    w.env().fixed_program_dir = dir.path().toStdString();
    if (tool == int(Tool::Telnet)) {
      menu_item(w, 7, 2)->trigger();
    } else {
      w.show_page(4);
      const size_t button = tool == int(Tool::Winbox) ? 1 : 2;
      QTest::mouseClick(named<QPushButton>(w.view(4), pages()[4].panel[button]), Qt::LeftButton);
    }
    qputenv("PATH", path);
    QVERIFY(desktop.started.empty());
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, caption);
    QVERIFY(desktop.messages[0].icon == Desktop::Icon::Warning);
    for (QString part : said) {
      part.replace(QStringLiteral("$T"), tools);
      QVERIFY2(desktop.messages[0].text.contains(part), qPrintable(desktop.messages[0].text + " lacks " + part));
    }
#endif
  }

  // Without an announcement the start page is the guide: every task page once,
  // each link opening its page when clicked, and how to run a script.
  void the_start_page_guides_to_every_page() {
    MainWindow& w = open();
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::nullopt);
    auto* view = qobject_cast<QTextBrowser*>(w.start_view());
    QVERIFY(view && view->isVisible());
    const QString text = view->toPlainText();
    for (const QString& part : {QStringLiteral("/import file-name="), QStringLiteral("New Terminal"),
                                QDir::toNativeSeparators(settings_path()), QStringLiteral("log.TXT")}) {
      QVERIFY2(text.contains(part), qPrintable(part));
    }
    struct Link {
      QString href;
      QString text;
      int position;
    };
    std::vector<Link> links;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().isAnchor())
          links.push_back({f.charFormat().anchorHref(), f.text(), f.position() + f.length() / 2});
      }
    }
    QCOMPARE(int(links.size()), 26);
    QSet<int> opened;
    for (const Link& link : links) {
      w.show_page(0);
      QTextCursor at(view->document());
      at.setPosition(link.position);
      view->setTextCursor(at);
      view->ensureCursorVisible();
      const QPoint point = view->cursorRect(at).center();
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
      const int page = w.tabs()->currentIndex();
      QVERIFY2(page > 0, qPrintable(link.href));
      opened.insert(page);
      // The link reads as the menu item that opens the same page.
      bool in_menu = false;
      for (QAction* a : w.menuBar()->findChildren<QAction*>()) {
        in_menu = in_menu || (a->text().endsWith(link.text) && a->menu() == nullptr &&
                              QStringLiteral("page:%1").arg(page) == link.href);
      }
      QVERIFY2(in_menu, qPrintable(link.text));
    }
    QCOMPARE(opened.size(), 26);
    QVERIFY(desktop.opened.isEmpty());
  }

  // The size, the place and the split of a page are those of the last window closed.
  void size_place_and_split_are_remembered() {
    {
      MainWindow& w = open();
      SingleInstance guard;
      QCOMPARE(w.start_up(guard), std::nullopt);
      w.setGeometry(60, 40, 700, 520);
      w.show_page(4);
      QApplication::processEvents();
      auto* split = w.view(4)->findChild<QSplitter*>(QStringLiteral("output-splitter"));
      QVERIFY(split);
      QCOMPARE(split->sizes().value(1), 160);  // the default
      const int total = split->sizes().value(0) + split->sizes().value(1);
      split->setSizes({total - 230, 230});
      QVERIFY(w.close());
      window.reset();
    }
    auto place = appearance::read_window_place(appearance::SettingsFile(settings_path().toStdString()));
    QVERIFY(place);
    QCOMPARE(*place, (appearance::WindowPlace{60, 40, 700, 520, false, 230}));

    MainWindow& w = open();
    QCOMPARE(w.size(), QSize(828, 655));  // until the start-up reads the settings
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::nullopt);
    QCOMPARE(w.geometry(), QRect(60, 40, 700, 520));
    w.show_page(11);
    QApplication::processEvents();
    QCOMPARE(w.view(11)->findChild<QSplitter*>(QStringLiteral("output-splitter"))->sizes().value(1), 230);
    // It stays resizable.
    w.resize(900, 700);
    QCOMPARE(w.size(), QSize(900, 700));
  }

  // The [window] section as a hand may have left it.
  void a_window_section_reads_whole_or_not_at_all_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<bool>("read");
    QTest::newRow("whole") << QByteArray("x=-10\r\ny=5\r\nwidth=700\r\nheight=500\r\nmaximized=1\r\noutput=200")
                           << true;
    QTest::newRow("no output") << QByteArray("x=0\r\ny=0\r\nwidth=700\r\nheight=500") << true;
    QTest::newRow("no height") << QByteArray("x=0\r\ny=0\r\nwidth=700") << false;
    QTest::newRow("not a number") << QByteArray("x=0\r\ny=0\r\nwidth=700px\r\nheight=500") << false;
    QTest::newRow("zero width") << QByteArray("x=0\r\ny=0\r\nwidth=0\r\nheight=500") << false;
  }
  void a_window_section_reads_whole_or_not_at_all() {
    QFETCH(QByteArray, section);
    QFETCH(bool, read);
    QFile f(settings_path());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[window]\r\n" + section + "\r\n");
    f.close();
    auto place = appearance::read_window_place(appearance::SettingsFile(settings_path().toStdString()));
    QCOMPARE(bool(place), read);
    if (QTest::currentDataTag() == QByteArray("whole")) {
      QCOMPARE(*place, (appearance::WindowPlace{-10, 5, 700, 500, true, 200}));
    }
    // A window started over it is never smaller than something usable.
    MainWindow& w = open();
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::nullopt);
    QCOMPARE(w.size(), read ? QSize(700, 500) : QSize(828, 655));
  }

  // The icon, the window class and the desktop entry belong together.
  void icon_and_desktop_entry() {
    MainWindow& w = open();
    const QImage icon = w.windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixelColor(16, 6), QColor(0xb3, 0x20, 0x2a));   // the red ground
    QCOMPARE(icon.pixelColor(26, 19), QColor(0xf6, 0xe7, 0xc8));  // the router's body
    QCOMPARE(icon.pixelColor(1, 1).alpha(), 0);
    QFile entry(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../packaging/rosgen.desktop")));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(QFileInfo(entry.fileName()).completeBaseName(), QGuiApplication::desktopFileName());
    QVERIFY(lines.contains(QStringLiteral("StartupWMClass=") + QCoreApplication::applicationName()));
    QVERIFY(lines.contains(QStringLiteral("Icon=rosgen")));
  }

  // Qt's own buttons speak the program's language when the catalogue is installed.
  void message_box_buttons_read_chinese() {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")))
      QSKIP("qt6-translations-l10n is not installed");
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
  }

  void help_menu_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("press_ok");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<int>("messages");
    const QString contact = QStringLiteral("tencent://message/?uin=10000&Site=rosgen.example.org&Menu=yes");
    QTest::newRow("contribution, OK") << 0 << true << QStringList{contact} << 1;
    QTest::newRow("contribution, Cancel") << 0 << false << QStringList{contact} << 1;
    QTest::newRow("mail") << 2 << true << QStringList{QStringLiteral("mailto:rosgen@example.org")} << 0;
    QTest::newRow("contact") << 3 << true << QStringList{contact} << 0;
    QTest::newRow("web site") << 4 << true << QStringList{QStringLiteral("http://rosgen.example.org")} << 0;
  }
  void help_menu() {
    QFETCH(int, item);
    QFETCH(bool, press_ok);
    QFETCH(QStringList, opened);
    QFETCH(int, messages);
    desktop.press_ok = press_ok;
    MainWindow& w = open();
    menu_item(w, 8, item)->trigger();
    QCOMPARE(desktop.opened, opened);
    QCOMPARE(int(desktop.messages.size()), messages);
    if (messages) {
      QCOMPARE(desktop.messages[0].text,
               QStringLiteral("如果您有新脚本发布请联系作者\r\n\r\n可以通过作者邮箱或者QQ联系\r\n\r\n欢迎来稿!"));
      QCOMPARE(desktop.messages[0].caption, QString());
      QVERIFY(desktop.messages[0].buttons == Desktop::Buttons::OkCancel);
    }
  }

  void about_box() {
    MainWindow& w = open();
    menu_item(w, 8, 5)->trigger();
    QCOMPARE(desktop.abouts.size(), size_t{1});
    QVERIFY(desktop.abouts[0].second.contains(QStringLiteral("rosgen")));
  }

  // The appearance and update items call their part when it is there, and do nothing otherwise.
  void appearance_and_update_items_use_their_hooks() {
    MainWindow& bare = open();
    menu_item(bare, 0, 0)->trigger();
    menu_item(bare, 8, 1)->trigger();
    QVERIFY(desktop.messages.empty() && desktop.started.empty() && desktop.opened.isEmpty());

    QWidget* seen = nullptr;
    hooks.open_appearance = [&](QWidget* owner) {
      calls.push_back("appearance");
      seen = owner;
    };
    hooks.check_update = [&](QWidget*) { calls.push_back("update"); };
    MainWindow& w = open();
    menu_item(w, 0, 0)->trigger();
    menu_item(w, 8, 1)->trigger();
    QCOMPARE(calls, (std::vector<std::string>{"appearance", "update"}));
    QCOMPARE(seen, static_cast<QWidget*>(&w));
  }

  void start_up_runs_its_steps_in_order() {
    hooks.announcement = [&] {
      calls.push_back("announcement");
      return std::string("\xB9\xAB\xB8\xE6\r\nnews");  // "公告" in GBK, then a second line
    };
    hooks.keep_running = [&](QWidget*) {
      calls.push_back("version");
      return true;
    };
    hooks.apply_look = [&](QWidget*) { calls.push_back("look"); };
    MainWindow& w = open();
    w.show_page(4);  // one page already on screen, the others built later
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::nullopt);
    QCOMPARE(calls, (std::vector<std::string>{"announcement", "version", "look"}));
    QCOMPARE(output_box(4)->toPlainText(), QStringLiteral("公告\nnews"));
    // The announcement takes the start page's place.
    QCOMPARE(qobject_cast<QTextBrowser*>(w.start_view())->toPlainText(), QStringLiteral("公告\nnews"));

    // Every output box starts with the announcement, byte for byte.
    for (int i = 1; i < 27; ++i) {
      QCOMPARE(w.form(i).output().bytes(), std::string("\xB9\xAB\xB8\xE6\r\nnews"));
      QCOMPARE(output_box(i)->toPlainText(), QStringLiteral("公告\nnews"));
    }
    // The guard is held: another claim on the title fails.
    SingleInstance other;
    QVERIFY(!other.acquire(kTitle));
    // Page 1's level starts on "请选择等级".
    QCOMPARE(w.form(1).index("组合框_系统_等级"), 0);
    QCOMPARE(named<QComboBox>(w.view(1), "组合框_系统_等级")->currentText(), QStringLiteral("请选择等级"));
  }

  void an_update_ends_the_start_up_before_anything_else() {
    hooks.keep_running = [&](QWidget*) { return false; };
    hooks.apply_look = [&](QWidget*) { calls.push_back("look"); };
    MainWindow& w = open();
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::optional<int>(0));
    QVERIFY(calls.empty());
    SingleInstance other;
    QVERIFY(other.acquire(kTitle));
    QCOMPARE(w.form(1).index("组合框_系统_等级"), -1);
  }

  void a_second_copy_is_refused() {
    SingleInstance first;
    QVERIFY(first.acquire(kTitle));
    MainWindow& w = open();
    SingleInstance guard;
    QCOMPARE(w.start_up(guard), std::optional<int>(0));
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].text,
             QStringLiteral("“") + kTitle + QStringLiteral("”已经在运行中，请不要重复运行！"));
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("rosgen工作室"));
    QVERIFY(desktop.messages[0].icon == Desktop::Icon::Warning);
    QCOMPARE(desktop.messages[0].owner, static_cast<QWidget*>(&w));
    // The initial states are not set.
    QCOMPARE(w.form(1).index("组合框_系统_等级"), -1);
    // Once the first copy is gone, a new start goes through.
    first.release();
    QCOMPARE(open().start_up(guard), std::nullopt);
  }

  // Every declared field, list and button of every page exists under its
  // designer name, showing its declared default.
  void every_declared_item_exists_with_its_default() {
    MainWindow& w = open();
    int fields = 0;
    for (const Page& page : pages()) {
      if (page.output.empty()) continue;
      PageView* view = w.view(page.index);
      QVERIFY(view);
      QVERIFY(named<QPlainTextEdit>(view, page.output));
      for (const std::string& name : page.panel) QVERIFY2(named<QPushButton>(view, name), name.c_str());
      walk(page.items, [&](const Item& item, const std::string&) {
        if (const auto* f = std::get_if<Field>(&item.v)) {
          ++fields;
          QWidget* widget = named<QWidget>(view, f->id);
          QVERIFY2(widget, f->id.c_str());
          QCOMPARE(widget->isEnabled(), f->enabled);
          switch (f->kind) {
            case FieldKind::Edit: QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), q(f->text)); break;
            case FieldKind::Multiline:
              QCOMPARE(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(), lf_only(q(f->text)));
              break;
            case FieldKind::Check:
            case FieldKind::Radio:
              QCOMPARE(qobject_cast<QAbstractButton*>(widget)->text(), q(f->label));
              QCOMPARE(qobject_cast<QAbstractButton*>(widget)->isChecked(), f->checked);
              break;
            case FieldKind::Combo: {
              auto* combo = qobject_cast<QComboBox*>(widget);
              QCOMPARE(combo->count(), int(f->items.size()));
              QCOMPARE(combo->currentIndex(), f->index);
              break;
            }
          }
        } else if (const auto* b = std::get_if<Button>(&item.v)) {
          auto* button = named<QPushButton>(view, b->designer.empty() ? b->id : b->designer);
          QVERIFY2(button, b->id.c_str());
          QCOMPARE(button->text(), q(b->caption));
        } else if (const auto* l = std::get_if<LineList>(&item.v)) {
          auto* tree = named<QTreeWidget>(view, l->id);
          QVERIFY2(tree, l->id.c_str());
          QCOMPARE(tree->columnCount(), int(l->columns.size()));
          for (int c = 0; c < tree->columnCount(); ++c) {
            QCOMPARE(tree->headerItem()->text(c), q(l->columns[size_t(c)].title));
            QCOMPARE(tree->columnWidth(c), l->columns[size_t(c)].width);
          }
        }
      });
    }
    QVERIFY(fields > 0);
  }

  // At 828 x 655 no page needs a horizontal scroll bar and no text is cut.
  void every_page_fits_the_window() {
    MainWindow& w = open();
    for (int i = 1; i < w.page_count(); ++i) {
      w.show_page(i);
      QApplication::processEvents();
      PageView* view = w.view(i);
      auto* scroll = view->upper()->findChild<QScrollArea*>();
      QVERIFY(scroll);
      int needed = scroll->widget()->minimumSizeHint().width();
      QVERIFY2(needed <= scroll->viewport()->width(),
               qPrintable(
                   QStringLiteral("page %1 needs %2 px, has %3").arg(i).arg(needed).arg(scroll->viewport()->width())));
      for (auto* label : view->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap()) continue;
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
      }
      for (auto* button : view->findChildren<QAbstractButton*>()) {
        if (!button->isVisible()) continue;
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
      }
    }
  }

  void a_generate_button_fills_the_output_box() {
    hooks.announcement = [] { return std::string("news"); };
    MainWindow& w = open();
    SingleInstance guard;
    QVERIFY(!w.start_up(guard));
    PageView* view = w.view(1);
    w.show_page(1);
    auto* password = named<QLineEdit>(view, "编辑框_系统_密码");
    password->setFocus();
    QTest::keyClicks(password, "s3cret");
    auto* level = named<QComboBox>(view, "组合框_系统_等级");
    level->setFocus();
    QTest::keyClick(level, Qt::Key_Down);
    QTest::mouseClick(named<QPushButton>(view, "按钮_系统_3x生成"), Qt::LeftButton);
    QCOMPARE(output_box(1)->toPlainText(),
             QStringLiteral(
                 "/ user add name=ketrova5 password=s3cret group=full address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\""));
    QVERIFY(desktop.messages.empty());
  }

  void a_refused_check_leaves_the_output_box_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("presses");  // Down presses on the level combo
    QTest::addColumn<QString>("message");
    QTest::newRow("no password") << QString() << 1 << QStringLiteral("密码不能为空!");
    QTest::newRow("no level") << QStringLiteral("pw") << 0 << QStringLiteral("请选择用户等级!!");
    QTest::newRow("both: password first") << QString() << 0 << QStringLiteral("密码不能为空!");
  }
  void a_refused_check_leaves_the_output_box() {
    QFETCH(QString, password);
    QFETCH(int, presses);
    QFETCH(QString, message);
    hooks.announcement = [] { return std::string("news"); };
    MainWindow& w = open();
    SingleInstance guard;
    QVERIFY(!w.start_up(guard));
    PageView* view = w.view(1);
    w.show_page(1);
    QTest::keyClicks(named<QLineEdit>(view, "编辑框_系统_密码"), password);
    for (int i = 0; i < presses; ++i) QTest::keyClick(named<QComboBox>(view, "组合框_系统_等级"), Qt::Key_Down);
    QTest::mouseClick(named<QPushButton>(view, "按钮_系统_2x生成"), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].text, message);
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("信息："));
    QCOMPARE(output_box(1)->toPlainText(), QStringLiteral("news"));
    QCOMPARE(w.form(1).output().bytes(), std::string("news"));
  }

  // A multi-line page: lines added through the list's buttons, a click fills
  // the fields back, and the script numbers the lines in list order.
  void a_line_list_page_works_through_the_window() {
    MainWindow& w = open();
    w.show_page(6);
    PageView* view = w.view(6);
    auto* tree = named<QTreeWidget>(view, "超级列表框_多线固定IP负载发装列表");
    auto* address = named<QLineEdit>(view, "编辑框_多线固定IP负载均衡_IP地址");
    QVERIFY(tree && address);
    QPushButton* add = named<QPushButton>(view, "add");
    QTest::mouseClick(add, Qt::LeftButton);
    address->selectAll();
    QTest::keyClicks(address, "198.51.100.7");
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("198.51.100.7"));

    QApplication::processEvents();  // the list's rows get their places
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(0)).center());
    QCOMPARE(w.form(6).selected("超级列表框_多线固定IP负载发装列表"), 0);
    QCOMPARE(address->text(), QStringLiteral("203.0.113.2"));

    QTest::mouseClick(named<QPushButton>(view, "按钮_多线固定IP负载均衡_生成2x"), Qt::LeftButton);
    QString script = output_box(6)->toPlainText();
    QVERIFY2(script.contains(QStringLiteral("nth=1,1,0 action=mark-connection new-connection-mark=1")),
             qPrintable(script));
    QVERIFY(script.contains(QStringLiteral("to-addresses=198.51.100.7 to-ports=0-65535 comment=\"2\"")));
    QVERIFY(desktop.messages.empty());
  }

  // Page 11's advanced fields start disabled and follow their three check boxes.
  void page_11_enabling_rules() {
    if (!pages()[11].built()) QSKIP("page 11 is not declared yet");
    MainWindow& w = open();
    SingleInstance guard;
    QVERIFY(!w.start_up(guard));
    PageView* view = w.view(11);
    w.show_page(11);
    const QStringList average = {QStringLiteral("编辑框_平均下载"), QStringLiteral("编辑框_平均上传")};
    const QStringList professional = {QStringLiteral("编辑框_突发下载时间"), QStringLiteral("编辑框_突发上传时间"),
                                      QStringLiteral("编辑框_突发极限下载"), QStringLiteral("编辑框_突发极限上传"),
                                      QStringLiteral("编辑框_普通突发下载"), QStringLiteral("编辑框_普通突发上传"),
                                      QStringLiteral("编辑框_数据包优先极"), QStringLiteral("编辑框_限制IP范围")};
    const QStringList window_fields = {
        QStringLiteral("选择框_星期天"), QStringLiteral("选择框_星期一"),   QStringLiteral("选择框_星期二"),
        QStringLiteral("选择框_星期三"), QStringLiteral("选择框_星期四"),   QStringLiteral("选择框_星期五"),
        QStringLiteral("选择框_星期六"), QStringLiteral("编辑框_开始小时"), QStringLiteral("编辑框_开始分钟"),
        QStringLiteral("编辑框_开始秒"), QStringLiteral("编辑框_结束小时"), QStringLiteral("编辑框_结束分钟"),
        QStringLiteral("编辑框_结束秒")};
    auto enabled = [&](const QStringList& names, bool on) {
      for (const QString& name : names) {
        QWidget* widget = view->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->isEnabled() == on, qPrintable(name + (on ? " should be enabled" : " should be disabled")));
      }
    };
    auto click = [&](const char* name) { QTest::mouseClick(named<QCheckBox>(view, name), Qt::LeftButton); };

    enabled(average + professional + window_fields, false);
    enabled({QStringLiteral("编辑框_IP"), QStringLiteral("编辑框_下载"), QStringLiteral("编辑框_上传")}, true);

    click("选择框_平均速度");
    enabled(average, true);
    enabled(professional, false);
    click("选择框_平均速度");
    enabled(average, false);

    click("选择框_专业限速");
    enabled(average + professional, true);
    click("选择框_平均速度");  // on
    click("选择框_专业限速");  // off: the average fields go too
    enabled(average + professional, false);
    QVERIFY(w.form(11).checked("选择框_平均速度"));

    click("选择框_是否分时间段限速");
    enabled(window_fields, true);
    click("选择框_是否分时间段限速");
    enabled(window_fields, false);
  }
};

ROSGEN_GUI_TEST_MAIN(WindowTest)
#include "window_test.moc"
