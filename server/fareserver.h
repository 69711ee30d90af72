#pragma once

// The demo fare server: a small, deterministic fare and booking simulator
// that speaks the program's wire protocol. Tests run it in-process:
//
//     FareServer server(options);
//     server.listen(QHostAddress::LocalHost, 0);
//     socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
//
// Every connection is served on its own; bookings are shared by all of them,
// so a booking can be cancelled from another connection.

#include <QHostAddress>
#include <QObject>

#include <memory>

class QTcpServer;
class BookingBook;

// Awkward and hostile behaviours for testing clients. All are off by default.
// They apply to every answer. When several end an answer early, the first
// one in this order wins: closeMidField, resetMidAnswer, omitTerminator,
// terminatorDelayMs.
struct FareServerOptions
{
    // Write each answer in pieces of this many bytes (0 = all at once) ...
    int pieceBytes = 0;
    // ... with this pause between two pieces.
    int piecePauseMs = 0;
    // Send the closing empty field (the final NUL) alone after this pause.
    int terminatorDelayMs = 0;
    // Wait this long before starting each answer.
    int answerDelayMs = 0;
    // Answer every "##STARTQUERY" with this many fare lines of about 120
    // bytes each instead of the real result (0 = off).
    qint64 hugeAnswerLines = 0;
    // Close the connection in the middle of the first field of the answer.
    bool closeMidField = false;
    // Reset (RST) the connection halfway through the answer.
    bool resetMidAnswer = false;
    // Never send the closing empty field.
    bool omitTerminator = false;
    // Bytes buffered for one unfinished request; the rest of a longer one is
    // dropped and answered with one error line.
    qsizetype maxRequestBytes = 1 << 20;
    // One stderr line per request (its fields) and per answer (its size).
    bool verbose = false;
};

class FareServer : public QObject
{
    Q_OBJECT
public:
    explicit FareServer(const FareServerOptions &options = {}, QObject *parent = nullptr);
    ~FareServer() override;

    // Starts accepting connections; port 0 picks a free port.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 serverPort() const;
    QString errorString() const;
    // Connections currently open.
    int connectionCount() const;

    const FareServerOptions &options() const { return m_options; }

private:
    void acceptPending();

    FareServerOptions m_options;
    QTcpServer *m_tcpServer;
    std::unique_ptr<BookingBook> m_bookings;
    int m_nextConnectionId = 1;
};
