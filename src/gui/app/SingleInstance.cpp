#include "gui/app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

#include <span>

namespace korvex {

namespace {

// The one byte that confirms a request was taken.
constexpr char confirmation = 'K';

std::span<const std::uint8_t> bytesOf(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

}  // namespace

QString SingleInstance::defaultServerName()
{
    // One per display as well: the windows must appear where the user started the program.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    for (QChar& c : display)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    const QString name = QStringLiteral("korvex-instance-%1-%2").arg(::getuid()).arg(display);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(name);
    return name;
}

bool SingleInstance::handOver(const QString& serverName, const OpenRequest& request, int timeoutMs)
{
    const std::vector<std::uint8_t> message = encodeOpenRequest(request);
    if (message.empty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(reinterpret_cast<const char*>(message.data()), qint64(message.size()));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    // A program that hangs never confirms; then this one starts on its own.
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    char reply = 0;
    return socket.getChar(&reply) && reply == confirmation;
}

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent), serverName_(serverName)
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

bool SingleInstance::listen()
{
    if (server_.listen(serverName_))
        return true;
    // Nobody confirmed a hand-over before this start listened: whatever holds
    // the name is gone or does not answer.
    if (server_.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(serverName_);
    return server_.listen(serverName_);
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Never hold more than the largest message plus the byte that proves it too long.
        socket->setReadBufferSize(qint64(openRequest::headerSize + openRequest::maxPayload + 1));
        auto* received = new QByteArray;
        connect(socket, &QObject::destroyed, this, [received] { delete received; });
        QTimer::singleShot(receiveTimeoutMs, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            switch (openRequestState(bytesOf(*received))) {
            case OpenRequestState::NeedMore:
                return;
            case OpenRequestState::Malformed:
                socket->abort();
                return;
            case OpenRequestState::Complete:
                break;
            }
            const std::optional<OpenRequest> request = decodeOpenRequest(bytesOf(*received));
            if (!request) {
                socket->abort();
                return;
            }
            socket->write(&confirmation, 1);
            socket->flush();
            socket->disconnectFromServer();
            emit openRequested(*request);
        });
    }
}

}  // namespace korvex
