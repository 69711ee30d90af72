#pragma once

// Shared helpers for the test programs.

#include "form/queryform.h"
#include "ui/notify.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <functional>

namespace testsupport {

// Renders bytes with NUL shown as "~" so failures read like the console.
QByteArray Tilde(QByteArray bytes);

// Every text empty, every flag clear, Oneway, "Request recordsets only".
QueryForm EmptyForm();
// EmptyForm() with the given change.
QueryForm Form(const std::function<void(QueryForm &)> &change);

// Records message boxes and beeps instead of showing them, for its lifetime.
class NotifierRecorder : public Notifier
{
public:
    NotifierRecorder();
    ~NotifierRecorder() override;
    void messageBox(QWidget *parent, const QString &text) override;
    void beep() override;

    QStringList messages;
    int beeps = 0;

private:
    Notifier *m_previous;
};

// Points the settings store at a file in a fresh temporary folder.
class TempSettings
{
public:
    TempSettings();
    ~TempSettings();
    QString path() const;

private:
    QTemporaryDir m_dir;
};

// The NUL-terminated fields of one request, up to its closing empty field.
QByteArrayList Fields(const QByteArray &request);

// A fare server stand-in on 127.0.0.1, port 0: records every byte each
// connection sends and answers only when told to.
class FixtureServer : public QObject
{
    Q_OBJECT
public:
    FixtureServer();
    quint16 port() const { return m_server.serverPort(); }
    // The newest connection, or nullptr.
    QTcpSocket *client() const { return m_clients.isEmpty() ? nullptr : m_clients.last().data(); }
    int connectionCount() const { return int(m_clients.size()); }
    // Bytes received on the newest connection, and clears them when take.
    QByteArray received() const { return m_received; }
    QByteArray take();
    void send(const QByteArray &bytes);
    // Sends one byte per write, each flushed.
    void sendBytewise(const QByteArray &bytes);
    bool clientDisconnected() const;
    // An orderly close (FIN), even with request bytes still unread.
    void closeClean();
    // A reset (RST) of the newest connection.
    void reset();

    // When set, every complete request (closing empty field seen) is answered
    // with this, NULs written as "~".
    QByteArray autoAnswer;
    QByteArrayList requests; // every complete request seen, in order

private:
    void onNewConnection();
    void onReadyRead();
    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_clients;
    QByteArray m_received;
    QByteArray m_pending;
};

} // namespace testsupport

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class FareServer;
struct FareServerOptions;
class QThread;

namespace testsupport {

// The longest gap between ticks of a 1 ms timer: how long one event held the
// event loop while it ran.
class StallMeter : public QObject
{
    Q_OBJECT
public:
    StallMeter();
    void start();
    qint64 stop();
    // The longest gap so far, the one still open included.
    qint64 longest() const;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// The demo server on a thread of its own, so that producing its answers does
// not share the event loop of the window under test.
class ThreadedFareServer
{
public:
    explicit ThreadedFareServer(const FareServerOptions &options);
    ~ThreadedFareServer();
    quint16 port() const { return m_port; }
    int connectionCount() const;

private:
    std::unique_ptr<QThread> m_thread;
    FareServer *m_server = nullptr;
    quint16 m_port = 0;
};

// One accepted connection of a ScriptedPeer, used from the peer's thread.
// Every wait gives up when the peer is being torn down.
class PeerConnection
{
public:
    PeerConnection(int fd, const std::atomic<bool> &stopping, std::atomic<int> &requests);
    ~PeerConnection();
    PeerConnection(const PeerConnection &) = delete;
    PeerConnection &operator=(const PeerConnection &) = delete;
    // Reads until a request's closing empty field arrived; false when the
    // client closed first or the peer stops.
    bool readRequest(QByteArray *request = nullptr);
    // Writes every byte; false when the client went away or the peer stops.
    bool send(QByteArrayView bytes);
    // One write per byte with TCP_NODELAY, pausing between them.
    bool sendBytewise(QByteArrayView bytes, int pauseMs);
    void pause(int ms);
    // FIN after everything written, then waits for the client to go.
    void closeClean();
    // RST: unsent bytes are dropped.
    void reset();
    // Keeps the connection open, answering nothing, until the client goes.
    void holdOpen();

private:
    bool waitFor(short events);
    int m_fd;
    const std::atomic<bool> &m_stopping;
    std::atomic<int> &m_requests;
    QByteArray m_pending;
};

// A server stand-in on 127.0.0.1 running on its own thread: it accepts
// connections one after the other and runs the script on each. Scripts do
// blocking writes of any size without stalling the window's event loop, so
// a stall measured there is the window's own.
class ScriptedPeer
{
public:
    using Script = std::function<void(PeerConnection &)>;
    explicit ScriptedPeer(Script script);
    ~ScriptedPeer();
    quint16 port() const { return m_port; }
    int accepted() const { return m_accepted.load(); }
    int scriptsDone() const { return m_done.load(); }
    int requestsRead() const { return m_requests.load(); }

private:
    void run();
    Script m_script;
    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_done{0};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

} // namespace testsupport
