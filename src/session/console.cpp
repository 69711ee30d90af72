// The message console: send the message field, step through the history.

#include "session/inetsocket.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

void CQueryDlg::OnSendMessage()
{
    SendConsoleMessage(true);
}

void CQueryDlg::SendConsoleMessage(bool convertBackslashZero)
{
    UpdateData(true);
    const QByteArray request = ConvertConsoleText(m_strMessage, convertBackslashZero);
    if (m_aMessageHistory.isEmpty() || m_aMessageHistory.constLast() != m_strMessage) {
        m_aMessageHistory.append(m_strMessage);
        m_nHistoryIndex = int(m_aMessageHistory.size()) - 1;
    }
    m_listResults->resetContent();
    Session().SendRequest(request.constData(), request.size());
}

void CQueryDlg::OnHistorySpin(int delta)
{
    const qint64 p = qint64(m_nHistoryIndex) + delta;
    if (p < 0 || p >= m_aMessageHistory.size()) {
        Beep();
        return;
    }
    m_nHistoryIndex = int(p);
    m_strMessage = m_aMessageHistory.at(p);
    // Only the message field changes; edits elsewhere stay as typed.
    control<CFormEdit>(Ctrl::Message)->setWireText(m_strMessage);
}
