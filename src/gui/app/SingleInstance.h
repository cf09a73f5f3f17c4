#pragma once

#include "core/ipc/OpenRequest.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace korvex {

// One running program per user: the first start listens on a local socket
// that only its user may reach; a later start hands its files to it and ends.
// A message that is malformed, too big or too slow is dropped unanswered.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Named after the user and the display; in the user's runtime folder
    // when there is one, which nobody else can enter.
    static QString defaultServerName();

    // Sends the request to the program listening on `serverName` and waits
    // for its confirmation, at most `timeoutMs` in all. False when nobody
    // listens, nobody answers in time or the request cannot be sent: the
    // caller then starts normally.
    static bool handOver(const QString& serverName, const OpenRequest& request, int timeoutMs = 3000);

    explicit SingleInstance(const QString& serverName, QObject* parent = nullptr);

    // Starts listening, taking over a socket left by a program that crashed
    // or stopped answering. False when the socket cannot be made.
    bool listen();
    QString serverName() const { return serverName_; }

    // How long a sender may take to deliver one message.
    static constexpr int receiveTimeoutMs = 3000;

signals:
    void openRequested(const korvex::OpenRequest& request);

private:
    void acceptConnection();

    QString serverName_;
    QLocalServer server_;
};

}  // namespace korvex
