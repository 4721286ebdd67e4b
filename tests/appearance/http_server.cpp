#include "http_server.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace rosgen::test {

class HttpWorker : public QObject {
 public:
  explicit HttpWorker(HttpServer& owner) : owner_(owner) {}

  quint16 listen() {
    server_ = new QTcpServer(this);
    if (!server_->listen(QHostAddress(QHostAddress::LocalHost), 0)) return 0;
    connect(server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
    return server_->serverPort();
  }

 private:
  void serve(QTcpSocket* socket) {
    auto* head = new QByteArray;
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, [head] { delete head; });
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
      if (head->contains("\r\n\r\n")) return;  // answered or silent already
      *head += socket->readAll();
      auto end = head->indexOf("\r\n\r\n");
      if (end < 0) return;
      owner_.record(head->left(end));
      QByteArray line = head->left(head->indexOf("\r\n"));
      QList<QByteArray> words = line.split(' ');
      QString path = words.size() > 1 ? QString::fromLatin1(words[1]) : QString();
      HttpServer::Reply reply = owner_.reply_for(path);
      if (reply.silent) return;
      socket->write(reply.raw);
      socket->disconnectFromHost();
    });
  }

  HttpServer& owner_;
  QTcpServer* server_ = nullptr;
};

HttpServer::Reply HttpServer::ok(const QByteArray& body, int status) {
  QByteArray reason = status == 200 ? "OK" : "Error";
  QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + " " + reason + "\r\nContent-Type: text/plain\r\n" +
                   "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  return Reply{raw, false};
}

HttpServer::HttpServer() {
  worker_ = new HttpWorker(*this);
  worker_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
  QMetaObject::invokeMethod(
      worker_, [this] { port_ = worker_->listen(); }, Qt::BlockingQueuedConnection);
}

HttpServer::~HttpServer() {
  thread_.quit();
  thread_.wait();
}

void HttpServer::route(const QString& path, Reply reply) {
  QMutexLocker lock(&mutex_);
  routes_[path] = std::move(reply);
}

QUrl HttpServer::base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_)); }

QStringList HttpServer::requests() const {
  QMutexLocker lock(&mutex_);
  return requests_;
}

HttpServer::Reply HttpServer::reply_for(const QString& path) {
  QMutexLocker lock(&mutex_);
  auto it = routes_.find(path);
  if (it != routes_.end()) return *it;
  return ok("<html><body><h1>404 Not Found</h1></body></html>", 404);
}

void HttpServer::record(const QByteArray& head) {
  QMutexLocker lock(&mutex_);
  requests_ << QString::fromLatin1(head);
}

quint16 HttpServer::closed_port() {
  QTcpServer probe;
  probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
  quint16 port = probe.serverPort();
  probe.close();
  return port;
}

}  // namespace rosgen::test
