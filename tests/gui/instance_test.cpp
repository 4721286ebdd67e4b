// Two copies of the real program: the second is refused and ends, and a copy
// that crashed or has run for a long time is handled as it should be.
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/single_instance.h"
#include "gui_support.h"

using rosgen::app::SingleInstance;

namespace {

const QString kTitle =
    QStringLiteral("rosgen(RouterOS 2.9.X/3.X系列通用脚本) V2.2 综合修正版 http://rosgen.example.org");
const QString kShown = QStringLiteral("rosgen-gui: window shown after");

}  // namespace

class InstanceTest : public QObject {
  Q_OBJECT

  QTemporaryDir runtime;

  // A copy of rosgen-gui on the offscreen platform, its dialogs on stderr.
  std::unique_ptr<QProcess> start() {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ROSGEN_GUI_HEADLESS"), QStringLiteral("1"));
    env.insert(QStringLiteral("ROSGEN_GUI_TIMING"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(ROSGEN_GUI_BIN), QStringList{});
    return p;
  }

  // Waits for the copy to show its window; false when it ended or took too long.
  static bool shown(QProcess& p, QString* err = nullptr) {
    QString text;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
      text += QString::fromUtf8(p.readAllStandardError());
      if (text.contains(kShown)) return true;
      if (p.state() == QProcess::NotRunning) break;
      p.waitForReadyRead(200);
    }
    if (err) *err = text;
    return false;
  }

  static void stop(QProcess& p) {
    p.kill();
    p.waitForFinished(5000);
  }

 private slots:
  void initTestCase() {
    QVERIFY(runtime.isValid());
    // The claim name is worked out with this test's environment, as in the copies.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  }

  void a_second_copy_shows_the_message_and_ends() {
    auto first = start();
    QString err;
    QVERIFY2(shown(*first, &err), qPrintable(err));

    auto second = start();
    QVERIFY(second->waitForFinished(20000));
    QString said = QString::fromUtf8(second->readAllStandardError());
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(
        said.contains(QStringLiteral("[rosgen工作室] “") + kTitle + QStringLiteral("”已经在运行中，请不要重复运行！")),
        qPrintable(said));
    QVERIFY2(!said.contains(kShown), "the second copy showed its window");

    // The first copy runs on.
    QCOMPARE(first->state(), QProcess::Running);
    stop(*first);
  }

  void a_crashed_copy_does_not_block_a_new_start() {
    auto first = start();
    QVERIFY(shown(*first));
    QVERIFY(QFile::exists(SingleInstance::claim_name(kTitle)));
    stop(*first);  // killed: nothing is cleaned up
    QVERIFY(QFile::exists(SingleInstance::claim_name(kTitle)));

    auto next = start();
    QString err;
    QVERIFY2(shown(*next, &err), qPrintable(err));
    stop(*next);
  }

  // A first copy that has been running for hours still holds its claim.
  void a_long_running_copy_still_refuses_the_second() {
    auto first = start();
    QVERIFY(shown(*first));
    QFile lock(SingleInstance::claim_name(kTitle));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-6 * 3600), QFileDevice::FileModificationTime));
    lock.close();

    auto second = start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(QString::fromUtf8(second->readAllStandardError()).contains(QStringLiteral("已经在运行中")));
    stop(*first);
  }
};

ROSGEN_GUI_TEST_MAIN(InstanceTest)
#include "instance_test.moc"
