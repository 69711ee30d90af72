#pragma once

// One client connection: reads its requests, answers them one after the
// other in arrival order, and keeps the connection's own state.

#include "commands.h"
#include "fareserver.h"
#include "requestreader.h"
#include "session.h"

#include <QObject>
#include <QQueue>

class QTcpSocket;
class Transmitter;

class Connection : public QObject
{
    Q_OBJECT
public:
    Connection(QTcpSocket *socket, int id, const FareServerOptions &options, BookingBook &bookings,
               QObject *parent);

signals:
    void closed();

private:
    void readIncoming();
    void answerNext();
    void logRequest(const CStringArray &request) const;
    void logAnswer(qint64 lines, qint64 bytes) const;

    QTcpSocket *m_socket;
    const int m_id;
    const FareServerOptions &m_options;
    BookingBook &m_bookings;
    RequestReader m_reader;
    // Requests read but not answered yet; an empty entry stands for one that
    // was too long.
    QQueue<std::optional<CStringArray>> m_queue;
    SessionState m_session;
    Transmitter *m_transmitter;
    bool m_closing = false;
};
