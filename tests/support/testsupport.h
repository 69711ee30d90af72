#pragma once

// Shared helpers for the test programs.

#include "form/queryform.h"
#include "ui/notify.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <functional>

namespace testsupport {

// Renders bytes with NUL shown as "~" so failures read like the console.
QByteArray Tilde(QByteArray bytes);

// Every text empty, every flag clear, Oneway, "Request recordsets only".
QueryForm EmptyForm();
// EmptyForm() with the given change.
QueryForm Form(const std::function<void(QueryForm &)> &change);

// Records message boxes and beeps instead of showing them, for its lifetime.
class NotifierRecorder : public Notifier
{
public:
    NotifierRecorder();
    ~NotifierRecorder() override;
    void messageBox(QWidget *parent, const QString &text) override;
    void beep() override;

    QStringList messages;
    int beeps = 0;

private:
    Notifier *m_previous;
};

// Points the settings store at a file in a fresh temporary folder.
class TempSettings
{
public:
    TempSettings();
    ~TempSettings();
    QString path() const;

private:
    QTemporaryDir m_dir;
};

// The NUL-terminated fields of one request, up to its closing empty field.
QByteArrayList Fields(const QByteArray &request);

// A fare server stand-in on 127.0.0.1, port 0: records every byte each
// connection sends and answers only when told to.
class FixtureServer : public QObject
{
    Q_OBJECT
public:
    FixtureServer();
    quint16 port() const { return m_server.serverPort(); }
    // The newest connection, or nullptr.
    QTcpSocket *client() const { return m_clients.isEmpty() ? nullptr : m_clients.last().data(); }
    int connectionCount() const { return int(m_clients.size()); }
    // Bytes received on the newest connection, and clears them when take.
    QByteArray received() const { return m_received; }
    QByteArray take();
    void send(const QByteArray &bytes);
    // Sends one byte per write, each flushed.
    void sendBytewise(const QByteArray &bytes);
    bool clientDisconnected() const;
    // An orderly close (FIN), even with request bytes still unread.
    void closeClean();
    // A reset (RST) of the newest connection.
    void reset();

    // When set, every complete request (closing empty field seen) is answered
    // with this, NULs written as "~".
    QByteArray autoAnswer;
    QByteArrayList requests; // every complete request seen, in order

private:
    void onNewConnection();
    void onReadyRead();
    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_clients;
    QByteArray m_received;
    QByteArray m_pending;
};

} // namespace testsupport
