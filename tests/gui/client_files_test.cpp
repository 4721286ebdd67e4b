// The client files of the WireGuard page in the window: the panel's button shows when a press
// made them, the dialog shows each file with its QR code, and saves either owner-only. Debian's
// zbarimg reads a saved QR code back to the file's text.
#include <sys/stat.h>

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "app/output_panel.h"
#include "app/page_view.h"
#include "gui_support.h"
#include "pages/registry.h"

using namespace rosgen;
using namespace rosgen::app;
using namespace rosgen::test;

namespace {

QPushButton* button(QWidget* view, const QString& id) {
  for (auto* b : view->findChildren<QPushButton*>()) {
    if (b->property("buttonId").toString() == id) return b;
  }
  return nullptr;
}

}  // namespace

class ClientFilesTest : public QObject {
  Q_OBJECT

  FakeDesktop desktop;
  std::unique_ptr<MainWindow> window;
  const int wg = find_page("wireguard")->index;

 private slots:
  void init() {
    desktop = FakeDesktop();
    window = std::make_unique<MainWindow>(desktop, StartupHooks{}, pages());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() { window.reset(); }

  void files_are_shown_and_saved_for_their_owner() {
    window->show_page(wg);
    PageView* view = window->view(wg);
    QPushButton* files = view->panel()->files_button();
    QVERIFY(files->isHidden());
    QTest::mouseClick(button(view, QStringLiteral("gen-7x")), Qt::LeftButton);  // no client yet: refused
    QCOMPARE(desktop.messages.size(), size_t{1});
    QVERIFY(files->isHidden());

    for (const char* name : {"phone", "laptop"}) {
      auto* edit = named<QLineEdit>(view, "编辑框_WG_客户端名称");
      edit->clear();
      QTest::keyClicks(edit, QString::fromUtf8(name));
      QTest::mouseClick(button(view, QStringLiteral("add")), Qt::LeftButton);
    }
    QTest::mouseClick(button(view, QStringLiteral("gen-7x")), Qt::LeftButton);
    QCOMPARE(desktop.messages.size(), size_t{1});
    const std::vector<OutputFile> made = window->form(wg).files();
    QCOMPARE(made.size(), size_t{2});
    QVERIFY(files->isVisibleTo(view));
    QCOMPARE(files->text(), QStringLiteral("客户端文件(2)"));
    QVERIFY(window->view(4)->panel()->files_button()->isHidden());

    QTest::mouseClick(files, Qt::LeftButton);
    auto* dialog = window->findChild<QDialog*>(QStringLiteral("client-files-dialog"));
    QVERIFY(dialog && !dialog->isHidden());
    auto* tabs = dialog->findChild<QTabWidget*>();
    QCOMPARE(tabs->count(), 2);
    QWidget* tab = tabs->widget(1);
    QCOMPARE(tabs->tabText(1), QStringLiteral("laptop.conf"));
    QCOMPARE(named<QPlainTextEdit>(tab, "client-file-text")->toPlainText().toStdString(), made[1].text);
    QVERIFY(!named<QLabel>(tab, "client-file-qr")->pixmap().isNull());

    QTemporaryDir dir;
    for (const char* which : {"save-client-file", "save-client-qr"}) {
      const QString path = dir.filePath(QString::fromUtf8(which));
      desktop.save_answer = Desktop::SaveAnswer{path, 0};
      QTest::mouseClick(named<QPushButton>(tab, which), Qt::LeftButton);
      struct stat st {};
      QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
      QCOMPARE(st.st_mode & 0777, 0600u);
    }
    QCOMPARE(desktop.saves[0].proposed, QDir::home().filePath(QStringLiteral("laptop.conf")));
    QCOMPARE(desktop.saves[1].proposed, QFileInfo(dir.path()).absoluteFilePath() + QStringLiteral("/laptop.png"));
    QFile text(dir.filePath(QStringLiteral("save-client-file")));
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll().toStdString(), made[1].text);
    QProcess zbar;
    // QR codes only: a random image may also look like a one-dimensional barcode to zbar.
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                                           QStringLiteral("-Sdisable"), QStringLiteral("-Sqrcode.enable"),
                                           QStringLiteral("-Sbinary"), dir.filePath(QStringLiteral("save-client-qr"))});
    QVERIFY(zbar.waitForFinished(20000));
    QCOMPARE(zbar.readAllStandardOutput().toStdString(), made[1].text);
    QCOMPARE(desktop.messages.size(), size_t{1});
  }
};

ROSGEN_GUI_TEST_MAIN(ClientFilesTest)
#include "client_files_test.moc"
