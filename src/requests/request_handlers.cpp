// Code look-ups, reservation requests and available fares: each composes its
// request into the message field and sends it through the console.

#include "requests/servicerequests.h"
#include "ui/querydlg.h"
#include "ui/widgets.h"

void CQueryDlg::SendComposed(const QByteArray &text, bool convertBackslashZero)
{
    m_strMessage = text;
    UpdateData(false);
    SendConsoleMessage(convertBackslashZero);
}

void CQueryDlg::OnAirportCodes()
{
    UpdateData(true);
    SendComposed(ComposeAirportCodes(*this));
}

void CQueryDlg::OnAirlineCodes()
{
    UpdateData(true);
    SendComposed(ComposeAirlineCodes(*this));
}

void CQueryDlg::OnAvailability()
{
    const QByteArray line = m_listResults->text(m_listResults->currentLine());
    m_listResults->resetContent();
    m_strAvailRecordset = line;
    UpdateData(true);
    ApplyDurationRule(*this);
    SendComposed(ComposeAvailability(*this, m_strAvailRecordset));
}

void CQueryDlg::OnEmailBooking()
{
    UpdateData(true);
    // The passenger's birth date follows a backslash and may begin with a
    // zero: that pair is part of the field, not a NUL.
    SendComposed(ComposeEmailBooking(m_strAvailRecordset, m_listResults->text(1)), false);
}

void CQueryDlg::OnCancelBooking()
{
    const QByteArray line = m_listResults->text(m_listResults->currentLine());
    UpdateData(true);
    SendComposed(ComposeCancelBooking(*this, line));
}

void CQueryDlg::OnAvailableFares()
{
    UpdateData(true);
    SendComposed(ComposeAvailableFares(*this));
}
