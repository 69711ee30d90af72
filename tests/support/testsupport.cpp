#include "testsupport.h"

#include "fareserver.h"
#include "form/settingsstore.h"
#include "session/framing.h"

#include <QTest>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

QByteArray Tilde(QByteArray bytes)
{
    return bytes.replace('\0', '~');
}

QueryForm EmptyForm()
{
    QueryForm f;
    f.m_bEconomy = f.m_bBusiness = f.m_bFirst = 0;
    f.m_nTripType = 0;
    f.m_bTTNormal = 0;
    f.m_nResultMode = 0;
    f.m_strCurrency.clear();
    return f;
}

QueryForm Form(const std::function<void(QueryForm &)> &change)
{
    QueryForm f = EmptyForm();
    change(f);
    return f;
}

NotifierRecorder::NotifierRecorder() : m_previous(SetNotifier(this)) {}

NotifierRecorder::~NotifierRecorder()
{
    SetNotifier(m_previous);
}

void NotifierRecorder::messageBox(QWidget *, const QString &text)
{
    messages.append(text);
}

void NotifierRecorder::beep()
{
    ++beeps;
}

TempSettings::TempSettings()
{
    SetSettingsFileOverride(path());
}

TempSettings::~TempSettings()
{
    SetSettingsFileOverride({});
}

QString TempSettings::path() const
{
    return m_dir.filePath(QStringLiteral("fareprobe.conf"));
}

QByteArrayList Fields(const QByteArray &request)
{
    CStringArray fields;
    SplitFieldBlock(request, fields);
    return fields;
}

FixtureServer::FixtureServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &FixtureServer::onNewConnection);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("fixture server cannot listen");
}

void FixtureServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_clients.append(socket);
        m_received.clear();
        m_pending.clear();
        connect(socket, &QTcpSocket::readyRead, this, &FixtureServer::onReadyRead);
    }
}

void FixtureServer::onReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    const QByteArray bytes = socket->readAll();
    if (socket != client())
        return;
    m_received += bytes;
    m_pending += bytes;
    // A request ends with an empty field; padding zeros in front are skipped.
    for (;;) {
        qsizetype start = 0;
        while (start < m_pending.size() && m_pending[start] == '\0')
            ++start;
        const qsizetype end = m_pending.indexOf(QByteArray(2, '\0'), start);
        if (start == m_pending.size() || end < 0) {
            m_pending.remove(0, start);
            return;
        }
        requests.append(m_pending.mid(start, end + 2 - start));
        m_pending.remove(0, end + 2);
        if (!autoAnswer.isNull())
            send(QByteArray(autoAnswer).replace('~', '\0'));
    }
}

QByteArray FixtureServer::take()
{
    QByteArray bytes;
    bytes.swap(m_received);
    return bytes;
}

void FixtureServer::send(const QByteArray &bytes)
{
    client()->write(bytes);
    client()->flush();
}

void FixtureServer::sendBytewise(const QByteArray &bytes)
{
    for (const char c : bytes) {
        client()->write(&c, 1);
        client()->flush();
        client()->waitForBytesWritten(1000);
    }
}

void FixtureServer::closeClean()
{
    client()->flush();
    ::shutdown(int(client()->socketDescriptor()), SHUT_WR);
}

void FixtureServer::reset()
{
    const linger hard{1, 0};
    ::setsockopt(int(client()->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    client()->abort();
}

bool FixtureServer::clientDisconnected() const
{
    return client() && client()->state() == QAbstractSocket::UnconnectedState;
}

} // namespace testsupport

// --- hostile peers ----------------------------------------------------------

namespace testsupport {

namespace {
// How often a blocked peer looks whether it is being torn down.
constexpr int kPollMs = 20;
} // namespace

StallMeter::StallMeter()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this,
            [this] { m_longest = std::max(m_longest, m_clock.restart()); });
}

void StallMeter::start()
{
    m_longest = 0;
    m_clock.start();
    m_timer.start(1);
}

qint64 StallMeter::stop()
{
    m_timer.stop();
    m_longest = longest();
    return m_longest;
}

qint64 StallMeter::longest() const
{
    return m_timer.isActive() ? std::max(m_longest, m_clock.elapsed()) : m_longest;
}

ThreadedFareServer::ThreadedFareServer(const FareServerOptions &options)
    : m_thread(std::make_unique<QThread>())
{
    m_server = new FareServer(options);
    m_server->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_server, &QObject::deleteLater);
    m_thread->start();
    bool listening = false;
    QMetaObject::invokeMethod(
        m_server,
        [this, &listening] {
            listening = m_server->listen(QHostAddress::LocalHost, 0);
            m_port = m_server->serverPort();
        },
        Qt::BlockingQueuedConnection);
    if (!listening)
        qFatal("threaded demo server cannot listen");
}

ThreadedFareServer::~ThreadedFareServer()
{
    m_thread->quit();
    m_thread->wait();
}

int ThreadedFareServer::connectionCount() const
{
    int count = 0;
    QMetaObject::invokeMethod(
        m_server, [this, &count] { count = m_server->connectionCount(); },
        Qt::BlockingQueuedConnection);
    return count;
}

PeerConnection::PeerConnection(int fd, const std::atomic<bool> &stopping,
                               std::atomic<int> &requests)
    : m_fd(fd), m_stopping(stopping), m_requests(requests)
{
}

PeerConnection::~PeerConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PeerConnection::waitFor(short events)
{
    if (m_fd < 0)
        return false;
    while (!m_stopping) {
        pollfd p{m_fd, events, 0};
        const int n = ::poll(&p, 1, kPollMs);
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
    return false;
}

bool PeerConnection::readRequest(QByteArray *request)
{
    char buffer[16384];
    for (;;) {
        // Padding zeros before a request belong to no request.
        qsizetype start = 0;
        while (start < m_pending.size() && m_pending[start] == '\0')
            ++start;
        const qsizetype end = m_pending.indexOf(QByteArrayView("\0\0", 2), start);
        if (start < m_pending.size() && end >= 0) {
            if (request)
                *request = m_pending.mid(start, end + 2 - start);
            m_pending.remove(0, end + 2);
            ++m_requests;
            return true;
        }
        if (!waitFor(POLLIN))
            return false;
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        m_pending.append(buffer, n);
    }
}

bool PeerConnection::send(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        if (!waitFor(POLLOUT))
            return false;
        const ssize_t n = ::send(m_fd, p, size_t(left), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

bool PeerConnection::sendBytewise(QByteArrayView bytes, int pauseMs)
{
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    for (const char c : bytes) {
        if (!send(QByteArrayView(&c, 1)))
            return false;
        pause(pauseMs);
    }
    return true;
}

void PeerConnection::pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_stopping && clock.elapsed() < ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::min<qint64>(kPollMs, std::max<qint64>(1, ms - clock.elapsed()))));
}

void PeerConnection::closeClean()
{
    ::shutdown(m_fd, SHUT_WR);
    holdOpen();
}

void PeerConnection::reset()
{
    const linger hard{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(m_fd);
    m_fd = -1;
}

void PeerConnection::holdOpen()
{
    char buffer[16384];
    while (m_fd >= 0 && waitFor(POLLIN)) {
        if (::recv(m_fd, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

ScriptedPeer::ScriptedPeer(Script script) : m_script(std::move(script))
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(m_listenFd, 4) != 0 ||
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("scripted peer cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

ScriptedPeer::~ScriptedPeer()
{
    m_stopping = true;
    m_thread.join();
    ::close(m_listenFd);
}

void ScriptedPeer::run()
{
    while (!m_stopping) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0)
            continue;
        ++m_accepted;
        {
            PeerConnection connection(fd, m_stopping, m_requests);
            m_script(connection);
        }
        ++m_done;
    }
}

} // namespace testsupport
