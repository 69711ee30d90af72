#include "testsupport.h"

#include "form/settingsstore.h"
#include "session/framing.h"

#include <QTest>

#include <sys/socket.h>

namespace testsupport {

QByteArray Tilde(QByteArray bytes)
{
    return bytes.replace('\0', '~');
}

QueryForm EmptyForm()
{
    QueryForm f;
    f.m_bEconomy = f.m_bBusiness = f.m_bFirst = 0;
    f.m_nTripType = 0;
    f.m_bTTNormal = 0;
    f.m_nResultMode = 0;
    f.m_strCurrency.clear();
    return f;
}

QueryForm Form(const std::function<void(QueryForm &)> &change)
{
    QueryForm f = EmptyForm();
    change(f);
    return f;
}

NotifierRecorder::NotifierRecorder() : m_previous(SetNotifier(this)) {}

NotifierRecorder::~NotifierRecorder()
{
    SetNotifier(m_previous);
}

void NotifierRecorder::messageBox(QWidget *, const QString &text)
{
    messages.append(text);
}

void NotifierRecorder::beep()
{
    ++beeps;
}

TempSettings::TempSettings()
{
    SetSettingsFileOverride(path());
}

TempSettings::~TempSettings()
{
    SetSettingsFileOverride({});
}

QString TempSettings::path() const
{
    return m_dir.filePath(QStringLiteral("fareprobe.conf"));
}

QByteArrayList Fields(const QByteArray &request)
{
    CStringArray fields;
    SplitFieldBlock(request, fields);
    return fields;
}

FixtureServer::FixtureServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &FixtureServer::onNewConnection);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("fixture server cannot listen");
}

void FixtureServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_clients.append(socket);
        m_received.clear();
        m_pending.clear();
        connect(socket, &QTcpSocket::readyRead, this, &FixtureServer::onReadyRead);
    }
}

void FixtureServer::onReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    const QByteArray bytes = socket->readAll();
    if (socket != client())
        return;
    m_received += bytes;
    m_pending += bytes;
    // A request ends with an empty field; padding zeros in front are skipped.
    for (;;) {
        qsizetype start = 0;
        while (start < m_pending.size() && m_pending[start] == '\0')
            ++start;
        const qsizetype end = m_pending.indexOf(QByteArray(2, '\0'), start);
        if (start == m_pending.size() || end < 0) {
            m_pending.remove(0, start);
            return;
        }
        requests.append(m_pending.mid(start, end + 2 - start));
        m_pending.remove(0, end + 2);
        if (!autoAnswer.isNull())
            send(QByteArray(autoAnswer).replace('~', '\0'));
    }
}

QByteArray FixtureServer::take()
{
    QByteArray bytes;
    bytes.swap(m_received);
    return bytes;
}

void FixtureServer::send(const QByteArray &bytes)
{
    client()->write(bytes);
    client()->flush();
}

void FixtureServer::sendBytewise(const QByteArray &bytes)
{
    for (const char c : bytes) {
        client()->write(&c, 1);
        client()->flush();
        client()->waitForBytesWritten(1000);
    }
}

void FixtureServer::closeClean()
{
    client()->flush();
    ::shutdown(int(client()->socketDescriptor()), SHUT_WR);
}

void FixtureServer::reset()
{
    const linger hard{1, 0};
    ::setsockopt(int(client()->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    client()->abort();
}

bool FixtureServer::clientDisconnected() const
{
    return client() && client()->state() == QAbstractSocket::UnconnectedState;
}

} // namespace testsupport
