#include "ui/querydlg.h"

#include "form/settingsstore.h"
#include "session/inetsocket.h"
#include "ui/aboutdlg.h"
#include "ui/programicon.h"
#include "ui/querydlg_layout.h"
#include "ui/resultlistmodel.h"
#include "ui/resultlistactions.h"
#include "ui/widgets.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSettings>
#include <QTimerEvent>

namespace {
constexpr int kTimerPeriodMs = 2000;
} // namespace

CQueryDlg::CQueryDlg(SavedCopies &saved, QWidget *parent)
    : QDialog(parent), m_saved(saved), m_hIcon(ProgramIcon())
{
    m_strDeparture = saved.m_strSavedDeparture;
    m_strArrival = saved.m_strSavedArrival;
    m_strDepDate = saved.m_strSavedDepDate;
    m_strServerIP = saved.m_strSavedServerIP;
    m_nServerPort = quint32(saved.m_nSavedPort);

    setWindowTitle(QStringLiteral("Fare Probe"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    BuildControls(this, MainWindowControls(), kMainWindowWidth, kMainWindowHeight);
    m_listResults = control<CResultList>(Ctrl::ResultList);
    new ResultListActions(m_listResults);
    ConnectCommands();
}

CQueryDlg::~CQueryDlg() = default;

QWidget *CQueryDlg::control(int id) const
{
    return findChild<QWidget *>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QAbstractButton *CQueryDlg::button(int id) const
{
    return control<QAbstractButton>(id);
}

void CQueryDlg::EnableControl(int id, bool enable)
{
    if (QWidget *w = control(id))
        w->setEnabled(enable);
}

void CQueryDlg::ConnectCommands()
{
    const std::pair<int, void (CQueryDlg::*)()> clicks[] = {
        {Ctrl::Connect, &CQueryDlg::ConnectToServer},
        {Ctrl::CloseConn, &CQueryDlg::OnCloseConnection},
        {Ctrl::FlightQuery, &CQueryDlg::OnFlightQuery},
        {Ctrl::CharterQuery, &CQueryDlg::OnCharterQuery},
        {Ctrl::Next, &CQueryDlg::OnNext},
        {Ctrl::Previous, &CQueryDlg::OnPrevious},
        {Ctrl::GetTariff, &CQueryDlg::OnGetTariff},
        {Ctrl::Remarks, &CQueryDlg::OnRemarks},
        {Ctrl::Booking, &CQueryDlg::OnBooking},
        {Ctrl::AirportCodes, &CQueryDlg::OnAirportCodes},
        {Ctrl::AirlineCodes, &CQueryDlg::OnAirlineCodes},
        {Ctrl::Availability, &CQueryDlg::OnAvailability},
        {Ctrl::EmailBooking, &CQueryDlg::OnEmailBooking},
        {Ctrl::CancelBooking, &CQueryDlg::OnCancelBooking},
        {Ctrl::AvailableFares, &CQueryDlg::OnAvailableFares},
        {Ctrl::SendMessage, &CQueryDlg::OnSendMessage},
        {Ctrl::SpecialTest, &CQueryDlg::OnSpecialTest},
        {Ctrl::AutoQuery, &CQueryDlg::OnAutoQueryCheck},
        {Ctrl::RecordsetsOnly, &CQueryDlg::OnResultViewChanged},
        {Ctrl::TariffsOnBlock, &CQueryDlg::OnResultViewChanged},
    };
    for (const auto &[id, handler] : clicks)
        connect(button(id), &QAbstractButton::clicked, this, handler);
    connect(m_listResults, &CResultList::selectionOrCurrentChanged, this,
            &CQueryDlg::OnResultViewChanged);
    connect(m_listResults, &CResultList::lineDoubleClicked, this,
            &CQueryDlg::OnDblClkResultList);
    connect(control<CHistorySpin>(Ctrl::HistorySpin), &CHistorySpin::stepProposed, this,
            &CQueryDlg::OnHistorySpin);
}

void CQueryDlg::showEvent(QShowEvent *event)
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CQueryDlg::OnInitDialog()
{
    setWindowIcon(m_hIcon);
    UpdateData(false);
    m_nTimerID = startTimer(kTimerPeriodMs);
    EnableControl(Ctrl::FlightQuery, false);
    EnableControl(Ctrl::Next, false);
    EnableControl(Ctrl::Previous, false);
}

void CQueryDlg::UpdateNavigationButtons()
{
    UpdateData(true);
    QByteArrayView tail = "0";
    if (m_listResults->count() >= 1) {
        const QByteArrayView first = m_listResults->lines()->lineView(0);
        tail = first.last(std::min<qsizetype>(2, first.size()));
    }
    const bool enable = m_nResultMode == 1 && (m_listResults->count() > 1 || tail == "-5");
    EnableControl(Ctrl::Next, enable);
    EnableControl(Ctrl::Previous, enable);
}

void CQueryDlg::OnResultViewChanged()
{
    UpdateNavigationButtons();
}

void CQueryDlg::OnDblClkResultList()
{
    UpdateData(true);
    m_strMessage += m_listResults->text(m_listResults->currentLine());
    UpdateData(false);
}

void CQueryDlg::OnSysCommand(unsigned code)
{
    if ((code & ~0xFu) == kAboutCommand) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CQueryDlg::contextMenuEvent(QContextMenuEvent *event)
{
    // The window manager owns the system menu here, so the about entry lives
    // in the window's own context menu.
    QMenu menu(this);
    menu.addAction(QStringLiteral("Inf&o über Fareprobe..."), this,
                   [this] { OnSysCommand(kAboutCommand); });
    menu.exec(event->globalPos());
}

void CQueryDlg::timerEvent(QTimerEvent *event)
{
    OnTimer(event->timerId());
}

void CQueryDlg::done(int result)
{
    if (m_nRunDepth > 0) {
        // A scripted run holds this window's command handler: stop it and
        // close once it has unwound.
        m_bSpecialTestRunning = 0;
        m_bCloseRequested = true;
        m_nCloseResult = result;
        return;
    }
    DestroyWindow();
    QDialog::done(result);
}

void CQueryDlg::DestroyWindow()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    if (m_nTimerID != 0) {
        killTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    if (m_pSocket)
        m_pSocket->Close();
    // What the operator typed since the last exchange is kept too.
    Exchange(true, true);
    const auto store = OpenSettings();
    WriteWindowSettings(*store, *this);
    WriteMessageHistory(*store, m_aMessageHistory);
}
