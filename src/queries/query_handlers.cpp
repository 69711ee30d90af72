// Fare queries, browsing and booking: the main window's handlers.

#include "ui/querydlg.h"

void CQueryDlg::OnFlightQuery() {}
void CQueryDlg::OnCharterQuery() {}
void CQueryDlg::OnNext() {}
void CQueryDlg::OnPrevious() {}
void CQueryDlg::OnGetTariff() {}
void CQueryDlg::OnRemarks() {}
void CQueryDlg::OnBooking() {}
void CQueryDlg::ShowRequestText(const CStringArray *) {}
