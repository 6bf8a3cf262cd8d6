#include "app/handover.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include "app/startup.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

const QByteArray kRequest = "velnor-front\n";
const QByteArray kAnswer = "ok\n";

}  // namespace

QString handoverSocketFor(const QString& programFolder) {
  QString path = lockFilePathFor(programFolder);
  path.chop(QStringLiteral(".lock").size());
  return path + u".socket"_s;
}

HandoverServer::HandoverServer(const QString& programFolder, std::function<void()> bringToFront)
    : bringToFront_(std::move(bringToFront)) {
  const QString name = handoverSocketFor(programFolder);
  // Only the holder of the lock gets here: a socket still there is a crashed copy's.
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(name);
  connect(&server_, &QLocalServer::newConnection, this, &HandoverServer::answer);
}

void HandoverServer::answer() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      if (socket->readLine() == kRequest) {
        bringToFront_();
        socket->write(kAnswer);
        socket->flush();
      }
      socket->disconnectFromServer();
    });
  }
}

bool handOverToRunningCopy(const QString& programFolder, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(handoverSocketFor(programFolder));
    if (socket.waitForConnected(int(deadline.remainingTime()))) break;
    // A copy that took the folder a moment ago may not listen yet.
    if (deadline.hasExpired()) return false;
    QThread::msleep(25);
  }
  socket.write(kRequest);
  if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
  QByteArray reply;
  while (!reply.endsWith('\n') && socket.waitForReadyRead(int(deadline.remainingTime())))
    reply += socket.readAll();
  return reply == kAnswer;
}

void bringProgramToFront(QWidget* inputScreen) {
  QWidget* modal = QApplication::activeModalWidget();
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w != inputScreen && w != modal && !w->windowFlags().testFlag(Qt::Popup))
      windows << w;
  // Raised in this order, the last one ends on top and takes the keys.
  for (QWidget* w : {inputScreen, modal})
    if (w && w->isVisible()) windows << w;
  for (QWidget* w : windows) {
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->raise();
  }
  if (!windows.isEmpty()) windows.last()->activateWindow();
}

}  // namespace velnor
