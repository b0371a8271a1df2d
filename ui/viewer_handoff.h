// One viewer window per user: the first viewer launch listens on a local socket in the
// user's runtime folder (which only the user can reach); a later launch hands its request
// (a few texts) to it instead of opening a window of its own, and ends. Nothing is shared
// between users: without a private runtime folder there is no socket and every launch
// opens its own window.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;

namespace verko {

class ViewerHandoff : public QObject {
 public:
  explicit ViewerHandoff(QObject* parent = nullptr) : QObject(parent) {}

  // The socket's path in the user's runtime folder; empty when there is no runtime folder
  // owned by the user and closed to everyone else.
  static QString SocketPath();
  // Hands `texts` to the viewer listening at `socketPath`; true once it has taken them
  // (within a few seconds), false when none listens or it did not answer.
  static bool HandOver(const QString& socketPath, const QStringList& texts);

  // Listens at `socketPath` (a socket left by a viewer that ended is replaced); each set of
  // texts received is given to `receive`, which returns whether it took them. False when
  // it cannot listen.
  bool Listen(const QString& socketPath, std::function<bool(const QStringList&)> receive);

 private:
  void Answer();

  QLocalServer* server_ = nullptr;
  std::function<bool(const QStringList&)> receive_;
};

}  // namespace verko
