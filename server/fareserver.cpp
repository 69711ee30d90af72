#include "fareserver.h"

#include "bookingbook.h"
#include "connection.h"

#include <QTcpServer>
#include <QTcpSocket>

FareServer::FareServer(const FareServerOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_tcpServer(new QTcpServer(this)),
      m_bookings(std::make_unique<BookingBook>())
{
    connect(m_tcpServer, &QTcpServer::newConnection, this, &FareServer::acceptPending);
}

FareServer::~FareServer()
{
    // Connections refer to the booking book; they go before it does.
    qDeleteAll(findChildren<Connection *>(Qt::FindDirectChildrenOnly));
}

bool FareServer::listen(const QHostAddress &address, quint16 port)
{
    return m_tcpServer->listen(address, port);
}

quint16 FareServer::serverPort() const
{
    return m_tcpServer->serverPort();
}

QString FareServer::errorString() const
{
    return m_tcpServer->errorString();
}

int FareServer::connectionCount() const
{
    return int(findChildren<Connection *>(Qt::FindDirectChildrenOnly).size());
}

void FareServer::acceptPending()
{
    while (QTcpSocket *socket = m_tcpServer->nextPendingConnection()) {
        auto *connection =
            new Connection(socket, m_nextConnectionId++, m_options, *m_bookings, this);
        connect(connection, &Connection::closed, connection, &QObject::deleteLater);
        // A peer may be gone before the connection object existed.
        if (socket->state() != QAbstractSocket::ConnectedState)
            connection->deleteLater();
    }
}
