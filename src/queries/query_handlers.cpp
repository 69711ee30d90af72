// Fare queries, browsing and booking: the main window's handlers.

#include "queries/farerequests.h"
#include "session/inetsocket.h"
#include "ui/querydlg.h"
#include "ui/widgets.h"

#include <QApplication>

CInetSocket &CQueryDlg::Session()
{
    if (m_pSocket)
        return *m_pSocket;
    // Before the first Connect every write fails like one on a lost
    // connection; a session that never connects gives exactly that.
    if (!m_pDetached) {
        m_pDetached = std::make_unique<CInetSocket>(static_cast<SessionOwner *>(this));
        m_pDetached->OpenStreams();
    }
    return *m_pDetached;
}

void CQueryDlg::RunFareQuery(const StartQueryParams &params)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CStringArray echo;
    Session().StartQuery(params, &echo);
    QApplication::restoreOverrideCursor();
    UpdateNavigationButtons();
    ShowRequestText(&echo);
}

void CQueryDlg::OnFlightQuery()
{
    UpdateData(true);
    m_listResults->resetContent();
    RunFareQuery(FlightQueryParams(*this));
}

void CQueryDlg::OnCharterQuery()
{
    UpdateData(true);
    m_listResults->resetContent();
    RunFareQuery(CharterQueryParams(*this));
}

void CQueryDlg::ShowRequestText(const CStringArray *fields)
{
    if (!fields)
        return;
    const QByteArray text = FieldsToNotation(*fields);
    if (text.isEmpty())
        return;
    m_strMessage = text;
    UpdateData(false);
}

void CQueryDlg::OnNext()
{
    m_listResults->resetContent();
    CStringArray echo;
    Session().GetNextFareBlock(&echo);
    ShowRequestText(&echo);
}

void CQueryDlg::OnPrevious()
{
    m_listResults->resetContent();
    CStringArray echo;
    Session().GetPreviousFareBlock(&echo);
    ShowRequestText(&echo);
}

void CQueryDlg::OnGetTariff()
{
    const QByteArray line = m_listResults->text(m_listResults->currentLine());
    m_listResults->resetContent();
    CStringArray echo;
    Session().GetFare(line, &echo);
    ShowRequestText(&echo);
}

void CQueryDlg::OnRemarks()
{
    const QByteArray line = m_listResults->text(m_listResults->currentLine());
    m_listResults->resetContent();
    CStringArray echo;
    Session().GetFareRemarks(line, &echo);
    ShowRequestText(&echo);
}

void CQueryDlg::OnBooking()
{
    const QByteArray outLine = m_listResults->text(1);
    QByteArray inLine;
    QByteArray inboundTariff;
    if (m_nTripType == 1) {
        inLine = m_listResults->text(3);
        inboundTariff = InboundTariff(m_listResults->text(0));
    }
    Session().SendCrsBooking(outLine, m_strUseCRS, inLine, inboundTariff);
    m_listResults->resetContent();
}
