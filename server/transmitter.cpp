#include "transmitter.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#endif

namespace {

// Enough to keep the socket busy, little enough to keep memory flat while a
// slow client reads a huge answer.
constexpr qint64 kChunkBytes = 256 * 1024;
constexpr qint64 kHighWaterBytes = 1024 * 1024;

// Bytes the kernel holds for the socket that the peer has not acknowledged.
qint64 UnsentBytes(const QTcpSocket *socket)
{
#ifdef Q_OS_LINUX
    int queued = 0;
    if (ioctl(int(socket->socketDescriptor()), SIOCOUTQ, &queued) == 0)
        return queued;
#else
    Q_UNUSED(socket);
#endif
    return 0;
}

} // namespace

Transmitter::Transmitter(QTcpSocket *socket, const FareServerOptions &options, QObject *parent)
    : QObject(parent), m_socket(socket), m_options(options)
{
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_phase == Phase::Streaming)
            pump();
    });
}

Transmitter::~Transmitter() = default;

void Transmitter::send(std::unique_ptr<AnswerBody> body)
{
    m_body = std::move(body);
    m_sent = 0;
    const qint64 size = m_body->size();
    if (m_options.closeMidField) {
        m_ending = Ending::Close;
        m_limit = std::max<qint64>(1, m_body->firstFieldSize() / 2);
    } else if (m_options.resetMidAnswer) {
        m_ending = Ending::Reset;
        m_limit = std::clamp<qint64>(size / 2, 1, size - 2);
    } else if (m_options.omitTerminator) {
        m_ending = Ending::OmitTerminator;
        m_limit = size - 1;
    } else if (m_options.terminatorDelayMs > 0) {
        m_ending = Ending::LateTerminator;
        m_limit = size - 1;
    } else {
        m_ending = Ending::Complete;
        m_limit = size;
    }
    m_phase = Phase::Waiting;
    if (m_options.answerDelayMs > 0)
        after(m_options.answerDelayMs, [this] { pump(); });
    else
        pump();
}

// Writes what may go out now, then either ends the answer or waits for a
// timer (pieces) or for the socket to drain (bytesWritten).
void Transmitter::pump()
{
    if (!m_body || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_phase = Phase::Waiting;
    if (m_options.pieceBytes > 0) {
        writePiece(std::min<qint64>(m_options.pieceBytes, m_limit - m_sent));
        m_socket->flush();
        if (m_sent < m_limit) {
            after(m_options.piecePauseMs, [this] { pump(); });
            return;
        }
    } else {
        while (m_sent < m_limit && m_socket->bytesToWrite() < kHighWaterBytes)
            writePiece(std::min(kChunkBytes, m_limit - m_sent));
        if (m_sent < m_limit) {
            m_phase = Phase::Streaming;
            return;
        }
    }
    end();
}

void Transmitter::writePiece(qint64 bytes)
{
    if (bytes > 0)
        m_sent += m_socket->write(m_body->read(bytes));
}

void Transmitter::end()
{
    m_phase = Phase::Ending;
    switch (m_ending) {
    case Ending::Complete:
    case Ending::OmitTerminator:
        done();
        break;
    case Ending::LateTerminator:
        m_socket->flush();
        after(m_options.terminatorDelayMs, [this] {
            if (m_socket->state() == QAbstractSocket::ConnectedState)
                m_socket->write(m_body->read(1));
            done();
        });
        break;
    case Ending::Close:
        m_body.reset();
        m_socket->disconnectFromHost();
        break;
    case Ending::Reset:
        m_body.reset();
        resetWhenSent(200);
        break;
    }
}

void Transmitter::done()
{
    m_phase = Phase::Idle;
    m_body.reset();
    emit finished();
}

// A reset only hits the middle of the answer when the bytes before it have
// left the host; data still queued is discarded by the reset.
void Transmitter::resetWhenSent(int attempts)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_socket->bytesToWrite() > 0 || (attempts > 0 && UnsentBytes(m_socket) > 0)) {
        after(5, [this, attempts] { resetWhenSent(attempts - 1); });
        return;
    }
#ifdef Q_OS_LINUX
    // Lingering for zero seconds turns the close into a reset (RST).
    const linger hard{1, 0};
    setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
#endif
    m_socket->abort();
}

void Transmitter::after(int ms, std::function<void()> step)
{
    QTimer::singleShot(std::max(0, ms), Qt::PreciseTimer, this, std::move(step));
}
