// The server session end to end: the real window against a fixture server on
// a loopback port, checking the bytes on the wire and the list they produce.

#include "session/inetsocket.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace testsupport;

namespace {
QByteArray Nul(const char *tildeText)
{
    return QByteArray(tildeText).replace('~', '\0');
}
} // namespace

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void connectRefused();
    void connectWhileConnectedDropsOldSilently();
    void flightQueryOnTheWire_data();
    void flightQueryOnTheWire();
    void browsingNumbersAndLines();
    void fareAndRemarksOnEmptyList();
    void lineTooLongIsNotSent();
    void consoleTexts_data();
    void consoleTexts();
    void closeConnectionThenSend();
    void noSessionBehavesAsLostConnection();
    void answerSplitAnywhereGivesSameLines();
    void paddingAndTwoAnswersInOneReceive();
    void elapsedShownOnlyAtCompletion();
    void elapsedFormat_data();
    void elapsedFormat();
    void oneLineMinusFiveEnablesNavigation();
    void serverCloseMidFieldListsThePartialField();
    void resetMidAnswerReportsOnceAndStopsReading();
    void queryDuringReceiveIsDroppedWithBeep();
    void historySteps();

private:
    void connectWindow();
    QStringList lines() const;
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<FixtureServer> m_server;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestSession::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_server = std::make_unique<FixtureServer>();
    m_saved = SavedCopies{"FRA", "NYC", "", "127.0.0.1", m_server->port()};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->m_bBusiness = 0;
    m_dlg->m_bFirst = 0;
    m_dlg->m_nResultMode = 0;
    m_dlg->m_strCurrency.clear();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void TestSession::cleanup()
{
    m_dlg.reset();
    m_server.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestSession::connectWindow()
{
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket && m_dlg->m_pSocket->isConnected());
    QTRY_COMPARE(m_server->connectionCount(), 1);
    QVERIFY(m_notes->messages.isEmpty());
}

QStringList TestSession::lines() const
{
    QStringList out;
    for (qsizetype i = 0; i < m_dlg->m_listResults->count(); ++i)
        out << QString::fromLatin1(m_dlg->m_listResults->text(i));
    return out;
}

void TestSession::connectRefused()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(port));
    QVERIFY(!m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    m_dlg->ConnectToServer();
    QCOMPARE(m_notes->messages, QStringList{"Socket Fehler: 10061"});
    QVERIFY(m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    QCOMPARE(m_saved.m_nSavedPort, qint32(port)); // remembered before the attempt
    m_notes->messages.clear();
    m_dlg->control<CFormEdit>(Ctrl::ServerIP)->setText(QStringLiteral("no-such-host.invalid"));
    m_dlg->ConnectToServer();
    QCOMPARE(m_notes->messages, QStringList{"Socket Fehler: 10022"});
}

void TestSession::connectWhileConnectedDropsOldSilently()
{
    connectWindow();
    QPointer<QTcpSocket> first = m_server->client();
    m_dlg->ConnectToServer();
    QTRY_COMPARE(m_server->connectionCount(), 2);
    QTRY_VERIFY(!first || first->state() == QAbstractSocket::UnconnectedState ||
                first->bytesAvailable() == 0);
    QTRY_VERIFY(!first || first->state() == QAbstractSocket::UnconnectedState);
    QVERIFY(m_server->requests.isEmpty()); // no close request on the old connection
}

void TestSession::flightQueryOnTheWire_data()
{
    QTest::addColumn<bool>("charter");
    QTest::addColumn<QByteArray>("departure");
    QTest::addColumn<QByteArray>("ojDeparture");
    QTest::addColumn<QByteArray>("supplier");
    QTest::addColumn<QByteArray>("stops1");
    QTest::addColumn<int>("tripType");
    QTest::addColumn<int>("resultMode");
    QTest::addColumn<QByteArray>("echo");
    QTest::newRow("first-run values")
        << false << QByteArray("FRA") << QByteArray() << QByteArray() << QByteArray() << 1 << 0
        << QByteArray("##STARTQUERY~DEPARTURE=FRA~ARRIVAL=NYC~ROUNDTRIP=1~RETURN=1~ECONOMY=1~"
                      "BUSINESS=0~FIRST=0~PASSTYPE=N~RETURNVALUETYPE=1~QUERYTYPE=1~~");
    QTest::newRow("open jaw, supplier, star stops, block mode")
        << false << QByteArray("FRA") << QByteArray("LAX") << QByteArray("ABCDEFG")
        << QByteArray("*1") << 0 << 1
        << QByteArray("##STARTQUERY~DEPARTURE=FRA~INBOUNDDEPARTURE=LAX~ARRIVAL=NYC~ROUNDTRIP=0~"
                      "OPENJAW=1~SUPPLIER=ABC~SUPPLIER=DEF~SUPPLIER=G~RETURN=0~ECONOMY=1~"
                      "BUSINESS=0~FIRST=0~PASSTYPE=N~RETURNVALUETYPE=2~QUERYTYPE=1~~");
    QTest::newRow("charter, no trip type")
        << true << QByteArray("FRA") << QByteArray() << QByteArray("ABC") << QByteArray("1") << -1
        << 0
        << QByteArray("##STARTQUERY~DEPARTURE=FRA~ARRIVAL=NYC~ROUNDTRIP=0~RETURN=0~"
                      "RETURNVALUETYPE=1~QUERYTYPE=2~~");
}

void TestSession::flightQueryOnTheWire()
{
    QFETCH(bool, charter);
    QFETCH(QByteArray, departure);
    QFETCH(QByteArray, ojDeparture);
    QFETCH(QByteArray, supplier);
    QFETCH(QByteArray, stops1);
    QFETCH(int, tripType);
    QFETCH(int, resultMode);
    QFETCH(QByteArray, echo);
    connectWindow();
    m_dlg->m_strDeparture = departure;
    m_dlg->m_strOJDeparture = ojDeparture;
    m_dlg->m_strSupplier = supplier;
    m_dlg->m_strStops1 = stops1;
    m_dlg->m_nTripType = tripType;
    m_dlg->m_nResultMode = resultMode;
    m_dlg->UpdateData(false);
    m_dlg->m_listResults->addLine("old line");
    QTest::mouseClick(m_dlg->control(charter ? Ctrl::CharterQuery : Ctrl::FlightQuery),
                      Qt::LeftButton);
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    const QByteArray wire = m_server->received();
    QCOMPARE(Tilde(wire.first(echo.size())), echo);
    QCOMPARE(wire.count('\0'), wire.size() - echo.size() + echo.count('~'));
    QCOMPARE(m_dlg->m_strMessage, echo);
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    QVERIFY(!m_dlg->control(Ctrl::FlightQuery)->isEnabled());
    QVERIFY(!m_dlg->control(Ctrl::Next)->isEnabled());
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Stops1)->wireText(), stops1);
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0); // fixed blocks do not await
}

void TestSession::browsingNumbersAndLines()
{
    connectWindow();
    m_dlg->OnFlightQuery();
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    m_server->take();
    const auto expectBlock = [this](const char *request) {
        QTRY_COMPARE(m_server->received().size(), qsizetype(100));
        QCOMPARE(Fields(m_server->take()), Fields(Nul(request)));
    };
    m_dlg->OnPrevious();
    expectBlock("##GETFAREBLOCK~0~~");
    m_dlg->OnPrevious();
    expectBlock("##GETFAREBLOCK~-1~~");
    m_dlg->OnNext();
    expectBlock("##GETFAREBLOCK~0~~");
    m_dlg->OnFlightQuery();
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    m_server->take();
    m_dlg->OnNext();
    expectBlock("##GETFAREBLOCK~2~~");
    QCOMPARE(m_dlg->m_strMessage, QByteArray("##GETFAREBLOCK~2~~"));
    m_server->send(Nul("FARE A~4711-2~FARE C~~"));
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    QVERIFY(done.wait());
    m_dlg->m_listResults->setCurrentIndex(m_dlg->m_listResults->model()->index(1, 0));
    m_dlg->OnGetTariff();
    expectBlock("##GETFARE~4711-2~~");
    QCOMPARE(m_dlg->m_strMessage, QByteArray("##GETFARE~4711-2~~"));
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    m_dlg->m_listResults->addLine("4711-2");
    m_dlg->OnRemarks();
    QTRY_COMPARE(m_server->received().size(), qsizetype(100));
    QCOMPARE(Tilde(m_server->take()).first(38), QByteArray("##GETFAREFIELDFROMSET~4711-2~REMARKS~~"));
    m_dlg->OnNext();
    expectBlock("##GETFAREBLOCK~3~~");
}

void TestSession::fareAndRemarksOnEmptyList()
{
    connectWindow();
    m_dlg->OnGetTariff();
    QTRY_COMPARE(m_server->received().size(), qsizetype(100));
    QCOMPARE(Tilde(m_server->take()).first(12), QByteArray("##GETFARE~~~"));
    QCOMPARE(m_dlg->m_strMessage, QByteArray("##GETFARE~~"));
    m_dlg->OnRemarks();
    QTRY_COMPARE(m_server->received().size(), qsizetype(100));
    const QByteArray wire = m_server->take();
    QCOMPARE(Tilde(wire.first(31)), QByteArray("##GETFAREFIELDFROMSET~~REMARKS~"));
    QCOMPARE(m_dlg->m_strMessage, QByteArray("##GETFAREFIELDFROMSET~~"));
}

void TestSession::lineTooLongIsNotSent()
{
    connectWindow();
    m_dlg->m_listResults->addLine(QByteArray(89, 'L'));
    m_dlg->m_strMessage = "UNCHANGED";
    m_dlg->UpdateData(false);
    m_dlg->OnGetTariff();
    QCOMPARE(m_notes->messages,
             QStringList{"Die Anfrage ist um 1 Byte zu lang und wurde nicht gesendet."});
    m_dlg->m_listResults->addLine(QByteArray(88, 'L'));
    m_dlg->OnGetTariff();
    QTRY_COMPARE(m_server->received().size(), qsizetype(100));
    QCOMPARE(Fields(m_server->received()).value(1), QByteArray(88, 'L'));
}

void TestSession::consoleTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("fare block") << "##getfareblock~2~~" << Nul("##GETFAREBLOCK~2~~");
    QTest::newRow("no closing field") << "##X~A" << Nul("##X~A");
    QTest::newRow("backslash zero") << "A\\0B~~" << Nul("A~B~~");
}

void TestSession::consoleTexts()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, wire);
    connectWindow();
    auto *message = m_dlg->control<CFormEdit>(Ctrl::Message);
    message->clear();
    message->setFocus();
    QTest::keyClicks(message, typed);
    QTest::mouseClick(m_dlg->control(Ctrl::SendMessage), Qt::LeftButton);
    QTRY_COMPARE(m_server->received(), wire);
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), typed.toUpper().toLatin1());
}

void TestSession::closeConnectionThenSend()
{
    connectWindow();
    QTest::mouseClick(m_dlg->control(Ctrl::CloseConn), Qt::LeftButton);
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    QCOMPARE(Fields(m_server->received()), QByteArrayList{"##CLOSECONNECTION"});
    QTRY_VERIFY(m_server->clientDisconnected());
    m_dlg->m_strMessage = "##GETFAREBLOCK~2~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    m_dlg->OnNext();
    QCOMPARE(m_notes->messages, QStringList(2, kLostConnection));
}

void TestSession::noSessionBehavesAsLostConnection()
{
    m_dlg->m_listResults->addLine("x");
    m_dlg->OnFlightQuery();
    QCOMPARE(m_notes->messages, QStringList{kLostConnection});
    QVERIFY(m_dlg->m_strMessage.startsWith("##STARTQUERY~DEPARTURE=FRA~"));
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    m_dlg->m_strMessage = "HELLO~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    QCOMPARE(m_notes->messages.size(), 2);
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), QByteArray("HELLO~~"));
    m_dlg->OnCloseConnection(); // nothing to close: no message, no crash
    QCOMPARE(m_notes->messages.size(), 2);
}

void TestSession::answerSplitAnywhereGivesSameLines()
{
    connectWindow();
    const QByteArray answer = Nul("FARE 1\t@LH~FARE 2~\xe4\xff~~");
    const QStringList expected{"FARE 1\t@LH", "FARE 2", QString::fromLatin1("\xe4\xff")};
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    for (qsizetype cut = 0; cut <= answer.size(); ++cut) {
        m_dlg->m_listResults->resetContent();
        m_server->send(answer.first(cut));
        m_server->send(answer.sliced(cut));
        QTRY_COMPARE(done.size(), int(cut) + 1);
        QCOMPARE(lines(), expected);
    }
    m_dlg->m_listResults->resetContent();
    m_server->sendBytewise(answer);
    QTRY_COMPARE(done.size(), int(answer.size()) + 2);
    QCOMPARE(lines(), expected);
}

void TestSession::paddingAndTwoAnswersInOneReceive()
{
    connectWindow();
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    m_server->send(Nul("~~~~A~B~~~~~C~~"));
    QTRY_COMPARE(done.size(), 2);
    QCOMPARE(lines(), (QStringList{"A", "B", "C"}));
}

void TestSession::elapsedShownOnlyAtCompletion()
{
    connectWindow();
    m_dlg->m_strMessage = "##PING~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    auto *elapsed = m_dlg->control<CFormEdit>(Ctrl::Elapsed);
    m_server->send(Nul("LINE~"));
    QTRY_COMPARE(m_dlg->m_listResults->count(), qsizetype(1));
    QCOMPARE(elapsed->text(), QString());
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    // Whatever is typed elsewhere survives the completion.
    m_dlg->control<CFormEdit>(Ctrl::Airline1)->setText(QStringLiteral("LH"));
    m_server->send(Nul("~"));
    QTRY_COMPARE(elapsed->text(), QStringLiteral("00:00:00"));
    QVERIFY(elapsed->toolTip().endsWith(QLatin1String(" ms")));
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Airline1)->text(), QStringLiteral("LH"));
}

void TestSession::elapsedFormat_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("65 s") << qint64(65000) << "00:01:05";
    QTest::newRow("1 h 1 min 5 s") << qint64(3665000) << "01:01:05";
    QTest::newRow("a day and 5 s") << qint64(86405000) << "00:00:05";
    QTest::newRow("under a second") << qint64(999) << "00:00:00";
    QTest::newRow("negative") << qint64(-5000) << "00:00:00";
}

void TestSession::elapsedFormat()
{
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(FormatElapsed(ms), text);
}

void TestSession::oneLineMinusFiveEnablesNavigation()
{
    connectWindow();
    m_dlg->m_nResultMode = 1;
    m_dlg->UpdateData(false);
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    m_server->send(Nul("BLOCK 1 OF 3-5~~"));
    QVERIFY(done.wait());
    QVERIFY(m_dlg->control(Ctrl::Next)->isEnabled());
    QVERIFY(m_dlg->control(Ctrl::Previous)->isEnabled());
    QVERIFY(m_dlg->control(Ctrl::FlightQuery)->isEnabled());
}

void TestSession::serverCloseMidFieldListsThePartialField()
{
    connectWindow();
    m_dlg->m_strMessage = "##PING~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    m_server->send(Nul("WHOLE~HAL"));
    m_server->closeClean();
    QTRY_COMPARE(lines(), (QStringList{"WHOLE", "HAL"}));
    QTRY_COMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QVERIFY(m_notes->messages.isEmpty());
}

void TestSession::resetMidAnswerReportsOnceAndStopsReading()
{
    connectWindow();
    m_server->send(Nul("ONE~TW"));
    QTRY_COMPARE(m_dlg->m_listResults->count(), qsizetype(1));
    m_server->reset();
    QTRY_COMPARE(m_notes->messages, QStringList{kLostConnection});
    QCOMPARE(lines(), (QStringList{"ONE", "TW"}));
    QCOMPARE(m_dlg->m_pSocket->m_bReading, 1); // this session reads nothing more
    // A new Connect works afterwards.
    m_dlg->ConnectToServer();
    QTRY_COMPARE(m_server->connectionCount(), 2);
    m_dlg->m_listResults->resetContent();
    m_server->send(Nul("AGAIN~~"));
    QTRY_COMPARE(lines(), QStringList{"AGAIN"});
}

void TestSession::queryDuringReceiveIsDroppedWithBeep()
{
    connectWindow();
    m_dlg->m_pSocket->m_bInReceive = 1; // as inside a modal box of the receive path
    m_dlg->OnFlightQuery();
    QCOMPARE(m_notes->beeps, 1);
    m_dlg->m_pSocket->m_bInReceive = 0;
    m_dlg->OnFlightQuery();
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
}

void TestSession::historySteps()
{
    connectWindow();
    m_dlg->m_aMessageHistory = CStringArray(10);
    m_dlg->m_nHistoryIndex = 9;
    const auto send = [this](const QByteArray &text) {
        m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText(text);
        m_dlg->OnSendMessage();
    };
    send("A~~");
    send("A~~");
    QCOMPARE(m_dlg->m_aMessageHistory.size(), qsizetype(11));
    send("B~~");
    QCOMPARE(m_dlg->m_nHistoryIndex, 11);
    m_dlg->control<CFormEdit>(Ctrl::Airline1)->setText(QStringLiteral("TYPED"));
    m_dlg->OnHistorySpin(-1);
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Message)->wireText(), QByteArray("A~~"));
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Airline1)->text(), QStringLiteral("TYPED"));
    m_dlg->OnSendMessage(); // resent from an older position: appended again
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), QByteArray("A~~"));
    QCOMPARE(m_dlg->m_nHistoryIndex, 12);
    m_dlg->OnHistorySpin(+1);
    QCOMPARE(m_notes->beeps, 1);
    QCOMPARE(m_dlg->m_nHistoryIndex, 12);
    for (int i = 0; i < 12; ++i)
        m_dlg->OnHistorySpin(-1);
    QCOMPARE(m_dlg->m_nHistoryIndex, 0);
    QCOMPARE(m_notes->beeps, 1);
    m_dlg->OnHistorySpin(-1);
    QCOMPARE(m_notes->beeps, 2);
    QCOMPARE(m_dlg->m_nHistoryIndex, 0);
    // Sending the newest entry's text from an older position adds nothing.
    m_dlg->control<CFormEdit>(Ctrl::Message)->setWireText("A~~");
    m_dlg->OnSendMessage();
    QCOMPARE(m_dlg->m_nHistoryIndex, 0);
    QCOMPARE(m_dlg->m_aMessageHistory.size(), qsizetype(13));
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
