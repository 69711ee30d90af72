#pragma once

// Sends one answer at a time over a socket, behaving as the server options
// ask: delays, small pieces, a late or missing closing field, or a
// connection that ends in the middle. Large answers are produced only as
// fast as the socket takes them.

#include "answerbody.h"
#include "fareserver.h"

#include <QObject>
#include <functional>
#include <memory>

class QTcpSocket;

class Transmitter : public QObject
{
    Q_OBJECT
public:
    Transmitter(QTcpSocket *socket, const FareServerOptions &options, QObject *parent);
    ~Transmitter() override;

    void send(std::unique_ptr<AnswerBody> body);
    bool busy() const { return m_phase != Phase::Idle; }

signals:
    // The answer is out (as far as the options let it out) and the
    // connection is still open for the next one.
    void finished();

private:
    enum class Ending { Complete, OmitTerminator, LateTerminator, Close, Reset };
    // Only Streaming lets the socket's progress pull more bytes; every other
    // step is driven by a timer, so that a flush that reports progress at
    // once cannot run a step twice.
    enum class Phase { Idle, Waiting, Streaming, Ending };

    void pump();
    void writePiece(qint64 bytes);
    void end();
    void resetWhenSent(int attempts);
    void after(int ms, std::function<void()> step);
    void done();

    QTcpSocket *m_socket;
    const FareServerOptions m_options;
    std::unique_ptr<AnswerBody> m_body;
    Ending m_ending = Ending::Complete;
    qint64 m_limit = 0; // bytes to send before the ending
    qint64 m_sent = 0;
    Phase m_phase = Phase::Idle;
};
