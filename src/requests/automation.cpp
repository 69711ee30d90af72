// The scripted test run and the two-second flight query.

#include "requests/scriptedtexts.h"
#include "session/inetsocket.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int kPollMs = 100;

// While the run waits, a request to quit the application is dropped: it
// would end every event loop, the window's own included.
class QuitDropper : public QObject
{
public:
    QuitDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~QuitDropper() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::Quit; }
};

} // namespace

void PumpWaitingMessages()
{
    const QuitDropper dropper;
    QCoreApplication::processEvents();
}

void CQueryDlg::OnAutoQueryCheck()
{
    UpdateData(true);
}

void CQueryDlg::OnTimer(int timerId)
{
    if (timerId != m_nTimerID || m_bInTimerQuery || !m_bAutoQuery || m_bConnecting)
        return;
    m_bInTimerQuery = 1;
    OnFlightQuery();
    m_bInTimerQuery = 0;
}

void CQueryDlg::OnSpecialTest()
{
    m_bSpecialTestRunning = m_bSpecialTestRunning ? 0 : 1;
    if (!m_bSpecialTestRunning)
        return; // the run in progress stops at its next check
    // What the message field shows at the press, even if not yet taken into
    // the record: the operator typed it to be the start query.
    const QByteArray typed = control<CFormEdit>(Ctrl::Message)->wireText();
    const QByteArray startQuery = typed.isEmpty() ? kDefaultStartQuery : typed;
    ++m_nRunDepth;
    while (m_bSpecialTestRunning) {
        if (!Connect()) {
            // One message, then stop: a round without a connection would
            // only pile up lost-connection boxes.
            m_bSpecialTestRunning = 0;
            break;
        }
        SendAndWait(kSpecialTestOptions);
        SendAndWait(kSpecialTestOutputMask);
        SendAndWait(startQuery);
        for (int block = 2; block <= 9; ++block)
            SendAndWait(FareBlockText(block));
        SendAndWait(kCloseConnectionText);
        PumpWaitingMessages();
    }
    --m_nRunDepth;
    if (m_nRunDepth == 0 && m_bCloseRequested)
        done(m_nCloseResult);
}

void CQueryDlg::SendAndWait(QByteArray text)
{
    if (!m_bSpecialTestRunning)
        return;
    m_strMessage = text;
    UpdateData(false);
    OnSendMessage();
    const QuitDropper dropper;
    while (m_pSocket && m_pSocket->m_bAwaitingReply && !m_bCloseRequested) {
        QEventLoop pause;
        QTimer::singleShot(kPollMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
}
