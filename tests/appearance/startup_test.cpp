// Start-up steps 2 to 4 in the real window: the announcement, the version
// check and the saved look, against an update server on 127.0.0.1; then the
// real program as a process of its own.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/appearance_hooks.h"
#include "gui_support.h"
#include "http_server.h"
#include "pages/registry.h"
#include "script/product.h"
#include "support.h"

namespace rosgen::appearance {
namespace {

using app::Command;
using app::MainWindow;
using app::SingleInstance;
using test::HttpServer;
using test::ProgramDir;
namespace fs = std::filesystem;

const QString kTitle = QString::fromUtf8(product::kTitle);
const Gbk kNews = to_gbk("公告：1.1.0.4 版已发布\r\n详见网站");

// The engine module beside a program folder: the built one itself, so the
// process loads one module however many folders a run makes.
void add_engine(const ProgramDir& program) {
  std::error_code ec;
  fs::path module = skin_module_path(test::kBinDir);
  fs::create_symlink(module, skin_module_path(program.path()), ec);
  if (ec) fs::copy_file(module, skin_module_path(program.path()));
}

class Startup : public ::testing::Test {
 protected:
  QTemporaryDir runtime;  // single-instance claims of these tests only
  HttpServer server;
  ProgramDir program;
  ProgramDir user;
  test::FakeDesktop desktop;
  std::unique_ptr<MainWindow> window;

  void SetUp() override {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    program.copy_skins();
    add_engine(program);
    program.add_updater();
    program.write_settings("[update]\r\nserver=" + server.base().toString().toStdString() + "\r\n");
    server.route(kAnnouncementPath, HttpServer::ok(QByteArray::fromStdString(kNews.bytes())));
  }

  std::optional<int> start(SingleInstance& guard) {
    HookOptions o;
    o.program_dir = program.path();
    o.user_config_dir = user.path();
    o.message = [this](QWidget* owner, const QString& caption, const QString& text, Icon icon) {
      desktop.message(owner, text, caption,
                      icon == Icon::Warning ? app::Desktop::Icon::Warning : app::Desktop::Icon::None,
                      app::Desktop::Buttons::Ok);
    };
    o.start = [this](const QString& program, const QStringList& arguments, const QString&) {
      desktop.start({program, arguments});
      return true;
    };
    o.limits.time = std::chrono::milliseconds(1500);
    window = std::make_unique<MainWindow>(desktop, app::startup_hooks(make_hooks(o)), pages());
    return window->start_up(guard);
  }

  bool other_copy_refused() {
    SingleInstance other;
    return !other.acquire(kTitle);
  }
};

TEST_F(Startup, AnnouncementInEveryOutputBoxThenTheSavedLook) {
  server.route(kVersionPath, HttpServer::ok("1.1.0.3\r\n"));
  SingleInstance guard;
  EXPECT_EQ(start(guard), std::nullopt);
  int boxes = 0;
  for (int i = 0; i < window->page_count(); ++i) {
    if (window->form(i).page().output.empty()) continue;
    ++boxes;
    EXPECT_EQ(window->form(i).output(), kNews) << window->form(i).page().slug;
  }
  EXPECT_EQ(boxes, 26);
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(qApp->styleSheet().contains(QLatin1String("QMenuBar"))) << "china.she, with no settings saved";
  EXPECT_TRUE(other_copy_refused());
}

TEST_F(Startup, NoVersionWarnsAndGoesOn) {
  server.route(kVersionPath, HttpServer::ok("<html><body>404 Not Found</body></html>", 404));
  SingleInstance guard;
  EXPECT_EQ(start(guard), std::nullopt);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].caption, QStringLiteral("网络故障"));
  EXPECT_EQ(desktop.messages[0].text, QStringLiteral("软件无法检测最新版本信息。请检查您的网络连接。"));
  EXPECT_EQ(desktop.messages[0].icon, app::Desktop::Icon::Warning);
  EXPECT_EQ(desktop.messages[0].owner, window.get());
  // The rest of the start-up ran all the same.
  EXPECT_EQ(window->form(11).output(), kNews);
  EXPECT_FALSE(qApp->styleSheet().isEmpty());
  EXPECT_TRUE(other_copy_refused());
  EXPECT_EQ(window->form(1).index("组合框_系统_等级"), 0);
  EXPECT_FALSE(window->form(11).enabled("编辑框_平均下载"));
}

TEST_F(Startup, NewerVersionStartsTheUpdaterAndEnds) {
  server.route(kVersionPath, HttpServer::ok("1.1.0.10"));
  program.write_settings("[update]\r\nserver=" + server.base().toString().toStdString() +
                         "\r\n[skin]\r\nskinname=ink.she\r\n");
  SingleInstance guard;
  EXPECT_EQ(start(guard), std::optional<int>(0));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].caption, QStringLiteral("有可用更新"));
  ASSERT_EQ(desktop.started.size(), 1u);
  EXPECT_EQ(desktop.started[0], (Command{QString::fromStdString((program / "UPDATE").string()),
                                         {server.base().toString() + QStringLiteral("/ros/uplist.txt")}}));
  // Nothing after the check: no look, no claim.
  EXPECT_FALSE(qApp->styleSheet().contains(QLatin1String("#2b2d31"))) << "ink.she was applied";
  EXPECT_FALSE(other_copy_refused());
}

TEST_F(Startup, MenuItemsOpenTheAppearanceWindowAndStartTheUpdater) {
  server.route(kVersionPath, HttpServer::ok("1.1.0.3"));
  SingleInstance guard;
  ASSERT_EQ(start(guard), std::nullopt);
  auto trigger = [&](const char* text) {
    for (QAction* a : window->findChildren<QAction*>()) {
      if (a->text() == QString::fromUtf8(text)) return a->trigger();
    }
    ADD_FAILURE() << "no menu item " << text;
  };
  trigger("&U.检查更新");
  ASSERT_EQ(desktop.started.size(), 1u);
  EXPECT_EQ(desktop.started[0].args, QStringList{server.base().toString() + QStringLiteral("/ros/uplist.txt")});

  // The window is modal: look for it from inside its own event loop, then close it.
  QWidget* opened = nullptr;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && w->objectName() == QStringLiteral("外观配置")) {
        opened = w;
        EXPECT_EQ(w->windowTitle(), QStringLiteral("外观配置"));
        EXPECT_EQ(w->parentWidget(), window.get());
        w->close();
      }
    }
  });
  poll.start(20);
  QTimer::singleShot(5000, &poll, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();  // never hang the suite
  });
  trigger("&S 外观配置");
  EXPECT_TRUE(opened);
}

// The real program, copied into a folder of its own with its settings.
class Program : public ::testing::Test {
 protected:
  QTemporaryDir runtime;
  HttpServer server;
  ProgramDir program;

  void SetUp() override {
    fs::copy_file(test::kBinDir / "rosgen-gui", program / "rosgen-gui");
    program.add_updater();
  }

  QProcess* run(const QUrl& update_server) {
    program.write_settings("[update]\r\nserver=" + update_server.toString().toStdString() + "\r\n");
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ROSGEN_GUI_HEADLESS"), QStringLiteral("1"));
    env.insert(QStringLiteral("ROSGEN_GUI_TIMING"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.path());
    p->setProcessEnvironment(env);
    p->start(QString::fromStdString((program / "rosgen-gui").string()), QStringList{});
    return p;
  }
};

TEST_F(Program, NewerVersionEndsWithZeroAfterStartingTheUpdater) {
  server.route(kVersionPath, HttpServer::ok("1.2"));
  std::unique_ptr<QProcess> p(run(server.base()));
  ASSERT_TRUE(p->waitForFinished(20000));
  QString said = QString::fromUtf8(p->readAllStandardError());
  EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p->exitCode(), 0);
  EXPECT_TRUE(said.contains(QStringLiteral("[有可用更新] 本软件已经有更新，此版本停止使用。点击\"是\"下载最新版本。")))
      << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("[start] ") + QString::fromStdString((program / "UPDATE").string()) +
                            QStringLiteral(" ") + server.base().toString() + QStringLiteral("/ros/uplist.txt")))
      << said.toStdString();
  EXPECT_FALSE(said.contains(QStringLiteral("window shown"))) << said.toStdString();
}

TEST_F(Program, NoNetworkWarnsAndShowsTheWindow) {
  std::unique_ptr<QProcess> p(run(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(HttpServer::closed_port()))));
  QString said;
  QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired() && !said.contains(QStringLiteral("window shown")) &&
         p->state() != QProcess::NotRunning) {
    p->waitForReadyRead(200);
    said += QString::fromUtf8(p->readAllStandardError());
  }
  EXPECT_TRUE(said.contains(QStringLiteral("[网络故障] 软件无法检测最新版本信息。请检查您的网络连接。")))
      << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("window shown"))) << said.toStdString();
  p->kill();
  p->waitForFinished(5000);
}

}  // namespace
}  // namespace rosgen::appearance
