#include "session/inetsocket.h"

#include "queries/farerequests.h"
#include "session/sessionowner.h"

#include <QEventLoop>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
// A bounded read buffer keeps each notification short and lets the socket
// read fastest.
constexpr qint64 kReadBufferSize = 64 * 1024;
constexpr int kWriteTimeoutMs = 20000;
} // namespace

int WsaErrorCode(QAbstractSocket::SocketError error, const QString &errorString)
{
    using E = QAbstractSocket::SocketError;
    switch (error) {
    case E::ConnectionRefusedError:
        return WsaError::ConnectionRefused;
    case E::HostNotFoundError:
        return WsaError::Invalid;
    case E::SocketTimeoutError:
        return WsaError::TimedOut;
    case E::NetworkError:
        if (errorString.contains(QLatin1StringView("Host unreachable"), Qt::CaseInsensitive))
            return WsaError::HostUnreachable;
        return WsaError::NetworkUnreachable;
    case E::SocketAccessError:
        return WsaError::Access;
    case E::SocketResourceError:
        return WsaError::NoBuffers;
    case E::AddressInUseError:
        return WsaError::AddressInUse;
    case E::SocketAddressNotAvailableError:
        return WsaError::AddressNotAvailable;
    case E::UnsupportedSocketOperationError:
        return WsaError::AddressFamily;
    case E::RemoteHostClosedError:
        return WsaError::ConnectionReset;
    default:
        return WsaError::ConnectionAborted;
    }
}

QString FormatElapsed(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000 % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TooLongMessage(qsizetype excessBytes)
{
    return QStringLiteral("Die Anfrage ist um %1 Byte zu lang und wurde nicht gesendet.")
        .arg(excessBytes);
}

CInetSocket::CInetSocket(SessionOwner *owner, QObject *parent)
    : QObject(parent), m_pOwner(owner)
{
}

CInetSocket::~CInetSocket()
{
    // No close request: the socket is simply dropped.
    m_socket.disconnect(this);
    m_socket.abort();
    DropPeerProbe();
}

void CInetSocket::KeepPeerProbe()
{
#ifdef Q_OS_LINUX
    DropPeerProbe();
    m_probeFd = ::dup(int(m_socket.socketDescriptor()));
#endif
}

bool CInetSocket::PeerWasReset()
{
    bool reset = false;
#ifdef Q_OS_LINUX
    if (m_probeFd >= 0) {
        tcp_info info{};
        socklen_t len = sizeof info;
        // A reset leaves the connection CLOSED; an orderly close by the
        // server leaves it in CLOSE_WAIT.
        if (::getsockopt(m_probeFd, IPPROTO_TCP, TCP_INFO, &info, &len) == 0)
            reset = info.tcpi_state == TCP_CLOSE;
    }
#endif
    DropPeerProbe();
    return reset;
}

void CInetSocket::DropPeerProbe()
{
#ifdef Q_OS_LINUX
    if (m_probeFd >= 0)
        ::close(m_probeFd);
#endif
    m_probeFd = -1;
}

void CInetSocket::OpenStreams()
{
    m_socket.setReadBufferSize(kReadBufferSize);
    connect(&m_socket, &QTcpSocket::readyRead, this, &CInetSocket::OnReceive);
    connect(&m_socket, &QTcpSocket::disconnected, this, &CInetSocket::OnClose);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &CInetSocket::OnSocketError);
    connect(&m_socket, &QTcpSocket::connected, this, &CInetSocket::connectAttemptEnded);
}

int CInetSocket::ConnectAndWait(const QString &host, quint16 port, int timeoutMs)
{
    m_connectError = 0;
    m_connecting = true;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &loop, [this, &loop] {
        m_connectError = WsaError::TimedOut;
        loop.quit();
    });
    connect(this, &CInetSocket::connectAttemptEnded, &loop, &QEventLoop::quit);
    m_socket.connectToHost(host, port);
    bound.start(timeoutMs);
    // Paints and timers run; operator input waits until the attempt is over.
    if (m_socket.state() != QAbstractSocket::ConnectedState &&
        m_socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_connecting = false;
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        KeepPeerProbe();
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        if (m_connectError == 0)
            m_connectError = WsaErrorCode(m_socket.error(), m_socket.errorString());
        m_socket.abort();
    }
    return m_connectError;
}

bool CInetSocket::WriteBlock(const char *bytes, qsizetype count)
{
    m_timeSent.start();
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return false;
    if (count == 0)
        return true;
    if (m_socket.write(bytes, count) != count)
        return false;
    m_socket.flush();
    QElapsedTimer waited;
    waited.start();
    while (m_socket.bytesToWrite() > 0) {
        if (m_socket.state() != QAbstractSocket::ConnectedState ||
            waited.elapsed() > kWriteTimeoutMs)
            return false;
        m_socket.waitForBytesWritten(100);
    }
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void CInetSocket::SendRequest(const char *bytes, qsizetype count)
{
    if (WriteBlock(bytes, count))
        m_bAwaitingReply = 1;
    else
        m_pOwner->Warn(kLostConnection);
}

void CInetSocket::Close()
{
    (void)WriteBlock(BuildCloseRequest().bytes);
    m_closedByUs = true;
    DropPeerProbe();
    m_socket.disconnect(this);
    // An orderly close: the request was handed over whole before this.
    m_socket.disconnectFromHost();
}

void CInetSocket::Shutdown()
{
    DropPeerProbe();
    m_socket.disconnect(this);
    m_socket.abort();
}

void CInetSocket::OnReceive()
{
    if (m_bInReceive)
        return; // an earlier notification still runs (a modal box); it reads on after
    m_bInReceive = 1;
    if (m_readBuffer.isEmpty())
        m_readBuffer.resize(kReadBufferSize);
    while (m_socket.bytesAvailable() > 0) {
        const qint64 n = m_socket.read(m_readBuffer.data(), m_readBuffer.size());
        if (n <= 0)
            break;
        if (!m_bReading)
            m_assembler.feed(QByteArrayView(m_readBuffer.constData(), n), *this);
        // else: a failed receive ended this session's reading; drop the bytes
    }
    m_bInReceive = 0;
    m_pOwner->ReceiveDone();
}

void CInetSocket::answerLine(QByteArrayView line)
{
    m_pOwner->AddResultLine(line);
}

void CInetSocket::answerComplete()
{
    const qint64 elapsed = m_timeSent.isValid() ? m_timeSent.elapsed() : 0;
    m_bAwaitingReply = 0;
    m_pOwner->AnswerComplete(elapsed);
}

void CInetSocket::FlushPartialField()
{
    if (m_assembler.hasPartial() && !m_bReading)
        m_pOwner->AddResultLine(m_assembler.takePartial());
}

void CInetSocket::OnClose()
{
    // Whatever arrived before the close is still listed, the cut field too.
    OnReceive();
    FlushPartialField();
    m_bAwaitingReply = 0;
}

void CInetSocket::OnSocketError(QAbstractSocket::SocketError error)
{
    if (m_connecting) {
        m_connectError = WsaErrorCode(error, m_socket.errorString());
        emit connectAttemptEnded();
        return;
    }
    if (error == QAbstractSocket::RemoteHostClosedError && !PeerWasReset())
        return; // a clean close: OnClose handles it
    FailReceive();
}

void CInetSocket::FailReceive()
{
    if (m_bReading)
        return; // reported once; this session reads nothing more
    OnReceive();
    FlushPartialField();
    m_bReading = 1;
    m_bInReceive = 1;
    m_pOwner->Warn(kLostConnection);
    m_bInReceive = 0;
    m_pOwner->ReceiveDone();
}
