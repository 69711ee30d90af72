// The exchange between the main window's controls and its form record.

#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/notify.h"
#include "ui/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

namespace {

enum class Binding { Text, Flag, Radio, Port };

struct FieldBinding
{
    Binding kind;
    int id;
    QByteArray QueryForm::*text = nullptr;
    int QueryForm::*number = nullptr;
    int lastId = 0; // last button of a radio group
};

FieldBinding Text(int id, QByteArray QueryForm::*f) { return {Binding::Text, id, f}; }
FieldBinding Flag(int id, int QueryForm::*f) { return {Binding::Flag, id, nullptr, f}; }
FieldBinding Radio(int first, int last, int QueryForm::*f)
{
    return {Binding::Radio, first, nullptr, f, last};
}

// The order in which the exchange visits the fields.
const FieldBinding kBindings[] = {
    Text(Ctrl::Departure, &QueryForm::m_strDeparture),
    Text(Ctrl::OJDeparture, &QueryForm::m_strOJDeparture),
    Text(Ctrl::OJArrival, &QueryForm::m_strOJArrival),
    Text(Ctrl::Arrival, &QueryForm::m_strArrival),
    Text(Ctrl::DepDate, &QueryForm::m_strDepDate),
    Text(Ctrl::Tolerance, &QueryForm::m_strTolerance),
    Flag(Ctrl::Economy, &QueryForm::m_bEconomy),
    Flag(Ctrl::Business, &QueryForm::m_bBusiness),
    Flag(Ctrl::First, &QueryForm::m_bFirst),
    Text(Ctrl::RTDepDate, &QueryForm::m_strRTDepDate),
    Text(Ctrl::Airline1, &QueryForm::m_strAirline1),
    Text(Ctrl::Airline2, &QueryForm::m_strAirline2),
    Text(Ctrl::Airline3, &QueryForm::m_strAirline3),
    Text(Ctrl::Stops1, &QueryForm::m_strStops1),
    Text(Ctrl::Stops2, &QueryForm::m_strStops2),
    Text(Ctrl::Stops3, &QueryForm::m_strStops3),
    Radio(Ctrl::Oneway, Ctrl::RoundTrip, &QueryForm::m_nTripType),
    Flag(Ctrl::TTNormal, &QueryForm::m_bTTNormal),
    Flag(Ctrl::TTYouth, &QueryForm::m_bTTYouth),
    Flag(Ctrl::TTSenior, &QueryForm::m_bTTSenior),
    Flag(Ctrl::TTPartner, &QueryForm::m_bTTPartner),
    Flag(Ctrl::TTEthnic, &QueryForm::m_bTTEthnic),
    Flag(Ctrl::TTAgent, &QueryForm::m_bTTAgent),
    Flag(Ctrl::AutoQuery, &QueryForm::m_bAutoQuery),
    Text(Ctrl::ServerIP, &QueryForm::m_strServerIP),
    {Binding::Port, Ctrl::ServerPort},
    Radio(Ctrl::RecordsetsOnly, Ctrl::TariffsOnBlock, &QueryForm::m_nResultMode),
    Text(Ctrl::Supplier, &QueryForm::m_strSupplier),
    Text(Ctrl::Message, &QueryForm::m_strMessage),
    Text(Ctrl::Currency, &QueryForm::m_strCurrency),
    Text(Ctrl::UseCRS, &QueryForm::m_strUseCRS),
    Text(Ctrl::Elapsed, &QueryForm::m_strElapsed),
};

// Unsigned decimal with blanks and tabs around it; nothing else.
bool ParsePort(const QString &text, quint32 &port)
{
    QString t = text;
    while (!t.isEmpty() && (t.front() == u' ' || t.front() == u'\t'))
        t.remove(0, 1);
    while (!t.isEmpty() && (t.back() == u' ' || t.back() == u'\t'))
        t.chop(1);
    if (t.isEmpty())
        return false;
    for (const QChar c : std::as_const(t)) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    const qulonglong value = t.toULongLong(&ok);
    if (!ok || value > 0xFFFFFFFFull)
        return false;
    port = quint32(value);
    return true;
}

} // namespace

void CQueryDlg::ExchangeRadio(bool save, int firstId, int lastId, int &index)
{
    const int count = lastId - firstId + 1;
    if (save) {
        index = -1;
        for (int i = 0; i < count; ++i) {
            if (button(firstId + i)->isChecked())
                index = i;
        }
        return;
    }
    QButtonGroup *group = button(firstId)->group();
    group->setExclusive(false);
    for (int i = 0; i < count; ++i)
        button(firstId + i)->setChecked(i == index);
    group->setExclusive(true);
}

bool CQueryDlg::ExchangePort(bool save)
{
    auto *edit = control<CFormEdit>(Ctrl::ServerPort);
    if (!save) {
        edit->setText(QString::number(m_nServerPort));
        return true;
    }
    return ParsePort(edit->text(), m_nServerPort);
}

bool CQueryDlg::Exchange(bool save, bool silent)
{
    for (const FieldBinding &b : kBindings) {
        switch (b.kind) {
        case Binding::Text: {
            auto *edit = control<CFormEdit>(b.id);
            if (save)
                this->*b.text = edit->wireText();
            else
                edit->setWireText(this->*b.text);
            break;
        }
        case Binding::Flag: {
            int &flag = this->*b.number;
            auto *box = control<QCheckBox>(b.id);
            if (save) {
                flag = box->isChecked() ? 1 : 0;
            } else {
                if (flag < 0 || flag > 2)
                    flag = 0;
                box->setChecked(flag != 0);
            }
            break;
        }
        case Binding::Radio:
            ExchangeRadio(save, b.id, b.lastId, this->*b.number);
            break;
        case Binding::Port:
            if (!ExchangePort(save) && !silent) {
                ShowMessage(this, QStringLiteral("Geben Sie bitte eine positive ganze Zahl ein."));
                auto *edit = control<CFormEdit>(Ctrl::ServerPort);
                edit->setFocus();
                edit->selectAll();
                return false;
            }
            break;
        }
    }
    RefreshSavedCopies();
    return true;
}

bool CQueryDlg::UpdateData(bool save)
{
    return Exchange(save, false);
}

void CQueryDlg::RefreshSavedCopies()
{
    m_saved.m_strSavedArrival = m_strArrival;
    m_saved.m_strSavedDeparture = m_strDeparture;
    m_saved.m_strSavedDepDate = m_strDepDate;
}
