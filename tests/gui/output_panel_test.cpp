// The output panel on the real pages: copying the output box to the
// clipboard, saving it to a file, and where the launchers look for their
// programs.
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include "app/launch.h"
#include "app/main_window.h"
#include "app/output_panel.h"
#include "app/page_view.h"
#include "gui_support.h"
#include "pages/registry.h"

using namespace rosgen;
using namespace rosgen::app;
using rosgen::test::FakeDesktop;
using rosgen::test::named;

namespace {

// A script of about 34 KB with Chinese comments and CR LF line ends.
Gbk long_script() {
  std::string out;
  for (int i = 0; out.size() < 34 * 1024; ++i) {
    out += "/ ip firewall filter add chain=forward src-address=192.168.0." + std::to_string(i % 254 + 1) +
           " action=drop comment=\"\\B6\\A8\\CA\\B1\" \xB7\xE2\xCB\xF8\r\n";  // ends with "封锁" in GBK
  }
  return Gbk::from_bytes(out);
}

QByteArray read_file(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

void write_file(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

// Writes bigger than `bytes` fail while it lives, as on a full disk; root included.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*old_signal_)(int) = nullptr;
};

void make_file(const QString& path, bool runs) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.close();
  if (runs) QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
}

}  // namespace

class OutputPanelTest : public QObject {
  Q_OBJECT

  FakeDesktop desktop;
  std::unique_ptr<MainWindow> window;

  PageView* page(int index) { return window->view(index); }
  QPushButton* copy_button(int index) { return named<QPushButton>(page(index), pages()[size_t(index)].panel[0]); }

 private slots:
  void init() {
    desktop = FakeDesktop();
    window = std::make_unique<MainWindow>(desktop, StartupHooks{}, pages());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  }
  void cleanup() { window.reset(); }

  void copy_puts_the_whole_text_on_the_clipboard_data() {
    QTest::addColumn<QByteArray>("output");  // GBK bytes
    QTest::newRow("34 KB script") << QByteArray::fromStdString(long_script().bytes());
    QTest::newRow("no line end") << QByteArray("/ user add name=a");
    QTest::newRow("blanks kept") << QByteArray("  x  \r\n\r\n");
  }
  void copy_puts_the_whole_text_on_the_clipboard() {
    QFETCH(QByteArray, output);
    window->form(23).set_output(Gbk::from_bytes(output.toStdString()));
    window->show_page(23);
    QTest::mouseClick(copy_button(23), Qt::LeftButton);
    QString expected = QString::fromStdString(to_utf8(Gbk::from_bytes(output.toStdString())));
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(QGuiApplication::clipboard()->text().size(), expected.size());
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("恭喜!"));
    QCOMPARE(desktop.messages[0].text, copy_success_text());
    QVERIFY(desktop.messages[0].icon == Desktop::Icon::None);
    QVERIFY(desktop.messages[0].buttons == Desktop::Buttons::Ok);
    // The box is not changed by copying.
    QCOMPARE(window->form(23).output().bytes(), output.toStdString());
  }

  // An empty or blank box has nothing to copy or save: it says so, and the clipboard and disk are left alone.
  void nothing_to_copy_or_save_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("caption");
    const QString copy = QString::fromStdString(pages()[23].panel[0]);
    QTest::newRow("copy, empty") << copy << QByteArray() << QStringLiteral("复制生成脚本");
    QTest::newRow("copy, blanks") << copy << QByteArray(" \r\n\t") << QStringLiteral("复制生成脚本");
    QTest::newRow("save, empty") << QStringLiteral("save-script") << QByteArray() << QStringLiteral("保存脚本");
    QTest::newRow("save, blanks") << QStringLiteral("save-script") << QByteArray("\r\n\r\n")
                                  << QStringLiteral("保存脚本");
  }
  void nothing_to_copy_or_save() {
    QFETCH(QString, button);
    QFETCH(QByteArray, output);
    QFETCH(QString, caption);
    window->form(23).set_output(Gbk::from_bytes(output.toStdString()));
    window->show_page(23);
    desktop.save_answer = Desktop::SaveAnswer{QStringLiteral("/nonexistent/x.rsc"), 0};
    QTest::mouseClick(named<QPushButton>(page(23), button.toStdString()), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, caption);
    QVERIFY2(desktop.messages[0].text.contains(QStringLiteral("输出框是空的")), qPrintable(desktop.messages[0].text));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    QVERIFY(desktop.saves.empty());
  }

  // The file holds the box in the chosen encoding, every line ending in CR LF, replacing what was there.
  void save_writes_the_box_data() {
    QTest::addColumn<QByteArray>("output");  // GBK bytes
    QTest::addColumn<int>("type");           // 0 GBK, 1 UTF-8
    QTest::addColumn<QByteArray>("file");
    const QByteArray gbk = "/ip address\r\n# \xB7\xE2\xCB\xF8\r\n";  // "封锁" in GBK
    QTest::newRow("GBK as generated") << gbk << 0 << gbk;
    QTest::newRow("GBK, 34 KB") << QByteArray::fromStdString(long_script().bytes()) << 0
                                << QByteArray::fromStdString(long_script().bytes());
    QTest::newRow("GBK, lone LF and CR") << QByteArray("a\nb\rc\r\n\n") << 0 << QByteArray("a\r\nb\r\nc\r\n\r\n");
    QTest::newRow("UTF-8") << gbk + "x\n" << 1 << QStringLiteral("/ip address\r\n# 封锁\r\nx\r\n").toUtf8();
  }
  void save_writes_the_box() {
    QFETCH(QByteArray, output);
    QFETCH(int, type);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("router.rsc"));
    write_file(path, "old contents, longer than some of the new ones\r\n");
    window->form(4).set_output(Gbk::from_bytes(output.toStdString()));
    window->show_page(4);
    desktop.save_answer = Desktop::SaveAnswer{path, type};
    QTest::mouseClick(named<QPushButton>(page(4), "save-script"), Qt::LeftButton);
    QVERIFY2(desktop.messages.empty(), desktop.messages.empty() ? "" : qPrintable(desktop.messages[0].text));
    QCOMPARE(read_file(path), file);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("router.rsc")});
    QCOMPARE(window->form(4).output().bytes(), output.toStdString());  // the box itself is left as it was
    // The status line says where it went.
    QVERIFY2(window->statusBar()->currentMessage().contains(QDir::toNativeSeparators(path)),
             qPrintable(window->statusBar()->currentMessage()));
    // The next save starts in the folder of this one.
    QTest::mouseClick(named<QPushButton>(page(4), "save-script"), Qt::LeftButton);
    QCOMPARE(desktop.saves.size(), size_t{2});
    QCOMPARE(QFileInfo(desktop.saves[1].proposed).absolutePath(), QFileInfo(path).absolutePath());
  }

  // A write that fails says why and leaves the old file whole, with no stray file beside it.
  void a_failed_save_leaves_the_old_file_data() {
    QTest::addColumn<bool>("disk_full");
    QTest::addColumn<QString>("target");  // in the temporary folder
    QTest::newRow("disk full") << true << QStringLiteral("old.rsc");
    QTest::newRow("no such folder") << false << QStringLiteral("missing/old.rsc");
  }
  void a_failed_save_leaves_the_old_file() {
    QFETCH(bool, disk_full);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.rsc"));
    write_file(old, "/old\r\n");
    const QString path = dir.filePath(target);
    window->form(4).set_output(long_script());
    window->show_page(4);
    desktop.save_answer = Desktop::SaveAnswer{path, 0};
    {
      std::optional<FileSizeLimit> limit;
      if (disk_full) limit.emplace(4096);
      QTest::mouseClick(named<QPushButton>(page(4), "save-script"), Qt::LeftButton);
    }
    QCOMPARE(desktop.messages.size(), size_t{1});
    const auto& said = desktop.messages[0];
    QCOMPARE(said.caption, QStringLiteral("保存脚本"));
    QVERIFY(said.icon == Desktop::Icon::Error);
    QVERIFY2(said.text.contains(QDir::toNativeSeparators(path)) && said.text.contains(QStringLiteral("原因：")),
             qPrintable(said.text));
    QVERIFY2(!said.text.endsWith(QStringLiteral("原因：")), "a reason is given");
    QCOMPARE(read_file(old), QByteArray("/old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.rsc")});
  }

  // A box holding what GBK cannot hold is never saved as GBK: the first such character is named
  // and UTF-8 offered; taking it saves the box as typed, declining saves nothing.
  void gbk_refuses_what_it_cannot_hold_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");  // in the message
    QTest::addColumn<bool>("take_utf8");
    QTest::newRow("emoji, taken") << QStringLiteral("/ip address\n# 路由 😀 ok")
                                  << QStringLiteral("第2行的字符“😀”（U+1F600）") << true;
    QTest::newRow("Arabic, declined") << QStringLiteral("# ع") << QStringLiteral("第1行的字符“ع”（U+0639）") << false;
  }
  void gbk_refuses_what_it_cannot_hold() {
    QFETCH(QString, typed);
    QFETCH(QString, said);
    QFETCH(bool, take_utf8);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("router.rsc"));
    window->show_page(4);
    QPlainTextEdit* box = page(4)->panel()->output_box();
    box->setPlainText(typed);
    desktop.save_answer = Desktop::SaveAnswer{path, 0};  // GBK chosen
    desktop.press_ok = take_utf8;
    QTest::mouseClick(named<QPushButton>(page(4), "save-script"), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    QVERIFY2(desktop.messages[0].text.contains(said) && desktop.messages[0].text.contains(QStringLiteral("UTF-8")),
             qPrintable(desktop.messages[0].text));
    QVERIFY(desktop.messages[0].buttons == Desktop::Buttons::OkCancel);
    if (take_utf8) {
      QCOMPARE(read_file(path), typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    } else {
      QVERIFY(!QFile::exists(path));
    }
  }

  // Ctrl+S saves the page shown, proposing a name of the page and the minute in the home folder.
  void ctrl_s_proposes_a_dated_name() {
    QCOMPARE(script_file_name("pppoe-server", QDateTime(QDate(2024, 1, 31), QTime(9, 5, 59))),
             QStringLiteral("pppoe-server-20240131-0905.rsc"));
    window->form(11).set_output(to_gbk("/queue simple print"));
    window->show_page(11);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QDateTime before = QDateTime::currentDateTime();
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(desktop.saves.size(), size_t{1});
    const auto& asked = desktop.saves[0];
    QCOMPARE(asked.caption, QStringLiteral("保存脚本"));
    QCOMPARE(asked.types,
             (QStringList{QStringLiteral("RouterOS 脚本 GBK (*.rsc)"), QStringLiteral("RouterOS 脚本 UTF-8 (*.rsc)")}));
    QCOMPARE(QFileInfo(asked.proposed).absolutePath(), QDir::homePath());
    const QString name = QFileInfo(asked.proposed).fileName();
    QVERIFY2(name == script_file_name(pages()[11].slug, before) || name == script_file_name(pages()[11].slug, after),
             qPrintable(name));
    QVERIFY(desktop.messages.empty());  // cancelled: nothing written, nothing said
  }

  // However the box's text is copied by hand, its lines end in CR LF as the copy button gives them.
  void a_copy_made_in_the_box_has_cr_lf_data() {
    QTest::addColumn<bool>("by_menu");
    QTest::newRow("Ctrl+C") << false;
    QTest::newRow("context menu") << true;
  }
  void a_copy_made_in_the_box_has_cr_lf() {
    QFETCH(bool, by_menu);
    window->form(4).set_output(to_gbk("/ip\r\n# 封锁\r\n/system"));
    window->show_page(4);
    QPlainTextEdit* box = page(4)->panel()->output_box();
    page(4)->panel()->flush();
    box->setFocus();
    box->selectAll();
    if (by_menu) {
      std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
      auto* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"));
      QVERIFY(copy);
      copy->trigger();
    } else {
      QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/ip\r\n# 封锁\r\n/system"));
  }

  // Enter on a focused button presses it, as Space does.
  void enter_presses_a_focused_button_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
  }
  void enter_presses_a_focused_button() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    window->form(23).set_output(to_gbk("/ppp profile print"));
    window->show_page(23);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QPushButton* button = copy_button(23);
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(desktop.captions(), QStringList{QStringLiteral("恭喜!")});
    // Ctrl+Enter is not a press.
    QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(desktop.messages.size(), size_t{1});
  }

  void the_success_message_reads_as_written() {
    QCOMPARE(
        copy_success_text(),
        QStringLiteral("复制成功!\r\n\r\n使用方法:\r\n\r\n方法一:请打开winbox下的New "
                       "Terminal右键选择paste粘贴后回车!  (推荐使用)\r\n\r\n方法二:请打开winbox后进入System后选择"
                       "Scripts,点击号,将刚才复制的脚本粘贴到Source里面后确定.\r\n回到Scripts窗口后选中您刚才添加的"
                       "脚本后点击Run Script运行你所选择的脚本，操作完毕！\r\n\r\n方法三:使用超级终端或telnet连接路由"
                       "器后指复制的脚本粘贴运行即可！（注：路由器需开启相应端口，否则将无法连接！）"));
    QCOMPARE(copy_failure_text(), QStringLiteral("复制失败!\r\n\r\n请检查你的程序是否玩整！"));
  }

  // Each copy button takes its own page's box.
  void copy_takes_its_own_page() {
    for (int i = 1; i < 27; ++i) window->form(i).set_output(to_gbk("page " + std::to_string(i)));
    for (int i : {1, 4, 11, 23, 25}) {
      window->show_page(i);
      QTest::mouseClick(copy_button(i), Qt::LeftButton);
      QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("page %1").arg(i));
    }
  }

  // What was typed into the box is what gets copied, with CR LF line ends.
  void copy_takes_what_was_typed_into_the_box() {
    window->show_page(4);
    auto* box = named<QPlainTextEdit>(page(4), pages()[4].output);
    box->setFocus();
    QTest::keyClicks(box, "/ip");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "/system");
    QTest::mouseClick(copy_button(4), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/ip\r\n/system"));
    // Characters GBK has not are copied as typed, not as the Form's "?".
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QStringLiteral(" # 😀 ع"));  // as an input method or a paste puts it
    QTest::mouseClick(copy_button(4), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/ip\r\n/system # 😀 ع"));
  }

  void a_generated_script_is_copied_byte_for_byte() {
    window->show_page(4);
    QTest::mouseClick(named<QPushButton>(page(4), "按钮_安装_生成3x"), Qt::LeftButton);
    QString script = QString::fromStdString(to_utf8(window->form(4).output()));
    QVERIFY(script.contains(QStringLiteral("\r\n")));
    QTest::mouseClick(copy_button(4), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), script);
  }

  void tool_commands_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QStringList>("files");    // in Tools/, executable unless marked "!"
    QTest::addColumn<QStringList>("on_path");  // programs the search finds
    QTest::addColumn<QStringList>("command");  // program and arguments, "$T" the Tools folder; empty: none
    const QStringList none;
    const QStringList desktop_tools = {QStringLiteral("x-terminal-emulator"), QStringLiteral("telnet"),
                                       QStringLiteral("wine")};
    auto w = int(Tool::Winbox);
    auto t = int(Tool::Terminal);
    auto n = int(Tool::Telnet);
    QTest::newRow("winbox: native first")
        << w << QStringList{"winbox", "Winbox.exe"} << desktop_tools << QStringList{"$T/winbox"};
    QTest::newRow("winbox: through wine")
        << w << QStringList{"Winbox.exe"} << desktop_tools << QStringList{"/usr/bin/wine", "$T/Winbox.exe"};
    QTest::newRow("winbox: no wine") << w << QStringList{"Winbox.exe"} << none << none;
    QTest::newRow("winbox: nothing") << w << none << desktop_tools << none;
    QTest::newRow("winbox: cannot run") << w << QStringList{"winbox!"} << desktop_tools << none;
    QTest::newRow("terminal: own first") << t << QStringList{"hypertrm"} << desktop_tools << QStringList{"$T/hypertrm"};
    QTest::newRow("terminal: desktop telnet")
        << t << none << desktop_tools << QStringList{"/usr/bin/x-terminal-emulator", "-e", "/usr/bin/telnet"};
    QTest::newRow("terminal: no telnet") << t << none << QStringList{"x-terminal-emulator"} << none;
    QTest::newRow("terminal: no terminal") << t << none << QStringList{"telnet"} << none;
    QTest::newRow("telnet") << n << QStringList{"hypertrm"} << desktop_tools
                            << QStringList{"/usr/bin/x-terminal-emulator", "-e", "/usr/bin/telnet"};
    QTest::newRow("telnet: nothing") << n << none << none << none;
  }
  void tool_commands() {
#ifdef _WIN32
    QSKIP("Windows starts the fixed paths");
#else
    QFETCH(int, tool);
    QFETCH(QStringList, files);
    QFETCH(QStringList, on_path);
    QFETCH(QStringList, command);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Tools"));
    const QString tools = QDir(dir.path()).filePath(QStringLiteral("Tools"));
    for (QString f : files) {
      bool runs = !f.endsWith(QLatin1Char('!'));
      f.remove(QLatin1Char('!'));
      make_file(tools + QLatin1Char('/') + f, runs);
    }
    auto find = [&](const QString& name) {
      return on_path.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    };
    auto got = tool_command(static_cast<Tool>(tool), dir.path(), find);
    if (command.isEmpty()) {
      QVERIFY(!got);
      return;
    }
    QVERIFY(got);
    command.replaceInStrings(QStringLiteral("$T"), tools);
    QCOMPARE(QStringList{got->program} + got->args, command);
#endif
  }

  // A fresh page marks nothing: its defaults are the program's own.
  void no_page_starts_with_a_marked_field() {
    for (const Page& p : pages()) {
      if (p.index == 0) continue;
      window->show_page(p.index);
      for (QWidget* w : page(p.index)->findChildren<QWidget*>()) {
        QVERIFY2(!w->property("valueWarning").toBool(),
                 qPrintable(QString::fromStdString(p.slug) + " " + w->objectName()));
      }
    }
  }

  // A field whose value would break the script is framed while typing; a press that
  // wrote a script names it under the output box, and the next clean press clears that.
  void field_warnings_mark_and_list() {
    window->show_page(4);
    auto* gateway = named<QLineEdit>(page(4), "编辑框_安装_外网网关ip");
    QVERIFY(gateway);
    QVERIFY(!gateway->property("valueWarning").toBool());
    gateway->selectAll();
    QTest::keyClick(gateway, Qt::Key_Delete);
    QVERIFY(gateway->property("valueWarning").toBool());
    QCOMPARE(gateway->toolTip(), QStringLiteral("不能为空"));
    QLabel* line = page(4)->panel()->warning_line();
    QVERIFY(line->isHidden());
    QTest::mouseClick(named<QPushButton>(page(4), "按钮_安装_生成3x"), Qt::LeftButton);
    QVERIFY(!line->isHidden());
    QCOMPARE(line->text(), QStringLiteral("1 个字段的值可能导致脚本出错：外网网关IP — 不能为空"));
    QVERIFY(desktop.messages.empty());  // never a message box: it does not stop the press
    QTest::keyClicks(gateway, QStringLiteral("203.0.113.1"));
    QVERIFY(!gateway->property("valueWarning").toBool());
    QVERIFY(gateway->toolTip().isEmpty());
    QTest::mouseClick(named<QPushButton>(page(4), "按钮_安装_生成3x"), Qt::LeftButton);
    QVERIFY(line->isHidden());
  }

  // A refused press clears the last press's warnings before its message shows, keeps the
  // box as it was, and says under the box that no script was made, and why. The warnings
  // are those of the pressed button's dialect.
  void refused_press_clears_warnings_and_says_so() {
    struct Watching : FakeDesktop {
      QLabel* line = nullptr;
      bool line_shown_at_message = false;
      bool message(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override {
        if (line) line_shown_at_message = line_shown_at_message || !line->isHidden();
        return FakeDesktop::message(owner, text, caption, icon, buttons);
      }
    } watching;
    MainWindow own(watching, StartupHooks{}, pages());
    own.show_page(1);
    PageView* users = own.view(1);
    auto* name = named<QLineEdit>(users, "编辑框_系统_用户名");
    auto* password = named<QLineEdit>(users, "编辑框_系统_密码");
    QLabel* warnings = users->panel()->warning_line();
    QLabel* status = users->panel()->status_line();
    watching.line = warnings;
    auto press = [&](const char* button) {
      QPushButton* b = users->findChild<QPushButton*>(QString::fromUtf8(button));
      if (!b) {
        for (auto* candidate : users->findChildren<QPushButton*>())
          if (candidate->property("buttonId").toString() == QString::fromUtf8(button)) b = candidate;
      }
      QVERIFY2(b, button);
      QTest::mouseClick(b, Qt::LeftButton);
    };

    auto erase = [](QLineEdit* e) {
      e->selectAll();
      QTest::keyClick(e, Qt::Key_Delete);
    };
    own.form(1).set_index("组合框_系统_等级", 1);
    erase(name);
    QTest::keyClicks(name, QStringLiteral("my admin"));  // 3.x writes the name without quotes
    QTest::keyClicks(password, QStringLiteral("s3cret"));
    press("gen-3x");
    QVERIFY(!warnings->isHidden());
    QVERIFY2(warnings->text().contains(QStringLiteral("用户名")), qPrintable(warnings->text()));
    QVERIFY(status->isHidden());
    const Gbk written = own.form(1).output();

    erase(password);
    press("gen-3x");
    QCOMPARE(watching.captions(), QStringList{QStringLiteral("信息：")});
    QVERIFY(!watching.line_shown_at_message);
    QVERIFY(warnings->isHidden());
    QVERIFY(!status->isHidden());
    QCOMPARE(status->text(), QStringLiteral("没有生成新脚本：密码不能为空!　输出框中仍是之前的内容。"));
    QCOMPARE(own.form(1).output(), written);

    // RouterOS 7 quotes the name: nothing to warn of, and the refusal is gone with the press.
    QTest::keyClicks(password, QStringLiteral("s3cret"));
    press("gen-7x");
    QVERIFY(warnings->isHidden());
    QVERIFY(status->isHidden());
    QVERIFY(own.form(1).output() != written);
  }

  // The check marks the lines with findings and lists them, and never touches the text.
  void check_button_marks_and_lists_findings_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("marked");  // 0-based lines
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("clean") << QStringLiteral(
                                  "/ip dns set servers=1.1.1.1\r\n/ip address add address=10.0.0.1/24 interface=bridge")
                           << QList<int>{} << QStringList{QStringLiteral("默认配置"), QStringLiteral("没有发现问题")};
    // Checked on the default configuration, in Chinese: ether1 has no longer a default route.
    QTest::newRow("meaning") << QStringLiteral(
                                    "/ip dhcp-client remove [find interface=ether1]\r\n/interface ethernet set bridge "
                                    "arp=reply-only")
                             << QList<int>{0, 1}
                             << QStringList{QStringLiteral("默认配置"), QStringLiteral("第1行"),
                                            QStringLiteral("默认路由"), QStringLiteral("第2行"),
                                            QStringLiteral("没有这一项")};
    QTest::newRow("3.x lines") << QStringLiteral(
                                      "/ip address add address=10.0.0.1/24 interface=ether1\r\n/ip dns set "
                                      "primary-dns=1.1.1.1\r\n/ip adress print")
                               << QList<int>{1, 2}
                               << QStringList{QStringLiteral("第2行"), QStringLiteral("未知的参数 'primary-dns'"),
                                              QStringLiteral("第3行")};
    QTest::newRow("unclosed quote") << QStringLiteral("/system identity set name=\"ros") << QList<int>{0}
                                    << QStringList{QStringLiteral("第1行")};
  }
  // A script from a 2.9.x/3.x button is checked too, but the check says first that it is for RouterOS 7.
  void check_says_it_is_for_routeros_7_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("note");
    QTest::newRow("3.x") << QStringLiteral("按钮_安装_生成3x") << true;
    QTest::newRow("2.9.x") << QStringLiteral("按钮_安装_生成2x") << true;
    QTest::newRow("7.x") << QStringLiteral("gen-7x") << false;
  }
  void check_says_it_is_for_routeros_7() {
    QFETCH(QString, button);
    QFETCH(bool, note);
    window->show_page(4);
    QTest::mouseClick(named<QPushButton>(page(4), button.toStdString()), Qt::LeftButton);
    desktop.messages.clear();
    QTest::mouseClick(named<QPushButton>(page(4), "check-script"), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].text.startsWith(QStringLiteral("注意：这项检查针对 RouterOS 7")), note);
  }

  void check_button_marks_and_lists_findings() {
    QFETCH(QString, script);
    QFETCH(QList<int>, marked);
    QFETCH(QStringList, listed);
    const Gbk bytes = to_gbk(script.toStdString());
    window->form(4).set_output(bytes);
    window->show_page(4);
    QTest::mouseClick(named<QPushButton>(page(4), "check-script"), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("检查脚本"));
    for (const QString& part : listed)
      QVERIFY2(desktop.messages[0].text.contains(part), qPrintable(desktop.messages[0].text));
    QPlainTextEdit* box = page(4)->panel()->output_box();
    QList<int> lines;
    for (const auto& sel : box->extraSelections()) lines << sel.cursor.blockNumber();
    QCOMPARE(lines, marked);
    QCOMPARE(window->form(4).output(), bytes);
    // Typing into the box drops the marks: they belong to the text that was checked.
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral(" "));
    QVERIFY(box->extraSelections().isEmpty());
  }
};

ROSGEN_GUI_TEST_MAIN(OutputPanelTest)
#include "output_panel_test.moc"
