// Code look-ups, reservation requests and available fares.

#include "ui/querydlg.h"

void CQueryDlg::OnAirportCodes() {}
void CQueryDlg::OnAirlineCodes() {}
void CQueryDlg::OnAvailability() {}
void CQueryDlg::OnEmailBooking() {}
void CQueryDlg::OnCancelBooking() {}
void CQueryDlg::OnAvailableFares() {}
