// A small HTTP server on 127.0.0.1 for the update tests, running on a thread
// of its own so that the program's waiting for an answer cannot block it.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QUrl>

namespace rosgen::test {

class HttpServer {
 public:
  struct Reply {
    QByteArray raw;       // the whole response, status line and headers included
    bool silent = false;  // accept and never answer
  };
  static Reply ok(const QByteArray& body, int status = 200);

  HttpServer();
  ~HttpServer();

  void route(const QString& path, Reply reply);
  QUrl base() const;  // http://127.0.0.1:PORT
  quint16 port() const { return port_; }
  // Every request received so far, head only (request line and headers).
  QStringList requests() const;

  // A port on 127.0.0.1 nobody listens on.
  static quint16 closed_port();

 private:
  friend class HttpWorker;
  Reply reply_for(const QString& path);
  void record(const QByteArray& head);

  QThread thread_;
  class HttpWorker* worker_ = nullptr;
  quint16 port_ = 0;
  mutable QMutex mutex_;
  QMap<QString, Reply> routes_;
  QStringList requests_;
};

}  // namespace rosgen::test
