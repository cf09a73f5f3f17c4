#include "gui/app/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <future>

namespace korvex {
namespace {

// The sending side runs on its own thread, as a second program would, while
// this thread's event loop lets the receiving side work.
template <typename F>
auto whileServing(F send)
{
    auto result = std::async(std::launch::async, send);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return result.get();
}

// Sends raw bytes and answers whether anything came back before the
// receiver hung up.
bool sendRaw(const QString& name, const QByteArray& bytes)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(bytes);
    socket.waitForBytesWritten(1000);
    socket.waitForReadyRead(1500);
    return socket.bytesAvailable() > 0;
}

QByteArray header(std::uint32_t length)
{
    QByteArray h("KVXO\x01", 5);
    for (int shift = 24; shift >= 0; shift -= 8)
        h.append(char(length >> shift));
    return h;
}

struct Listening {
    QTemporaryDir dir;
    QString name = dir.filePath(QStringLiteral("instance"));
    SingleInstance instance{name};
    QSignalSpy requests{&instance, &SingleInstance::openRequested};
};

TEST(SingleInstanceTest, HandsTheFilesToTheRunningProgram)
{
    Listening running;
    ASSERT_TRUE(running.instance.listen());
    OpenRequest request;
    request.documents = {"/photos/a.mpo", "/photos/b c.jpg"};
    request.left = "/photos/l.jpg";
    request.right = "/photos/r.jpg";

    EXPECT_TRUE(whileServing([&] { return SingleInstance::handOver(running.name, request); }));
    ASSERT_EQ(running.requests.count(), 1);
    EXPECT_EQ(running.requests.at(0).at(0).value<OpenRequest>(), request);

    // No files: the running program is asked for a new window.
    EXPECT_TRUE(whileServing([&] { return SingleInstance::handOver(running.name, OpenRequest{}); }));
    ASSERT_EQ(running.requests.count(), 2);
    EXPECT_EQ(running.requests.at(1).at(0).value<OpenRequest>(), OpenRequest{});
}

TEST(SingleInstanceTest, IgnoresMalformedAndOversizedMessages)
{
    Listening running;
    ASSERT_TRUE(running.instance.listen());
    const QByteArray bad[] = {
        QByteArray("GET / HTTP/1.1\r\n\r\n"),
        header(6) + QByteArray("Drel/x"),                       // a relative path
        header(7) + QByteArray("Q/x.jpg"),                      // an unknown kind
        header(3) + QByteArray("D/xTRAILING"),                  // more than announced
        header(0xffffffffu),                                    // announces 4 GB
        header(std::uint32_t(openRequest::maxPayload + 1)) + QByteArray(70000, 'D'),
    };
    for (const QByteArray& bytes : bad)
        EXPECT_FALSE(whileServing([&] { return sendRaw(running.name, bytes); })) << bytes.left(20).toStdString();
    EXPECT_EQ(running.requests.count(), 0);

    // The program still takes a proper request afterwards.
    OpenRequest request;
    request.documents = {"/x.jps"};
    EXPECT_TRUE(whileServing([&] { return SingleInstance::handOver(running.name, request); }));
    EXPECT_EQ(running.requests.count(), 1);
}

TEST(SingleInstanceTest, StartsAloneWhenNobodyAnswers)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("instance"));
    // Nobody listens at all.
    EXPECT_FALSE(SingleInstance::handOver(name, OpenRequest{}, 500));

    // A program that accepts the connection but hangs.
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(name));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(whileServing([&] { return SingleInstance::handOver(name, OpenRequest{}, 400); }));
    EXPECT_LT(clock.elapsed(), 3000);

    // A request that may not cross is not sent.
    OpenRequest relative;
    relative.documents = {"relative.jpg"};
    EXPECT_FALSE(SingleInstance::handOver(name, relative, 400));
}

TEST(SingleInstanceTest, ListensForItsUserOnlyAndTakesOverAStaleSocket)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("instance"));
    {
        QFile stale(name);  // left behind by a program that crashed
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance instance(name);
    ASSERT_TRUE(instance.listen());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFileInfo(name).permissions() & others, QFile::Permissions());
    EXPECT_TRUE(QFileInfo(name).permissions() & QFile::WriteOwner);

    const QString standard = SingleInstance::defaultServerName();
    EXPECT_TRUE(standard.contains(QString::number(::getuid())));
}

}  // namespace
}  // namespace korvex
