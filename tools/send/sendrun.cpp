#include "sendrun.h"

#include "hexdump.h"
#include "latencystats.h"
#include "session/inetsocket.h"

#include <QDeadlineTimer>

namespace {

// Large enough that a huge answer moves in few reads, small enough that it
// streams out instead of piling up in memory.
constexpr qsizetype kReadChunk = 256 * 1024;
constexpr size_t kReservedSamples = 1 << 20;

void Print(std::FILE *stream, QByteArrayView text)
{
    std::fwrite(text.data(), 1, size_t(text.size()), stream);
}

// Printed independently of the user's locale so scripts can parse it.
QByteArray Ms(double ms)
{
    return QByteArray::number(ms, 'f', 3);
}

} // namespace

SendRun::SendRun(const SendOptions &options, std::FILE *out, std::FILE *err)
    : m_options(options), m_out(out), m_err(err), m_readBuffer(kReadChunk, Qt::Uninitialized)
{
    m_socket.setReadBufferSize(kReadChunk);
    // Enough for ordinary load runs; a run of millions grows as it goes
    // instead of claiming all its memory up front.
    const size_t expected = size_t(options.repeat) * size_t(options.requests.size());
    m_latenciesMs.reserve(std::min<size_t>(expected, kReservedSamples));
}

int SendRun::run()
{
    if (const int status = connectToServer(); status != SendExit::Ok)
        return status;
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < m_options.repeat; ++round) {
        for (const QByteArray &request : m_options.requests) {
            if (const Wait outcome = sendAndAwait(request); outcome != Wait::Completed)
                return failAnswer(outcome);
        }
    }
    const double totalMs = double(total.nsecsElapsed()) / 1e6;
    if (m_options.summary)
        printSummary(totalMs);
    m_socket.disconnectFromHost();
    return SendExit::Ok;
}

int SendRun::connectToServer()
{
    m_socket.connectToHost(m_options.host, m_options.port);
    if (m_socket.waitForConnected(m_options.timeoutMs)) {
        // Requests are single small writes that wait for their answer;
        // coalescing them would only add delay.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return SendExit::Ok;
    }
    const bool stillTrying = m_socket.state() != QAbstractSocket::UnconnectedState;
    const int code = stillTrying ? int(WsaError::TimedOut)
                                 : WsaErrorCode(m_socket.error(), m_socket.errorString());
    Print(m_err,
          QStringLiteral("fareprobe-send: Socket Fehler: %1 (%2 port %3: %4)\n")
              .arg(code)
              .arg(m_options.host)
              .arg(m_options.port)
              .arg(stillTrying ? QStringLiteral("connection timed out") : m_socket.errorString())
              .toLocal8Bit());
    m_socket.abort();
    return SendExit::ConnectionFailed;
}

SendRun::Wait SendRun::sendAndAwait(const QByteArray &request)
{
    ++m_sent;
    m_answerClock.start();
    if (m_socket.write(request) != request.size())
        return Wait::Closed;
    m_socket.flush();
    return awaitAnswer();
}

SendRun::Wait SendRun::awaitAnswer()
{
    const QDeadlineTimer deadline(m_options.timeoutMs);
    for (;;) {
        drainSocket();
        if (m_completed >= m_sent)
            return Wait::Completed;
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return Wait::Closed;
        if (deadline.hasExpired())
            return Wait::TimedOut;
        // Also writes what the flush could not hand over yet.
        m_socket.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
    }
}

void SendRun::drainSocket()
{
    while (m_socket.bytesAvailable() > 0) {
        const qint64 n = m_socket.read(m_readBuffer.data(), m_readBuffer.size());
        if (n <= 0)
            return;
        m_assembler.feed(QByteArrayView(m_readBuffer.constData(), n), *this);
    }
}

int SendRun::failAnswer(Wait outcome)
{
    // The cut field is part of what the server sent; show it.
    if (m_assembler.hasPartial())
        answerLine(m_assembler.takePartial());
    std::fflush(m_out);
    const QByteArray which = QByteArray::number(m_sent);
    if (outcome == Wait::TimedOut)
        Print(m_err, "fareprobe-send: answer " + which + " did not complete within " +
                         QByteArray::number(m_options.timeoutMs / 1000.0) + " s\n");
    else
        Print(m_err, "fareprobe-send: the server closed the connection before answer " + which +
                         " was complete\n");
    m_socket.abort();
    return SendExit::AnswerIncomplete;
}

void SendRun::printSummary(double totalMs) const
{
    const LatencySummary s = SummarizeLatencies(m_latenciesMs);
    const double perSecond = totalMs > 0 ? double(m_completed) * 1000.0 / totalMs : 0;
    Print(m_err, QByteArray::number(m_completed) + " answers in " + Ms(totalMs) + " ms, " +
                     QByteArray::number(perSecond, 'f', 1) + " requests/s\n");
    Print(m_err, "latency ms: min " + Ms(s.minMs) + ", median " + Ms(s.medianMs) + ", p99 " +
                     Ms(s.p99Ms) + ", max " + Ms(s.maxMs) + "\n");
}

void SendRun::answerLine(QByteArrayView line)
{
    if (m_options.hex) {
        WriteHexDump(line, m_out);
        return;
    }
    Print(m_out, line);
    Print(m_out, "\n");
}

void SendRun::answerComplete()
{
    // An end that no request is waiting for (the server answered unasked)
    // has no elapsed time to report.
    if (m_completed >= m_sent)
        return;
    ++m_completed;
    const double ms = double(m_answerClock.nsecsElapsed()) / 1e6;
    m_latenciesMs.push_back(ms);
    // Answer lines first, so a terminal shows each time after its answer.
    std::fflush(m_out);
    Print(m_err, "answer " + QByteArray::number(m_completed) + ": " + Ms(ms) + " ms\n");
}
