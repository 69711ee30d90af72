#include "queries/bookingparamdlg.h"

#include "queries/farerequests.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QPushButton>

namespace {

using K = ControlKind;

const ControlSpec kBookingControls[] = {
    {-1, K::Label, "ResClass Out:", 7, 9, 50, 8},
    {1049, K::Edit, "", 60, 7, 50, 14},
    {-1, K::Label, "ResClass In:", 7, 27, 50, 8},
    {1050, K::Edit, "", 60, 25, 50, 14},
    {-1, K::Label, "Tariff Out:", 7, 45, 50, 8},
    {1051, K::Edit, "", 60, 43, 50, 14, kDigitsOnly},
    {-1, K::Label, "Tariff In:", 7, 63, 50, 8},
    {1052, K::Edit, "", 60, 61, 50, 14, kDigitsOnly},
    {1, K::DefaultButton, "OK", 124, 7, 50, 14},
    {2, K::Button, "Cancel", 124, 24, 50, 14},
};

BookingDialogAnswer g_answer;

struct Binding
{
    int id;
    QByteArray CBookingParamDlg::*field;
};

const Binding kBindings[] = {
    {1049, &CBookingParamDlg::m_strResClassOut},
    {1050, &CBookingParamDlg::m_strResClassIn},
    {1051, &CBookingParamDlg::m_strTariffOut},
    {1052, &CBookingParamDlg::m_strTariffIn},
};

} // namespace

CBookingParamDlg::CBookingParamDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Booking Parameter"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    BuildControls(this, kBookingControls, 181, 84);
    connect(findChild<QPushButton *>(QStringLiteral("1")), &QPushButton::clicked, this,
            &QDialog::accept);
    connect(findChild<QPushButton *>(QStringLiteral("2")), &QPushButton::clicked, this,
            &QDialog::reject);
}

void CBookingParamDlg::UpdateData(bool save)
{
    for (const Binding &b : kBindings) {
        auto *edit = findChild<CFormEdit *>(QString::number(b.id));
        if (save)
            this->*b.field = edit->wireText();
        else
            edit->setWireText(this->*b.field);
    }
}

bool RunBookingParamDialog(CrsBookingValues &values)
{
    CBookingParamDlg dlg(QApplication::activeWindow());
    dlg.m_strResClassOut = values.resClassOut;
    dlg.m_strResClassIn = values.resClassIn;
    dlg.m_strTariffOut = values.tariffOut;
    dlg.m_strTariffIn = values.tariffIn;
    dlg.UpdateData(false);
    const bool ok = g_answer ? g_answer(dlg) : dlg.exec() == QDialog::Accepted;
    if (!ok)
        return false;
    dlg.UpdateData(true); // OK takes the fields; Cancel leaves the values alone
    values.resClassOut = dlg.m_strResClassOut;
    values.resClassIn = dlg.m_strResClassIn;
    values.tariffOut = dlg.m_strTariffOut;
    values.tariffIn = dlg.m_strTariffIn;
    return true;
}

void SetBookingDialogAnswer(BookingDialogAnswer answer)
{
    g_answer = std::move(answer);
}
