#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "appearance/hooks.h"
#include "appearance/update.h"
#include "http_server.h"
#include "script/gbk.h"
#include "support.h"

namespace rosgen::appearance {
namespace {

using test::HttpServer;
using test::ProgramDir;
using test::read_file;

TEST(Version, ComparesPartByPartAsNumbers) {
  struct Case {
    const char* server;
    VersionCheck expected;
  } cases[] = {
      {"1.1.0.3", VersionCheck::kNotNewer},
      {"1.1.0.3\r\n", VersionCheck::kNotNewer},
      {"1.1.0.4", VersionCheck::kNewer},
      {"1.2", VersionCheck::kNewer},
      {"1.1.0.10", VersionCheck::kNewer},
      {"1.1.0.3.1", VersionCheck::kNewer},
      {"01.01.00.04", VersionCheck::kNewer},
      {"  \t1.1.0.4", VersionCheck::kNewer},
      {"99999999999999999999999.0", VersionCheck::kNewer},
      {"1.1", VersionCheck::kNotNewer},
      {"1.1.0.2", VersionCheck::kNotNewer},
      {"0.0.1", VersionCheck::kNotNewer},
      {"1.1.0.3abc", VersionCheck::kNotNewer},
      {"1.1..4", VersionCheck::kNotNewer},  // reading stops at the empty part
      {"", VersionCheck::kNoVersion},
      {"0.0.0.0", VersionCheck::kNoVersion},
      {"v1.2", VersionCheck::kNoVersion},
      {"-1.2", VersionCheck::kNoVersion},
      {"<html><body>404</body></html>", VersionCheck::kNoVersion},
  };
  for (const auto& c : cases) EXPECT_EQ(check_version(c.server), c.expected) << '"' << c.server << '"';
}

TEST(Version, UpdateServerAddress) {
  struct Case {
    const char* setting;
    const char* version_file;  // empty: no server
  } cases[] = {
      {"http://updates.example.net:8080", "http://updates.example.net:8080/ros/ver.txt"},
      {"  http://updates.example.net:8080/  ", "http://updates.example.net:8080/ros/ver.txt"},
      {"updates.example.net", "http://updates.example.net/ros/ver.txt"},
      {"https://h/mirror/", "https://h/mirror/ros/ver.txt"},
      {"http://h/base?x=1#top", "http://h/base/ros/ver.txt"},
      {"", ""},
      {"   ", ""},
      {"ftp://h", ""},
      {"http://", ""},
      {"file:///etc/passwd", ""},
  };
  for (const auto& c : cases) {
    auto server = server_address(c.setting);
    EXPECT_EQ(server ? server_file(*server, kVersionPath).toString().toStdString() : "", c.version_file) << c.setting;
  }
}

// Downloads against a real server on 127.0.0.1.
class Download : public ::testing::Test {
 protected:
  HttpServer server;
  std::string get(const char* path, DownloadLimits limits = {}) {
    return download_text(server_file(server.base(), path), limits);
  }
};

TEST_F(Download, AsksForTheFileAndTakesTheBodyAsItIs) {
  struct Case {
    const char* what;
    HttpServer::Reply reply;
    std::string expected;
  } cases[] = {
      {"text", HttpServer::ok("1.1.0.4\r\n"), "1.1.0.4\r\n"},
      {"GBK bytes untouched", HttpServer::ok("\xB9\xAB\xB8\xE6\r\nline 2"), "\xB9\xAB\xB8\xE6\r\nline 2"},
      {"cut at the first zero byte", HttpServer::ok(QByteArray("1.2\0garbage", 11)), "1.2"},
      {"empty", HttpServer::ok(""), ""},
      {"error page is a body too", HttpServer::ok("<html>gone</html>", 404), "<html>gone</html>"},
      {"server error", HttpServer::ok("busy", 500), "busy"},
      {"answer without length, ended by closing",
       HttpServer::Reply{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n1.1.0.9", false}, "1.1.0.9"},
  };
  for (const auto& c : cases) {
    server.route(kVersionPath, c.reply);
    EXPECT_EQ(get(kVersionPath), c.expected) << c.what;
  }
  QStringList requests = server.requests();
  ASSERT_FALSE(requests.isEmpty());
  EXPECT_TRUE(requests.last().startsWith(QLatin1String("GET /ros/ver.txt HTTP/1."))) << requests.last().toStdString();
  EXPECT_TRUE(requests.last().contains(QLatin1String("\r\nAccept: */*"))) << requests.last().toStdString();
}

TEST_F(Download, RefusedConnectionGivesNothing) {
  QUrl closed(QStringLiteral("http://127.0.0.1:%1/ros/ver.txt").arg(HttpServer::closed_port()));
  EXPECT_EQ(download_text(closed), "");
}

TEST_F(Download, ServerThatNeverAnswersIsLeftAfterFiveSeconds) {
  server.route(kVersionPath, HttpServer::Reply{{}, true});
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(get(kVersionPath), "");
  EXPECT_GE(clock.elapsed(), 4500);
  EXPECT_LT(clock.elapsed(), 8000);
}

TEST_F(Download, ReadsAtMostOneMebibyte) {
  QByteArray huge(5 << 20, 'x');
  huge.replace(0, 8, "1.1.0.4 ");
  server.route(kAnnouncementPath, HttpServer::ok(huge));
  QElapsedTimer clock;
  clock.start();
  std::string body = get(kAnnouncementPath);
  EXPECT_EQ(body.size(), std::size_t{1} << 20);
  EXPECT_EQ(body.substr(0, 8), "1.1.0.4 ");
  EXPECT_LT(clock.elapsed(), 4000);
}

// The start-up hooks with a program folder of their own.
class Hooks : public ::testing::Test {
 protected:
  struct Shown {
    QString caption;
    QString text;
    Icon icon;
  };

  HttpServer server;
  ProgramDir program;
  ProgramDir user;
  std::vector<Shown> shown;

  appearance::Hooks hooks(DownloadLimits limits = {}) {
    HookOptions o;
    o.program_dir = program.path();
    o.user_config_dir = user.path();
    o.message = [this](QWidget*, const QString& caption, const QString& text, Icon icon) {
      shown.push_back({caption, text, icon});
    };
    o.limits = limits;
    return make_hooks(o);
  }

  void use_server(const QUrl& base) {
    program.write_settings("[update]\r\nserver=" + base.toString().toStdString() + "\r\n");
  }

  // The updater's arguments, once it has run; waits a little, as it runs on its own.
  std::string updater_arguments(int wait_ms) {
    for (int waited = 0; waited < wait_ms && !std::filesystem::exists(program.updater_record()); waited += 50) {
      QTest::qWait(50);
    }
    return std::filesystem::exists(program.updater_record()) ? read_file(program.updater_record()) : "";
  }
};

TEST_F(Hooks, VersionCheckAtStart) {
  const QString warning = QStringLiteral("网络故障|软件无法检测最新版本信息。请检查您的网络连接。");
  const QString update = QStringLiteral("有可用更新|本软件已经有更新，此版本停止使用。点击\"是\"下载最新版本。");
  QByteArray big(5 << 20, ' ');
  big.replace(0, 7, "1.1.0.4");
  struct Case {
    const char* what;
    HttpServer::Reply reply;  // silent without raw: the port is closed
    bool refused;
    QString message;  // caption|text, empty for none
    bool keep_running;
  } cases[] = {
      {"same version", HttpServer::ok("1.1.0.3\r\n"), false, {}, true},
      {"newer", HttpServer::ok("1.1.0.4"), false, update, false},
      {"older", HttpServer::ok("1.1.0.2"), false, {}, true},
      {"1.2 is newer than 1.1.0.3", HttpServer::ok("1.2"), false, update, false},
      {"empty", HttpServer::ok(""), false, warning, true},
      {"zeros", HttpServer::ok("0.0.0.0"), false, warning, true},
      {"HTML error page", HttpServer::ok("<html><h1>Not Found</h1></html>", 404), false, warning, true},
      {"refused port", {}, true, warning, true},
      {"never answers", HttpServer::Reply{{}, true}, false, warning, true},
      {"5 MiB body", HttpServer::ok(big), false, update, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(program.updater_record());
    program.add_updater();
    shown.clear();
    server.route(kVersionPath, c.reply);
    use_server(c.refused ? QUrl(QStringLiteral("http://127.0.0.1:%1").arg(HttpServer::closed_port())) : server.base());

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(hooks({std::chrono::milliseconds(1500), 1u << 20}).keep_running(nullptr), c.keep_running);
    EXPECT_LT(clock.elapsed(), 3000);

    if (c.message.isEmpty()) {
      EXPECT_TRUE(shown.empty());
    } else {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].caption + u'|' + shown[0].text, c.message);
      EXPECT_EQ(shown[0].icon, Icon::Warning);
    }
    std::string expected_arguments =
        c.keep_running ? "" : server_file(server.base(), kUpdateListPath).toString().toStdString() + "\n";
    EXPECT_EQ(updater_arguments(c.keep_running ? 300 : 5000), expected_arguments);
  }
}

TEST_F(Hooks, NewerVersionWithoutUpdaterStillStops) {
  server.route(kVersionPath, HttpServer::ok("9.0"));
  use_server(server.base());
  EXPECT_FALSE(hooks().keep_running(nullptr));
  ASSERT_EQ(shown.size(), 1u);
}

TEST_F(Hooks, UpdaterByItsLowerCaseName) {
  program.add_updater("update");
  use_server(server.base());
  hooks().check_update(nullptr);
  EXPECT_EQ(updater_arguments(5000), server_file(server.base(), kUpdateListPath).toString().toStdString() + "\n");
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(server.requests().isEmpty()) << "the menu item only starts the updater";
}

TEST_F(Hooks, AnnouncementIsTheBodyAsItIs) {
  QByteArray body("\xD0\xC2\xB0\xE6\xB7\xA2\xB2\xBC\r\nok");
  body.append('\0').append("tail");
  server.route(kAnnouncementPath, HttpServer::ok(body));
  use_server(server.base());
  EXPECT_EQ(to_utf8(Gbk::from_bytes(hooks().announcement())), "新版发布\r\nok");
  server.route(kAnnouncementPath, {{}, true});
  EXPECT_EQ(hooks({std::chrono::milliseconds(300), 1u << 20}).announcement(), "");
}

TEST_F(Hooks, NoServerMeansNoCheckAndNoAnnouncement) {
  program.add_updater();
  auto h = hooks();
  EXPECT_EQ(h.announcement(), "");
  EXPECT_TRUE(h.keep_running(nullptr));
  EXPECT_TRUE(shown.empty());
  h.check_update(nullptr);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, QStringLiteral("检查更新"));
  EXPECT_EQ(updater_arguments(300), "");
  EXPECT_TRUE(server.requests().isEmpty());
}

}  // namespace
}  // namespace rosgen::appearance
