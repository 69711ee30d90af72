#pragma once

// One run of fareprobe-send: connect once, send the request list as often as
// asked, wait for each complete answer with the window's stream reassembly,
// and print the answers as they arrive.

#include "sendoptions.h"
#include "session/answerassembler.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <cstdio>
#include <vector>

namespace SendExit {
enum : int { Ok = 0, Usage = 1, ConnectionFailed = 2, AnswerIncomplete = 3 };
}

class SendRun : private AnswerAssembler::Sink
{
public:
    SendRun(const SendOptions &options, std::FILE *out, std::FILE *err);
    // Returns the exit status.
    int run();

private:
    enum class Wait { Completed, TimedOut, Closed };

    int connectToServer();
    Wait sendAndAwait(const QByteArray &request);
    Wait awaitAnswer();
    void drainSocket();
    int failAnswer(Wait outcome);
    void printSummary(double totalMs) const;
    void answerLine(QByteArrayView line) override;
    void answerComplete() override;

    const SendOptions &m_options;
    std::FILE *m_out;
    std::FILE *m_err;
    QTcpSocket m_socket;
    AnswerAssembler m_assembler;
    QByteArray m_readBuffer;
    QElapsedTimer m_answerClock;
    qint64 m_sent = 0;
    qint64 m_completed = 0;
    std::vector<double> m_latenciesMs;
};
