// The scripted test run and the two-second flight query, against a fixture
// server that answers from its own poll. The run holds the "Special test"
// handler until it ends, so everything the test does during a run happens
// in the responder's hook, inside the run's waits.

#include "form/settingsstore.h"
#include "session/inetsocket.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace testsupport;

namespace {

QByteArray Nul(QByteArray tildeText)
{
    return tildeText.replace('~', '\0');
}

const QByteArray kOptions = "##SETOPTIONS~MAXHITS=500~FARESPERREQUEST=25~DEPARTURESEPARATOR=, ~"
                            "ENDOFSETTOKEN=\\EOS\\~USEENDOFSETTOKEN=0~ONLYMATCHINGAIRPORTS=1~"
                            "DATEFORMAT=%D.%M.%Y~WDSURCHARGESUFFIX=*~MAKEDEFAULT=0~~";
const QByteArray kDefaultStart =
    "##STARTQUERY~SUPPLIER=DER~DEPARTURE=FRA~ARRIVAL=JFK~DEPARTUREDATE=15052000~DURATION=30~"
    "ECONOMY=1~BUSINESS=1~FIRST=1~RETURNVALUETYPE=2~CURRENCY=DEM~INBOUNDDEPARTURE=LAX~"
    "INBOUNDARRIVAL=FRA~OPENJAW=1~~";
// Options, output mask, start query, fare blocks 2 to 9, close.
constexpr int kRoundLength = 12;
constexpr int kMaskIndex = 1;

// The texts of one round as the message field holds them; the output mask
// is checked on its own.
QByteArrayList RoundTexts(const QByteArray &start)
{
    QByteArrayList texts{kOptions, QByteArray(), start};
    for (int block = 2; block <= 9; ++block)
        texts << "##GETFAREBLOCK~" + QByteArray::number(block) + "~~";
    return texts << "##CLOSECONNECTION~~";
}

// Answers every complete request the fixture has seen with one line and the
// closing field. It polls rather than answering from the fixture's read, so
// that a client which did not wait for an answer is caught: requests seen in
// the same poll share the count of answers written before them.
class Responder : public QObject
{
public:
    // The hook runs for each request before it is answered; false leaves the
    // request unanswered.
    using Hook = std::function<bool(int index)>;
    Responder(FixtureServer &server, Hook hook) : m_server(server), m_hook(std::move(hook))
    {
        connect(&m_timer, &QTimer::timeout, this, &Responder::poll);
        m_timer.start(5);
    }

    QList<int> answersBefore;
    int answered = 0;

private:
    void poll()
    {
        if (m_busy)
            return;
        m_busy = true;
        const int seen = int(m_server.requests.size());
        for (int i = int(answersBefore.size()); i < seen; ++i)
            answersBefore << answered;
        while (m_next < seen) {
            const int index = m_next++;
            if (!m_hook || m_hook(index)) {
                m_server.send(Nul("ANSWER " + QByteArray::number(index) + "~~"));
                ++answered;
            }
        }
        m_busy = false;
    }

    FixtureServer &m_server;
    Hook m_hook;
    QTimer m_timer;
    int m_next = 0;
    bool m_busy = false;
};

} // namespace

class TestAutomation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rounds_data();
    void rounds();
    void secondPressDuringFareBlockWait();
    void unansweredRequestHoldsTheRunUntilServerCloses();
    void connectionThatCannotBeMade();
    void serverGoneBeforeTheNextRound();
    void quitRequestDuringWaitIsDropped();
    void autoQueryTick_data();
    void autoQueryTick();
    void autoQueryOnTheWindowTimer();
    void closeDuringRun_data();
    void closeDuringRun();

private:
    void pressSpecialTest();
    // A run that should have stopped and goes on is stopped here, so that
    // the test fails on its counts instead of hanging.
    Responder::Hook guarded(Responder::Hook hook);
    // Proves that nothing was written before: a later request arrives alone.
    void expectNothingWritten();

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<FixtureServer> m_server;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestAutomation::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_server = std::make_unique<FixtureServer>();
    m_saved = SavedCopies{"FRA", "NYC", "15052000", "127.0.0.1", m_server->port()};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void TestAutomation::cleanup()
{
    m_dlg.reset();
    m_server.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestAutomation::pressSpecialTest()
{
    QTest::mouseClick(m_dlg->control(Ctrl::SpecialTest), Qt::LeftButton);
}

Responder::Hook TestAutomation::guarded(Responder::Hook hook)
{
    return [this, hook](int index) {
        if (index >= 3 * kRoundLength && m_dlg->m_bSpecialTestRunning)
            pressSpecialTest();
        return hook(index);
    };
}

void TestAutomation::expectNothingWritten()
{
    m_dlg->m_strMessage = "##PING~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    QTRY_COMPARE(Tilde(m_server->received()), QByteArray("##PING~~"));
}

void TestAutomation::rounds_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("rounds");
    QTest::newRow("empty field, default start query") << QByteArray() << kDefaultStart << 1;
    const QByteArray own = "##STARTQUERY~DEPARTURE=MUC~ARRIVAL=JFK~~";
    QTest::newRow("own start query, kept for the next round") << own << own << 2;
}

void TestAutomation::rounds()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, start);
    QFETCH(int, rounds);
    // The field's text at the press counts, not an older value of the record.
    m_dlg->m_strMessage = "STALE~~";
    m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText(message);
    const qsizetype historyBefore = m_dlg->m_aMessageHistory.size();
    const int total = rounds * kRoundLength;
    QByteArrayList newestEntry;
    QByteArrayList fieldShows;
    QList<int> blockNumbers;
    QList<int> awaiting;
    Responder responder(*m_server, guarded([&](int index) {
        newestEntry << m_dlg->m_aMessageHistory.constLast();
        fieldShows << m_dlg->control<CFormEdit>(Ctrl::Message)->wireText();
        blockNumbers << m_dlg->m_pSocket->m_nBlockNumber;
        awaiting << m_dlg->m_pSocket->m_bAwaitingReply;
        if (index >= total - 1 && m_dlg->m_bSpecialTestRunning)
            pressSpecialTest(); // stops after the answer in progress
        return true;
    }));
    pressSpecialTest();

    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QVERIFY(m_notes->messages.isEmpty());
    QCOMPARE(m_server->connectionCount(), rounds);
    QCOMPARE(m_server->requests.size(), qsizetype(total));
    QList<int> inOrder;
    for (int i = 0; i < total; ++i)
        inOrder << i;
    QCOMPARE(responder.answersBefore, inOrder);
    QCOMPARE(blockNumbers, QList<int>(total, 1));
    QCOMPARE(awaiting, QList<int>(total, 1));

    const QByteArrayList texts = RoundTexts(start);
    for (int i = 0; i < total; ++i) {
        const QByteArray &request = m_server->requests[i];
        if (i % kRoundLength == kMaskIndex) {
            const QByteArrayList fields = Fields(request);
            QCOMPARE(fields.size(), 162);
            QCOMPARE(request.count('\0'), 163);
            QVERIFY(request.endsWith(QByteArray(2, '\0')));
            QCOMPARE(fields[0], QByteArray("##SETOUTPUTMASK"));
            QCOMPARE(fields[1], QByteArray("MASKTYPE=8"));
            QCOMPARE(fields[2], QByteArray("RECORDSET"));
            QCOMPARE(fields[81], QByteArray("BLACKOUTFLIGHTNUMBERS"));
            for (int k = 2; k < 82; ++k)
                QCOMPARE(fields[k + 80], "IN_" + fields[k]);
        } else {
            QCOMPARE(Tilde(request), texts[i % kRoundLength]);
        }
        // Sent from the message field and recorded as its newest entry.
        QCOMPARE(newestEntry[i], Tilde(request));
        QCOMPARE(fieldShows[i], Tilde(request));
    }
    QCOMPARE(m_dlg->m_aMessageHistory.size(), historyBefore + total);
}

void TestAutomation::secondPressDuringFareBlockWait()
{
    constexpr int kBlock3 = 4;
    Responder responder(*m_server, guarded([&](int index) {
        if (index == kBlock3)
            pressSpecialTest();
        return true;
    }));
    pressSpecialTest();
    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QCOMPARE(m_server->requests.size(), qsizetype(kBlock3 + 1));
    QCOMPARE(Tilde(m_server->requests.constLast()), QByteArray("##GETFAREBLOCK~3~~"));
    QCOMPARE(m_server->connectionCount(), 1);
    // The block 3 wait ended with its answer, not before it.
    QCOMPARE(responder.answered, kBlock3 + 1);
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_notes->messages.isEmpty());
}

void TestAutomation::unansweredRequestHoldsTheRunUntilServerCloses()
{
    bool stillWaiting = false;
    Responder responder(*m_server, guarded([&](int index) {
        if (index != 0)
            return true;
        pressSpecialTest();
        // The press does not cut the wait short: only the server's close ends it.
        QTimer::singleShot(50, this, [&] {
            stillWaiting = m_dlg->m_pSocket->m_bAwaitingReply == 1;
            m_server->closeClean();
        });
        return false;
    }));
    pressSpecialTest();
    QVERIFY(stillWaiting);
    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QCOMPARE(m_server->requests.size(), qsizetype(1));
    QCOMPARE(Tilde(m_server->requests[0]), kOptions);
    QCOMPARE(responder.answered, 0);
}

void TestAutomation::connectionThatCannotBeMade()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    m_dlg->m_nServerPort = port;
    m_dlg->m_strMessage = "START~~";
    m_dlg->UpdateData(false);
    const CStringArray history = m_dlg->m_aMessageHistory;
    QTimer runaway;
    connect(&runaway, &QTimer::timeout, this, [this] {
        if (m_notes->messages.size() > 3 && m_dlg->m_bSpecialTestRunning)
            pressSpecialTest();
    });
    runaway.start(10);
    pressSpecialTest();
    QCOMPARE(m_notes->messages, QStringList{"Socket Fehler: 10061"});
    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QVERIFY(!m_dlg->m_pSocket->isConnected());
    // No request was even tried: none reached the console.
    QCOMPARE(m_dlg->m_aMessageHistory, history);
    QCOMPARE(m_dlg->m_strMessage, QByteArray("START~~"));
}

void TestAutomation::serverGoneBeforeTheNextRound()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    Responder responder(*m_server, guarded([&](int index) {
        if (index == kRoundLength - 1) // the next round connects to a port nobody serves
            m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(port));
        return true;
    }));
    pressSpecialTest();
    QCOMPARE(m_notes->messages, QStringList{"Socket Fehler: 10061"});
    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QCOMPARE(m_server->requests.size(), qsizetype(kRoundLength));
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), QByteArray("##CLOSECONNECTION~~"));
}

void TestAutomation::quitRequestDuringWaitIsDropped()
{
    bool runEnded = false;
    Responder responder(*m_server, guarded([&](int index) {
        if (index == 2)
            QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
        if (index == kRoundLength - 1 && m_dlg->m_bSpecialTestRunning)
            pressSpecialTest();
        return true;
    }));
    QTimer::singleShot(0, this, [&] {
        pressSpecialTest();
        runEnded = true;
        // A quit that got through would have ended the modal run before this.
        QTimer::singleShot(0, m_dlg.get(), [this] { m_dlg->reject(); });
    });
    QCOMPARE(m_dlg->exec(), int(QDialog::Rejected));
    QVERIFY(runEnded);
    QVERIFY(m_dlg->isClosed());
    // The round, then the close step's own close request.
    QTRY_COMPARE(m_server->requests.size(), qsizetype(kRoundLength + 1));
    QCOMPARE(Fields(m_server->requests.constLast()), QByteArrayList{"##CLOSECONNECTION"});
}

void TestAutomation::autoQueryTick_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("inTimerQuery");
    QTest::addColumn<bool>("ownTimer");
    QTest::addColumn<bool>("queries");
    QTest::newRow("check box on") << true << false << true << true;
    QTest::newRow("check box off") << false << false << true << false;
    QTest::newRow("timer query in progress") << true << true << true << false;
    QTest::newRow("another timer") << true << false << false << false;
}

void TestAutomation::autoQueryTick()
{
    QFETCH(bool, checked);
    QFETCH(bool, inTimerQuery);
    QFETCH(bool, ownTimer);
    QFETCH(bool, queries);
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket->isConnected());
    auto *box = m_dlg->control<QCheckBox>(Ctrl::AutoQuery);
    QVERIFY(!box->isVisible());
    if (checked)
        box->click();
    QCOMPARE(m_dlg->m_bAutoQuery, int(checked));
    m_dlg->m_bInTimerQuery = int(inTimerQuery);
    QVERIFY(m_dlg->m_nTimerID != 0);
    m_dlg->OnTimer(ownTimer ? m_dlg->m_nTimerID : m_dlg->m_nTimerID + 1);
    QCOMPARE(m_dlg->m_bInTimerQuery, int(inTimerQuery));
    if (!queries) {
        expectNothingWritten();
        return;
    }
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    QCOMPARE(Fields(m_server->received()).value(0), QByteArray("##STARTQUERY"));
    QCOMPARE(m_dlg->m_strMessage.left(13), QByteArray("##STARTQUERY~"));
}

void TestAutomation::autoQueryOnTheWindowTimer()
{
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket->isConnected());
    m_dlg->control<QCheckBox>(Ctrl::AutoQuery)->click();
    // Two ticks at least: the flight query's own exchange keeps the box on.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->received().size(), qsizetype(2 * 8192), 10000);
    const QByteArray wire = m_server->received();
    QCOMPARE(wire.first(8192), wire.sliced(8192));
    QCOMPARE(Fields(wire).value(0), QByteArray("##STARTQUERY"));
    QCOMPARE(m_dlg->m_bInTimerQuery, 0);
}

void TestAutomation::closeDuringRun_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("answered");
    QTest::newRow("reject") << "reject" << true;
    QTest::newRow("close") << "close" << true;
    QTest::newRow("closed while run modally") << "exec" << true;
    QTest::newRow("closed while the answer is outstanding") << "reject" << false;
}

void TestAutomation::closeDuringRun()
{
    QFETCH(QString, how);
    QFETCH(bool, answered);
    constexpr int kClosedAt = 4;
    bool serverGaveUp = false;
    Responder responder(*m_server, guarded([&](int index) {
        if (index == kClosedAt && !answered) {
            // Should the close not end the wait, the server's close would.
            QTimer::singleShot(5000, m_server.get(), [&] {
                serverGaveUp = true;
                m_server->closeClean();
            });
        }
        if (index == kClosedAt) {
            if (how == QLatin1String("close"))
                m_dlg->close();
            else
                m_dlg->reject();
            // The run is told to stop; the window waits for it to unwind.
            if (m_dlg->isClosed())
                QTest::qFail("closed before the run unwound", __FILE__, __LINE__);
            return answered;
        }
        return true;
    }));
    if (how == QLatin1String("exec")) {
        QTimer::singleShot(0, this, [this] { pressSpecialTest(); });
        QCOMPARE(m_dlg->exec(), int(QDialog::Rejected));
    } else {
        pressSpecialTest();
    }
    QCOMPARE(m_dlg->m_bSpecialTestRunning, 0);
    QVERIFY(!serverGaveUp);
    QVERIFY(m_dlg->isClosed());
    QVERIFY(!m_dlg->isVisible());
    // Nothing of the round after the close; then the close step's request.
    QTRY_COMPARE(m_server->requests.size(), qsizetype(kClosedAt + 2));
    QTRY_VERIFY(m_server->clientDisconnected());
    QCOMPARE(Fields(m_server->requests.constLast()), QByteArrayList{"##CLOSECONNECTION"});
    QCOMPARE(std::count_if(m_server->requests.cbegin(), m_server->requests.cend(),
                           [](const QByteArray &r) { return r.contains("CLOSECONNECTION"); }),
             1);
    QCOMPARE(m_dlg->m_nTimerID, 0);
    const auto store = OpenSettings();
    QCOMPARE(ReadMessageHistory(*store).value(9), QByteArray("##GETFAREBLOCK~3~~"));

    // A second close finds the close step done.
    QFile::remove(m_settings->path());
    m_dlg->reject();
    QVERIFY(!QFile::exists(m_settings->path()));
    QVERIFY(m_notes->messages.isEmpty());
}

QTEST_MAIN(TestAutomation)
#include "tst_automation.moc"
