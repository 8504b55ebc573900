#include "shell/ui/instance_handoff.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <memory>
#include <unistd.h>

namespace {

struct ServerState {
  QString name;
  std::function<void(const std::string&)> on_options;
  std::unique_ptr<QLocalServer> server;
};
ServerState& State() {
  static ServerState s;
  return s;
}

void OnNewConnection() {
  ServerState& s = State();
  while (QLocalSocket* sock = s.server->nextPendingConnection()) {
    QObject::connect(sock, &QLocalSocket::disconnected, sock, &QObject::deleteLater);
    QObject::connect(sock, &QLocalSocket::readyRead, sock, [sock] {
      if (!sock->canReadLine()) return;
      QByteArray line = sock->readLine(512).trimmed();
      sock->write("ok\n");
      sock->flush();
      // The option text is CP932 bytes, as on the command line.
      if (State().on_options) State().on_options(std::string(line.constData(), static_cast<size_t>(line.size())));
    });
  }
}

bool Listen() {
  ServerState& s = State();
  if (!s.server) {
    s.server = std::make_unique<QLocalServer>();
    s.server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(s.server.get(), &QLocalServer::newConnection, OnNewConnection);
  }
  if (s.server->isListening()) return true;
  if (s.server->listen(s.name)) return true;
  // The name is taken: by a live instance, or by a socket left behind by a crash.
  QLocalSocket probe;
  probe.connectToServer(s.name);
  if (probe.waitForConnected(300)) {
    probe.disconnectFromServer();
    return false;
  }
  QLocalServer::removeServer(s.name);
  return s.server->listen(s.name);
}

}  // namespace

QString InstanceSocketName() {
  QByteArray env = qgetenv("KIVORA_INSTANCE_NAME");
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  return u"Kivora-"_qs + QString::number(getuid());
}

bool HandOffToRunningInstance(const QString& name, const std::string& options, int timeout_ms) {
  QLocalSocket sock;
  sock.connectToServer(name);
  if (!sock.waitForConnected(timeout_ms)) return false;
  QByteArray data(options.data(), static_cast<qsizetype>(options.size()));
  data.replace('\n', ' ');
  data.append('\n');
  sock.write(data);
  if (!sock.waitForBytesWritten(timeout_ms)) return false;
  // Wait for the running instance to acknowledge, so the options are not lost.
  while (!sock.canReadLine())
    if (!sock.waitForReadyRead(timeout_ms)) return false;
  return sock.readLine().startsWith("ok");
}

bool StartInstanceServer(const QString& name, std::function<void(const std::string&)> on_options) {
  State().name = name;
  State().on_options = std::move(on_options);
  return Listen();
}

void RetryListening() {
  if (!State().name.isEmpty()) Listen();
}

void StopInstanceServer() {
  if (State().server) State().server->close();
  State().server.reset();
}
