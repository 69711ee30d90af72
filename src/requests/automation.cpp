// The scripted test run and the two-second flight query.

#include "ui/querydlg.h"

void CQueryDlg::OnSpecialTest() {}
void CQueryDlg::SendAndWait(QByteArray) {}
void CQueryDlg::OnTimer(int) {}
void CQueryDlg::OnAutoQueryCheck()
{
    UpdateData(true);
}
