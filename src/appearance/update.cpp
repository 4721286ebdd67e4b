#include "appearance/update.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTimer>
#include <system_error>
#include <vector>

namespace rosgen::appearance {
namespace fs = std::filesystem;
namespace {

QString qpath(const fs::path& p) { return QString::fromStdU16String(p.u16string()); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The dotted parts, each without leading zeros; empty when there is no version.
std::vector<std::string> version_parts(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || (s.front() >= '\t' && s.front() <= '\r'))) s.remove_prefix(1);
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < s.size() && is_digit(s[i])) {
    std::size_t start = i;
    while (i < s.size() && is_digit(s[i])) ++i;
    std::string_view part = s.substr(start, i - start);
    while (part.size() > 1 && part.front() == '0') part.remove_prefix(1);
    parts.emplace_back(part);
    if (i + 1 < s.size() && s[i] == '.' && is_digit(s[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  bool all_zero = true;
  for (const auto& p : parts) all_zero = all_zero && p == "0";
  if (all_zero) parts.clear();
  return parts;
}

// Compares two runs of digits without leading zeros as numbers, however long.
int compare_numbers(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::string download_text(const QUrl& url, DownloadLimits limits) {
  if (!QCoreApplication::instance() || !url.isValid() || url.host().isEmpty()) return {};
  if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) return {};

  QNetworkAccessManager network;
  QNetworkRequest request(url);
  request.setRawHeader("Accept", "*/*");
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  QNetworkReply* reply = network.get(request);

  QByteArray body;
  bool timed_out = false;
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [&] {
    timed_out = true;
    reply->abort();
  });
  QObject::connect(reply, &QNetworkReply::readyRead, [&] {
    auto room = static_cast<qint64>(limits.bytes) - body.size();
    body += reply->read(std::max<qint64>(room, 0));
    if (body.size() >= static_cast<qint64>(limits.bytes)) {
      deadline.stop();
      reply->abort();  // enough: the rest is not read
    }
  });
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  deadline.start(limits.time);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  auto room = static_cast<qint64>(limits.bytes) - body.size();
  if (room > 0 && reply->isOpen()) body += reply->read(room);
  reply->deleteLater();
  if (timed_out) return {};

  auto zero = body.indexOf('\0');
  if (zero >= 0) body.truncate(zero);
  return body.toStdString();
}

VersionCheck check_version(std::string_view server_text, std::string_view built_in) {
  std::vector<std::string> server = version_parts(server_text);
  if (server.empty()) return VersionCheck::kNoVersion;
  std::vector<std::string> own = version_parts(built_in);
  for (std::size_t i = 0; i < std::max(server.size(), own.size()); ++i) {
    int c = compare_numbers(i < server.size() ? server[i] : "0", i < own.size() ? own[i] : "0");
    if (c != 0) return c > 0 ? VersionCheck::kNewer : VersionCheck::kNotNewer;
  }
  return VersionCheck::kNotNewer;
}

std::optional<QUrl> server_address(const std::string& text) {
  QString s = QString::fromStdString(text).trimmed();
  if (s.isEmpty()) return std::nullopt;
  if (!s.contains(QLatin1String("://"))) s.prepend(QLatin1String("http://"));
  QUrl url(s, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
  if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) return std::nullopt;
  return url;
}

QUrl server_file(const QUrl& server, const char* path) {
  QUrl url = server;
  QString base = server.path();
  while (base.endsWith(u'/')) base.chop(1);
  url.setPath(base + QString::fromLatin1(path));
  url.setQuery(QString());
  url.setFragment(QString());
  return url;
}

std::optional<fs::path> find_updater(const fs::path& program_dir) {
#ifdef _WIN32
  const char* names[] = {"UPDATE.exe"};
#else
  const char* names[] = {"UPDATE", "update"};
#endif
  for (const char* name : names) {
    fs::path candidate = program_dir / name;
    QFileInfo info(qpath(candidate));
    if (info.isFile() && info.isExecutable()) return candidate;
  }
  return std::nullopt;
}

bool start_detached(const QString& program, const QStringList& arguments, const QString& folder) {
  return QProcess::startDetached(program, arguments, folder);
}

bool start_updater(const fs::path& program_dir, const QUrl& update_list, const StartFn& start) {
  QStringList arguments{update_list.toString(QUrl::FullyEncoded)};
  if (auto updater = find_updater(program_dir)) return start(qpath(*updater), arguments, qpath(program_dir));
#ifdef _WIN32
  // Windows also looks along the search path, as a bare program name does there.
  return start(QStringLiteral("UPDATE.exe"), arguments, qpath(program_dir));
#else
  return false;
#endif
}

}  // namespace rosgen::appearance
