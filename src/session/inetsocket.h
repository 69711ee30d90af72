#pragma once

// The program's one session with the fare server: a TCP connection, the write
// of request blocks with the time they were sent, and the receive path that
// turns the byte stream into result lines and recognises the end of answers.

#include "session/answerassembler.h"
#include "session/framing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>

class SessionOwner;
struct BuiltRequest;
struct StartQueryParams;

// The codes operators know from Windows Sockets.
namespace WsaError {
enum : int {
    Access = 10013, Invalid = 10022, AddressFamily = 10047, AddressInUse = 10048,
    AddressNotAvailable = 10049, NetworkUnreachable = 10051, ConnectionAborted = 10053,
    ConnectionReset = 10054, NoBuffers = 10055, TimedOut = 10060, ConnectionRefused = 10061,
    HostUnreachable = 10065,
};
}
int WsaErrorCode(QAbstractSocket::SocketError error, const QString &errorString);

// "HH:MM:SS" of a duration, whole days dropped, never negative.
QString FormatElapsed(qint64 ms);

inline const QString kLostConnection = QStringLiteral("Verbindung abgebrochen. Bitte neu aufbauen");
// A request whose fields do not fit its fixed area is never sent cut short.
QString TooLongMessage(qsizetype excessBytes);

class CInetSocket : public QObject, private AnswerAssembler::Sink
{
    Q_OBJECT
public:
    explicit CInetSocket(SessionOwner *owner, QObject *parent = nullptr);
    ~CInetSocket() override;

    // Sets up the socket and its read buffer. Called once, right after the
    // session was created.
    void OpenStreams();
    // Connects and waits, at most timeoutMs, painting but running no command.
    // Returns 0 or the Windows Sockets code of the failure.
    int ConnectAndWait(const QString &host, quint16 port, int timeoutMs = 20000);

    // Writes every byte and returns true once all were handed to the
    // connection; false when the write failed. Starts the elapsed-time clock.
    [[nodiscard]] bool WriteBlock(const char *bytes, qsizetype count);
    [[nodiscard]] bool WriteBlock(const QByteArray &bytes)
    {
        return WriteBlock(bytes.constData(), bytes.size());
    }
    // WriteBlock, then marks the session as awaiting a reply; a failure shows
    // the lost-connection message.
    void SendRequest(const char *bytes, qsizetype count);
    // The fixed-block requests. Each echoes its fields into the list when one
    // is given, writes, and reports a request too long or a failed write.
    void StartQuery(const StartQueryParams &params, CStringArray *echo);
    void GetNextFareBlock(CStringArray *echo);
    void GetPreviousFareBlock(CStringArray *echo);
    void GetFare(QByteArray line, CStringArray *echo);
    void GetFareRemarks(QByteArray line, CStringArray *echo);
    // Asks the operator for the booking parameters, then writes the booking;
    // nothing is written when the operator cancels.
    void SendCrsBooking(QByteArray outLine, QByteArray crs, QByteArray inLine,
                        QByteArray inboundTariff);

    // Sends the close request (its failure ignored) and closes the socket.
    void Close();
    // Shuts the connection down in both directions without a close request.
    void Shutdown();

    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QTcpSocket &socket() { return m_socket; }

    int m_bInReceive = 0;
    int m_bReading = 0;
    QElapsedTimer m_timeSent;
    int m_bAwaitingReply = 0;
    int m_nBlockNumber = 1;
    SessionOwner *m_pOwner;

signals:
    // The connect wait ended (connected or failed).
    void connectAttemptEnded();

private:
    void WriteRequest(const BuiltRequest &request, CStringArray *echo);
    void OnReceive();
    void OnClose();
    void OnSocketError(QAbstractSocket::SocketError error);
    void FailReceive();
    // Whether the server reset the connection rather than closing it. The
    // socket layer reports both as a close, so a second descriptor of the
    // connection is kept to ask the system afterwards.
    void KeepPeerProbe();
    bool PeerWasReset();
    void DropPeerProbe();
    void FlushPartialField();
    void answerLine(QByteArrayView line) override;
    void answerComplete() override;

    QTcpSocket m_socket;
    AnswerAssembler m_assembler;
    QByteArray m_readBuffer;
    int m_connectError = 0;
    bool m_connecting = false;
    bool m_closedByUs = false;
    int m_probeFd = -1;
};
