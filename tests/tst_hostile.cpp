// Servers that misbehave: the real window against the demo server's awkward
// options and against scripted peers on a thread of their own. For each case
// the program must not crash, must keep its event loop turning, must list
// every complete field (and the cut one when the server closes), must say
// exactly what it says for that ending, and must connect anew afterwards.
//
// The longest event-loop stall of each case is printed; it is asserted only
// against a bound that a hang would break, since speed is the benchmark's
// business.

#include "fareserver.h"
#include "session/inetsocket.h"
#include "session/wiretext.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/resultlistmodel.h"
#include "ui/widgets.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace testsupport;

namespace {

constexpr qint64 kStallBoundMs = 2000;
// How long a case waits for something that must not happen.
constexpr int kQuietMs = 500;
constexpr int kWaitMs = 30000;

const QByteArray kAirports = "##GETAIRPORTS~FILTER=~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                             "WANTCITYNAME~WANTAIRPORTNAME~~";
const QByteArray kLufthansa = "##GETAIRLINES~FILTER=LH~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~";
const QByteArray kPing = "##PING~~";

QByteArray Nul(QByteArray tildeText)
{
    return tildeText.replace('~', '\0');
}

// What the list must show for a byte stream: every non-empty text before a
// NUL, in order, and with closedAfter the text still open at the end.
QByteArrayList ExpectedLines(const QByteArray &stream, bool closedAfter)
{
    QByteArrayList lines = stream.split('\0');
    const QByteArray open = lines.takeLast();
    lines.removeAll(QByteArray());
    if (closedAfter && !open.isEmpty())
        lines.append(open);
    return lines;
}

// An answer ends wherever a field is followed by an empty one.
int ExpectedCompletions(const QByteArray &stream)
{
    int n = 0;
    for (qsizetype i = 2; i < stream.size(); ++i) {
        if (stream[i] == '\0' && stream[i - 1] == '\0' && stream[i - 2] != '\0')
            ++n;
    }
    return n;
}

// The answer a well-behaved demo server gives, read with a plain socket.
QByteArray PlainAnswer(const QByteArray &tildeRequest)
{
    FareServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return {};
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(Nul(tildeRequest));
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (!answer.endsWith(QByteArrayView("\0\0", 2)) && clock.elapsed() < kWaitMs) {
        QTest::qWait(1); // the server lives on this thread
        answer += socket.readAll();
    }
    return answer;
}

// Bytes drawn from [low, high] with a NUL after every run of 1 to maxRun of
// them (maxRun 0: no NUL at all).
QByteArray Garbage(qsizetype size, int low, int high, int maxRun, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes;
    bytes.reserve(size);
    int run = maxRun > 0 ? random.bounded(1, maxRun + 1) : -1;
    while (bytes.size() < size) {
        if (run == 0) {
            bytes.append('\0');
            run = random.bounded(1, maxRun + 1);
        } else {
            bytes.append(char(random.bounded(low, high + 1)));
            --run;
        }
    }
    return bytes;
}

struct CaseReport
{
    QByteArray name;
    qsizetype lines = 0;
    int completions = 0;
    QStringList messages;
    qint64 stallMs = 0;
    qint64 elapsedMs = 0;
    bool reconnected = false;
};

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void oneByteAtATime();
    void closingFieldAloneAfterPause();
    void megabytesWithoutNul_data();
    void megabytesWithoutNul();
    void tenMillionTinyFields();
    void binaryGarbage_data();
    void binaryGarbage();
    void resetMidAnswer();
    void closeMidField();
    void acceptsAndNeverAnswers();
    void neverCompletes();

private:
    void connectTo(quint16 port);
    void sendConsole(const QByteArray &tildeText);
    // Starts the stall meter and the clock of the case.
    void begin();
    // Stops the meter, records and prints what the case saw.
    void end();
    bool linesAre(const QByteArrayList &expected) const;
    // The session saw the server close its side.
    bool serverGone() const;
    // Connect to a well-behaved server and get an answer listed.
    void expectReconnectWorks();

    QByteArray m_airports; // the plain answer's bytes
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
    std::unique_ptr<QSignalSpy> m_done;
    StallMeter m_meter;
    QElapsedTimer m_clock;
    CaseReport m_case;
    QList<CaseReport> m_reports;
};

void TestHostile::initTestCase()
{
    m_airports = PlainAnswer(kAirports);
    QVERIFY(m_airports.endsWith(QByteArrayView("\0\0", 2)));
    // Enough fields that cuts and pieces fall inside the answer.
    QVERIFY(ExpectedLines(m_airports, false).size() > 5);
}

void TestHostile::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_saved = SavedCopies{"FRA", "NYC", "", "127.0.0.1", 7000};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    m_done = std::make_unique<QSignalSpy>(m_dlg.get(), &CQueryDlg::answerCompleted);
    m_case = CaseReport{QTest::currentTestFunction(), 0, 0, {}, 0, 0, false};
    if (QTest::currentDataTag())
        m_case.name += QByteArray(" / ") + QTest::currentDataTag();
}

void TestHostile::cleanup()
{
    m_reports.append(m_case);
    m_done.reset();
    m_dlg.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestHostile::cleanupTestCase()
{
    qInfo("%-50s %10s %6s %-44s %8s %s", "case", "lines", "ends", "messages", "stall", "reconnect");
    for (const CaseReport &r : std::as_const(m_reports)) {
        qInfo("%-50s %10lld %6d %-44s %5lld ms %s", r.name.constData(), qlonglong(r.lines),
              r.completions,
              qPrintable(r.messages.isEmpty() ? QStringLiteral("(none)") : r.messages.join(" | ")),
              qlonglong(r.stallMs), r.reconnected ? "ok" : "-");
    }
}

void TestHostile::connectTo(quint16 port)
{
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(port));
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket && m_dlg->m_pSocket->isConnected());
    QVERIFY(m_notes->messages.isEmpty());
}

void TestHostile::sendConsole(const QByteArray &tildeText)
{
    m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText(tildeText);
    m_dlg->OnSendMessage();
}

void TestHostile::begin()
{
    m_done->clear();
    m_meter.start();
    m_clock.start();
}

void TestHostile::end()
{
    // The window must also show what it holds: painting a line costs time
    // too, so the list is brought up to date and painted under the meter.
    const CResultList *list = m_dlg->m_listResults;
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), int(list->count()), kWaitMs);
    m_dlg->repaint();
    m_case.stallMs = m_meter.stop();
    m_case.elapsedMs = m_clock.elapsed();
    m_case.lines = m_dlg->m_listResults->count();
    m_case.completions = int(m_done->size());
    m_case.messages = m_notes->messages;
    qInfo("%s: %lld lines, %d completions, longest stall %lld ms, %lld ms in all",
          m_case.name.constData(), qlonglong(m_case.lines), m_case.completions,
          qlonglong(m_case.stallMs), qlonglong(m_case.elapsedMs));
    QVERIFY2(m_case.stallMs < kStallBoundMs, QByteArray::number(m_case.stallMs));
}

bool TestHostile::linesAre(const QByteArrayList &expected) const
{
    const CResultList *list = m_dlg->m_listResults;
    if (list->count() != expected.size())
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (list->lines()->lineView(i) != expected[i])
            return false;
    }
    return true;
}

bool TestHostile::serverGone() const
{
    return m_dlg->m_pSocket->socket().state() == QAbstractSocket::UnconnectedState;
}

void TestHostile::expectReconnectWorks()
{
    const QStringList before = m_notes->messages;
    FareServer good;
    QVERIFY(good.listen(QHostAddress::LocalHost, 0));
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(good.serverPort()));
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket && m_dlg->m_pSocket->isConnected());
    m_done->clear();
    sendConsole(kLufthansa);
    QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), 1, kWaitMs);
    QVERIFY(linesAre({"LH@LUFTHANSA"}));
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Elapsed)->text(), QStringLiteral("00:00:00"));
    QCOMPARE(m_notes->messages.join(" | "), before.join(" | "));
    m_case.reconnected = true;
}

// --- the cases ------------------------------------------------------------

void TestHostile::oneByteAtATime()
{
    FareServerOptions options;
    options.pieceBytes = 1;
    options.piecePauseMs = 1;
    ThreadedFareServer server(options);
    connectTo(server.port());
    begin();
    sendConsole(kAirports);
    QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), 1, kWaitMs);
    end();
    QVERIFY(linesAre(ExpectedLines(m_airports, false)));
    QVERIFY(m_notes->messages.isEmpty());
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    expectReconnectWorks();
}

void TestHostile::closingFieldAloneAfterPause()
{
    FareServerOptions options;
    options.terminatorDelayMs = 400;
    ThreadedFareServer server(options);
    connectTo(server.port());
    begin();
    sendConsole(kAirports);
    const QByteArrayList expected = ExpectedLines(m_airports, false);
    QTRY_VERIFY_WITH_TIMEOUT(linesAre(expected), kWaitMs);
    // Every field is there; the answer is not over until its closing field.
    QCOMPARE(m_done->size(), 0);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Elapsed)->text(), QString());
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), 1, kWaitMs);
    end();
    QVERIFY(linesAre(expected));
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Elapsed)->text(), QStringLiteral("00:00:00"));
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

void TestHostile::megabytesWithoutNul_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::addColumn<bool>("close");
    QTest::newRow("then the closing NULs") << Nul("~~") << false;
    QTest::newRow("then one NUL, then a close") << Nul("~") << true;
    QTest::newRow("then a close") << QByteArray() << true;
}

void TestHostile::megabytesWithoutNul()
{
    QFETCH(QByteArray, ending);
    QFETCH(bool, close);
    const QByteArray field = Garbage(16 << 20, 0x01, 0xFF, 0, 7);
    const QByteArray stream = field + ending;
    ScriptedPeer peer([&](PeerConnection &c) {
        if (!c.readRequest() || !c.send(stream))
            return;
        if (close)
            c.closeClean();
        else
            c.holdOpen();
    });
    connectTo(peer.port());
    begin();
    sendConsole(kPing);
    if (close)
        QTRY_VERIFY_WITH_TIMEOUT(serverGone(), kWaitMs);
    else
        QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), 1, kWaitMs);
    end();
    QVERIFY(linesAre({field}));
    // The list keeps every byte but shows only the start of such a line.
    const QString shown = m_dlg->m_listResults->model()->index(0, 0).data().toString();
    QCOMPARE(shown.size(), ResultListModel::kMaxShownChars + 1); // and the ellipsis
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QVERIFY(shown.startsWith(WireToText(field.first(field.indexOf('\t')))));
    QCOMPARE(m_done->size(), ExpectedCompletions(stream));
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

void TestHostile::tenMillionTinyFields()
{
    constexpr qsizetype kFields = 10'000'000;
    QByteArray stream;
    stream.reserve(2 * kFields + 1);
    for (qsizetype i = 0; i < kFields; ++i)
        stream.append("A\0", 2);
    stream.append('\0');
    ScriptedPeer peer([&](PeerConnection &c) {
        if (c.readRequest() && c.send(stream))
            c.holdOpen();
    });
    connectTo(peer.port());
    begin();
    sendConsole(kPing);
    QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), 1, 120000);
    end();
    const CResultList *list = m_dlg->m_listResults;
    QCOMPARE(list->count(), kFields);
    for (qsizetype i = 0; i < kFields; ++i) {
        if (list->lines()->lineView(i) != "A")
            QFAIL(qPrintable(QStringLiteral("line %1 differs").arg(i)));
    }
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

void TestHostile::binaryGarbage_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("close");
    constexpr qsizetype kSize = 1 << 20;
    QTest::newRow("0x80-0xFF in fields, answer closed")
        << Garbage(kSize, 0x80, 0xFF, 300, 1) + Nul("~~") << false;
    QTest::newRow("0x01-0x1F in fields, answer closed")
        << Garbage(kSize, 0x01, 0x1F, 300, 2) + Nul("~~") << false;
    QTest::newRow("0x00-0xFF at random, then a close") << Garbage(kSize, 0x00, 0xFF, 0, 3) << true;
    QTest::newRow("0x80-0xFF, short fields, stray NULs, then a close")
        << Garbage(kSize, 0x80, 0xFF, 3, 4) + Nul("~~~~") + Garbage(1000, 0x80, 0xFF, 0, 5) << true;
}

void TestHostile::binaryGarbage()
{
    QFETCH(QByteArray, stream);
    QFETCH(bool, close);
    // Written in uneven pieces so the receives cut fields anywhere.
    ScriptedPeer peer([&](PeerConnection &c) {
        if (!c.readRequest())
            return;
        QRandomGenerator random(99);
        for (qsizetype pos = 0; pos < stream.size();) {
            const qsizetype n = std::min<qsizetype>(random.bounded(1, 70000), stream.size() - pos);
            if (!c.send(QByteArrayView(stream).sliced(pos, n)))
                return;
            pos += n;
        }
        if (close)
            c.closeClean();
        else
            c.holdOpen();
    });
    const int completions = ExpectedCompletions(stream);
    connectTo(peer.port());
    begin();
    sendConsole(kPing);
    if (close)
        QTRY_VERIFY_WITH_TIMEOUT(serverGone(), kWaitMs);
    else
        QTRY_COMPARE_WITH_TIMEOUT(m_done->size(), completions, kWaitMs);
    end();
    QVERIFY(linesAre(ExpectedLines(stream, close)));
    QCOMPARE(m_done->size(), completions);
    if (close)
        QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

void TestHostile::resetMidAnswer()
{
    FareServerOptions options;
    options.resetMidAnswer = true;
    ThreadedFareServer server(options);
    connectTo(server.port());
    begin();
    sendConsole(kAirports);
    QTRY_COMPARE_WITH_TIMEOUT(m_notes->messages, QStringList{kLostConnection}, kWaitMs);
    end();
    // The server resets once half of its answer has left.
    const QByteArray half = m_airports.first(m_airports.size() / 2);
    QVERIFY(linesAre(ExpectedLines(half, true)));
    QCOMPARE(m_done->size(), 0);
    QCOMPARE(m_dlg->m_pSocket->m_bReading, 1); // this session reads nothing more
    QVERIFY(m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    expectReconnectWorks();
    QCOMPARE(m_notes->messages, QStringList{kLostConnection}); // said once only
}

void TestHostile::closeMidField()
{
    FareServerOptions options;
    options.closeMidField = true;
    ThreadedFareServer server(options);
    connectTo(server.port());
    begin();
    sendConsole(kAirports);
    QTRY_VERIFY_WITH_TIMEOUT(serverGone(), kWaitMs);
    end();
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    // The server closes halfway through the first field.
    const QByteArray first = ExpectedLines(m_airports, false).first();
    QVERIFY(linesAre({first.first(first.size() / 2)}));
    QCOMPARE(m_done->size(), 0);
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

void TestHostile::acceptsAndNeverAnswers()
{
    ScriptedPeer peer([](PeerConnection &c) {
        if (c.readRequest())
            c.holdOpen();
    });
    connectTo(peer.port());
    begin();
    sendConsole(kPing);
    QTRY_COMPARE_WITH_TIMEOUT(peer.requestsRead(), 1, kWaitMs);
    QVERIFY(!m_done->wait(kQuietMs));
    end();
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
    QTRY_COMPARE_WITH_TIMEOUT(peer.scriptsDone(), 1, kWaitMs); // it saw the old session go
}

void TestHostile::neverCompletes()
{
    FareServerOptions options;
    options.omitTerminator = true;
    ThreadedFareServer server(options);
    connectTo(server.port());
    begin();
    sendConsole(kAirports);
    const QByteArrayList expected = ExpectedLines(m_airports, false);
    QTRY_VERIFY_WITH_TIMEOUT(linesAre(expected), kWaitMs);
    QVERIFY(!m_done->wait(kQuietMs));
    end();
    QVERIFY(linesAre(expected));
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Elapsed)->text(), QString());
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    QVERIFY(m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    QVERIFY(m_notes->messages.isEmpty());
    expectReconnectWorks();
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
