#include "connection.h"

#include "transmitter.h"

#include <QTcpSocket>

#include <cstdio>

namespace {

// Requests waiting for their answers, and bytes the socket buffers; beyond
// these a client that sends without reading is held back by TCP itself.
constexpr qsizetype kMaxQueued = 64;
constexpr qint64 kReadBufferBytes = 64 * 1024;

} // namespace

Connection::Connection(QTcpSocket *socket, int id, const FareServerOptions &options,
                       BookingBook &bookings, QObject *parent)
    : QObject(parent), m_socket(socket), m_id(id), m_options(options), m_bookings(bookings),
      m_reader(options.maxRequestBytes), m_transmitter(new Transmitter(socket, options, this))
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kReadBufferBytes);
    connect(m_socket, &QTcpSocket::readyRead, this, &Connection::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, &Connection::closed);
    connect(m_transmitter, &Transmitter::finished, this, [this] {
        answerNext();
        readIncoming();
    });
}

void Connection::readIncoming()
{
    while (!m_closing && m_queue.size() < kMaxQueued && m_socket->bytesAvailable() > 0) {
        const ReadResult read = m_reader.feed(m_socket->read(kReadBufferBytes));
        for (int i = 0; i < read.oversized; ++i)
            m_queue.enqueue(std::nullopt);
        for (const CStringArray &request : read.requests)
            m_queue.enqueue(request);
    }
    answerNext();
}

void Connection::answerNext()
{
    if (m_closing || m_transmitter->busy() || m_queue.isEmpty())
        return;
    const std::optional<CStringArray> request = m_queue.dequeue();
    Reply reply;
    if (request) {
        logRequest(*request);
        ReplyContext context{m_session, m_bookings, m_options.hugeAnswerLines};
        reply = Respond(*request, context);
    } else {
        logRequest({"(request dropped: longer than the limit)"});
        reply = OversizedReply(m_options.maxRequestBytes);
    }
    if (reply.close) {
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    std::unique_ptr<AnswerBody> body =
        reply.hugeLines > 0 ? MakeHugeBody(reply.hugeLines) : MakeLinesBody(reply.lines);
    logAnswer(reply.hugeLines > 0 ? reply.hugeLines : reply.lines.size(), body->size());
    m_transmitter->send(std::move(body));
}

void Connection::logRequest(const CStringArray &request) const
{
    if (!m_options.verbose)
        return;
    QByteArray text = FieldsToNotation(request);
    // Garbage must not play tricks with the terminal.
    for (char &c : text) {
        if (uchar(c) < 0x20 || c == 0x7f)
            c = '.';
    }
    if (text.size() > 300)
        text = text.first(300) + "... (" + QByteArray::number(text.size()) + " bytes)";
    std::fprintf(stderr, "[%d] request: %s\n", m_id, text.constData());
}

void Connection::logAnswer(qint64 lines, qint64 bytes) const
{
    if (m_options.verbose)
        std::fprintf(stderr, "[%d] answer: %lld lines, %lld bytes\n", m_id, lines, bytes);
}
