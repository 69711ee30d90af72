#pragma once

// The "Booking Parameter" dialog: reservation classes and tariffs of a CRS
// booking, confirmed or changed by the operator.

#include "ui/controltable.h"

#include <QDialog>
#include <functional>

struct CrsBookingValues;

class CBookingParamDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CBookingParamDlg(QWidget *parent = nullptr);
    // Exchange with the four fields, as plain text both ways.
    void UpdateData(bool save);

    QByteArray m_strResClassOut = "Y";
    QByteArray m_strResClassIn = "Y";
    QByteArray m_strTariffOut = "0";
    QByteArray m_strTariffIn = "5";
};

// Shows the dialog modally with the values' classes and tariffs; on OK takes
// the fields back into the values and returns true.
bool RunBookingParamDialog(CrsBookingValues &values);

// Tests answer the dialog through this: it gets the dialog, filled and not
// shown, may type into its fields, and returns whether OK was pressed.
using BookingDialogAnswer = std::function<bool(CBookingParamDlg &)>;
void SetBookingDialogAnswer(BookingDialogAnswer answer);
