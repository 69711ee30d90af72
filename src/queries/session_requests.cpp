// The session's fixed-block requests: fare query, browsing and booking.

#include "queries/bookingparamdlg.h"
#include "queries/farerequests.h"
#include "session/inetsocket.h"
#include "session/sessionowner.h"

void CInetSocket::WriteRequest(const BuiltRequest &request, CStringArray *echo)
{
    if (!request.fits()) {
        m_pOwner->Warn(TooLongMessage(request.overflow));
        return;
    }
    if (echo)
        SplitFieldBlock(request.bytes, *echo);
    if (!WriteBlock(request.bytes))
        m_pOwner->Warn(kLostConnection);
}

void CInetSocket::StartQuery(const StartQueryParams &params, CStringArray *echo)
{
    m_pOwner->EnableQueryButton(false);
    if (m_bInReceive) {
        // Entered from a nested loop while an answer is being listed.
        m_pOwner->Beep();
        return;
    }
    m_nBlockNumber = 1;
    WriteRequest(BuildStartQuery(params), echo);
}

void CInetSocket::GetNextFareBlock(CStringArray *echo)
{
    ++m_nBlockNumber;
    WriteRequest(BuildFareBlockRequest(m_nBlockNumber), echo);
}

void CInetSocket::GetPreviousFareBlock(CStringArray *echo)
{
    --m_nBlockNumber;
    WriteRequest(BuildFareBlockRequest(m_nBlockNumber), echo);
}

void CInetSocket::GetFare(QByteArray line, CStringArray *echo)
{
    WriteRequest(BuildFareRequest(line), echo);
}

void CInetSocket::GetFareRemarks(QByteArray line, CStringArray *echo)
{
    WriteRequest(BuildRemarksRequest(line), echo);
}

void CInetSocket::SendCrsBooking(QByteArray outLine, QByteArray crs, QByteArray inLine,
                                 QByteArray inboundTariff)
{
    CrsBookingValues values = BookingPresets(outLine, crs, inLine, inboundTariff);
    if (!RunBookingParamDialog(values))
        return;
    WriteRequest(BuildCrsBooking(values), nullptr);
}
