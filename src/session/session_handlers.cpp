// The main window's side of the server session: connect, close, and what the
// session reports back.

#include "session/inetsocket.h"
#include "ui/notify.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"
#include "session/wiretext.h"

void CQueryDlg::ConnectToServer()
{
    (void)Connect();
}

bool CQueryDlg::Connect()
{
    UpdateNavigationButtons();
    UpdateData(true);
    if (m_pSocket) {
        // The old connection is shut down; no close request reaches the server.
        m_pSocket->Shutdown();
        m_pSocket.reset();
    }
    m_pSocket = std::make_unique<CInetSocket>(static_cast<SessionOwner *>(this));
    m_pSocket->OpenStreams();
    m_saved.m_nSavedPort = qint32(m_nServerPort);
    m_saved.m_strSavedServerIP = m_strServerIP;
    // Port 0 and numbers beyond 16 bits name no port; Windows would cut them
    // to 16 bits and reach some other port.
    int error = WsaError::AddressNotAvailable;
    if (m_nServerPort != 0 && m_nServerPort <= 65535) {
        m_bConnecting = 1; // no timer query inside the wait
        error = m_pSocket->ConnectAndWait(WireToText(m_strServerIP), quint16(m_nServerPort));
        m_bConnecting = 0;
    }
    if (error != 0)
        ShowMessage(this, QStringLiteral("Socket Fehler: %1").arg(error));
    EnableControl(Ctrl::FlightQuery, true);
    return error == 0;
}

void CQueryDlg::OnCloseConnection()
{
    if (m_pSocket)
        m_pSocket->Close();
}

void CQueryDlg::AddResultLine(QByteArrayView line)
{
    m_listResults->addLine(line);
}

void CQueryDlg::AnswerComplete(qint64 elapsedMs)
{
    m_strElapsed = FormatElapsed(elapsedMs).toLatin1();
    auto *elapsed = control<CFormEdit>(Ctrl::Elapsed);
    elapsed->setWireText(m_strElapsed);
    elapsed->setToolTip(QStringLiteral("%1 ms").arg(elapsedMs));
    m_listResults->flushAndUpdate();
    UpdateNavigationButtons();
    emit answerCompleted(elapsedMs);
}

void CQueryDlg::ReceiveDone()
{
    EnableControl(Ctrl::FlightQuery, true);
}

void CQueryDlg::EnableQueryButton(bool enable)
{
    EnableControl(Ctrl::FlightQuery, enable);
}

void CQueryDlg::Warn(const QString &text)
{
    ShowMessage(this, text);
}

void CQueryDlg::Beep()
{
    ::Beep();
}
