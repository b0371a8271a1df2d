#include "ui/viewer_handoff.h"

#include <unistd.h>

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace verko {
namespace {

constexpr int kAnswerTimeoutMs = 5000;
constexpr quint32 kMagic = 0x56524b31;  // "VRK1"

}  // namespace

QString ViewerHandoff::SocketPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return QString();
  const QFileInfo info(folder);
  // Only a folder of the user's own that nobody else may enter keeps the socket private.
  const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                          QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::WriteOther | QFileDevice::ExeOther;
  if (!info.isDir() || info.ownerId() != ::getuid() || (info.permissions() & others)) {
    return QString();
  }
  return QDir(folder).filePath(QStringLiteral("verko-viewer"));
}

bool ViewerHandoff::HandOver(const QString& socketPath, const QStringList& texts) {
  if (socketPath.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(kAnswerTimeoutMs)) return false;
  QByteArray message;
  QDataStream out(&message, QIODevice::WriteOnly);
  out << kMagic << texts;
  socket.write(message);
  if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) return false;
  // The viewer answers once it has shown the report.
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(kAnswerTimeoutMs)) return false;
  }
  return socket.read(1) == "1";
}

bool ViewerHandoff::Listen(const QString& socketPath,
                           std::function<bool(const QStringList&)> receive) {
  if (socketPath.isEmpty()) return false;
  receive_ = std::move(receive);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(socketPath)) {
    // A socket left behind by a viewer that ended: nobody answered on it (HandOver failed).
    QLocalServer::removeServer(socketPath);
    if (!server_->listen(socketPath)) return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &ViewerHandoff::Answer);
  return true;
}

void ViewerHandoff::Answer() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      QDataStream in(socket);
      in.startTransaction();
      quint32 magic = 0;
      QStringList texts;
      in >> magic >> texts;
      if (!in.commitTransaction()) return;  // the rest is still on its way
      const bool taken = magic == kMagic && receive_ && receive_(texts);
      socket->write(taken ? "1" : "0");
      socket->flush();
    });
  }
}

}  // namespace verko
