// Start-up and shut-down: what the settings store holds before, during and
// after a run of the program.

#include "app/queryapp.h"
#include "form/settingsstore.h"
#include "session/inetsocket.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

using namespace testsupport;

class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStartShowsStoreDefaults();
    void valuesComeBackAfterRestart();
    void historyKeepsTheTenNewest();
    void serverAddressOnlyFromConnect();
    void closeTakesWhatWasTypedSilently();
    void windowKeysBeforeApplicationKeys();
    void closeWithSessionSendsCloseRequestFirst();
    void unreadableOrOddStore_data();
    void unreadableOrOddStore();

private:
    // Start-up up to the shown window.
    CQueryDlg *start();
    // Close the window as the operator does and finish the run.
    void finish();
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<CQueryApp> m_app;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestApp::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
}

void TestApp::cleanup()
{
    m_dlg.reset();
    m_app.reset();
    m_notes.reset();
    m_settings.reset();
}

CQueryDlg *TestApp::start()
{
    m_app = std::make_unique<CQueryApp>();
    m_dlg.reset(m_app->InitInstance());
    m_dlg->show();
    return m_dlg.get();
}

void TestApp::finish()
{
    m_dlg->reject(); // Escape or the close box
    QVERIFY(m_dlg->isClosed());
    m_dlg.reset();
    m_app->ExitInstance();
    m_app.reset();
}

static QString Edit(CQueryDlg *dlg, int id)
{
    return dlg->control<CFormEdit>(id)->text();
}

static bool Checked(CQueryDlg *dlg, int id)
{
    return dlg->control<QAbstractButton>(id)->isChecked();
}

void TestApp::firstStartShowsStoreDefaults()
{
    CQueryDlg *dlg = start();
    QCOMPARE(Edit(dlg, Ctrl::ServerIP), QStringLiteral("127.0.0.1"));
    QCOMPARE(Edit(dlg, Ctrl::ServerPort), QStringLiteral("7000"));
    QCOMPARE(Edit(dlg, Ctrl::Departure), QStringLiteral("FRA"));
    QCOMPARE(Edit(dlg, Ctrl::Arrival), QStringLiteral("NYC"));
    QCOMPARE(Edit(dlg, Ctrl::DepDate), QString());
    QCOMPARE(Edit(dlg, Ctrl::Currency), QString());
    QCOMPARE(Edit(dlg, Ctrl::Message), QString());
    QVERIFY(Checked(dlg, Ctrl::Economy));
    QVERIFY(!Checked(dlg, Ctrl::Business));
    QVERIFY(!Checked(dlg, Ctrl::First));
    QVERIFY(Checked(dlg, Ctrl::RoundTrip));
    QVERIFY(Checked(dlg, Ctrl::TTNormal));
    for (int id : {Ctrl::TTYouth, Ctrl::TTSenior, Ctrl::TTPartner, Ctrl::TTEthnic, Ctrl::TTAgent})
        QVERIFY(!Checked(dlg, id));
    QVERIFY(Checked(dlg, Ctrl::RecordsetsOnly));
    QCOMPARE(dlg->m_aMessageHistory, CStringArray(10));
    QCOMPARE(dlg->m_nHistoryIndex, 9);
}

void TestApp::valuesComeBackAfterRestart()
{
    CQueryDlg *dlg = start();
    const QList<std::pair<int, QString>> texts{
        {Ctrl::Departure, "MUC"},   {Ctrl::Arrival, "LAX"},      {Ctrl::DepDate, "15052027"},
        {Ctrl::OJDeparture, "SFO"}, {Ctrl::OJArrival, "HAM"},    {Ctrl::RTDepDate, "14"},
        {Ctrl::Tolerance, "3"},     {Ctrl::Airline1, "LH"},      {Ctrl::Airline2, "UA"},
        {Ctrl::Airline3, "AF"},     {Ctrl::Stops1, "*"},         {Ctrl::Stops2, "1"},
        {Ctrl::Stops3, "2"},        {Ctrl::Supplier, "DERTOUR"}, {Ctrl::Currency, "EUR"},
        {Ctrl::UseCRS, "1A"},
    };
    for (const auto &[id, text] : texts)
        dlg->control<CFormEdit>(id)->setText(text);
    for (int id : {Ctrl::Business, Ctrl::TTAgent, Ctrl::Oneway, Ctrl::TariffsOnBlock})
        dlg->control<QAbstractButton>(id)->setChecked(true);
    dlg->control<QAbstractButton>(Ctrl::Economy)->setChecked(false);
    dlg->m_aMessageHistory.append("##GETFAREBLOCK~2~~");
    finish();

    dlg = start();
    for (const auto &[id, text] : texts)
        QCOMPARE(Edit(dlg, id), text);
    for (int id :
         {Ctrl::Business, Ctrl::TTAgent, Ctrl::Oneway, Ctrl::TariffsOnBlock, Ctrl::TTNormal})
        QVERIFY(Checked(dlg, id));
    QVERIFY(!Checked(dlg, Ctrl::Economy));
    QCOMPARE(Edit(dlg, Ctrl::Message), QStringLiteral("##GETFAREBLOCK~2~~"));
}

void TestApp::historyKeepsTheTenNewest()
{
    CQueryDlg *dlg = start();
    dlg->m_aMessageHistory.clear();
    for (int i = 1; i <= 12; ++i)
        dlg->m_aMessageHistory.append("M" + QByteArray::number(i));
    finish();
    QSettings store(m_settings->path(), QSettings::IniFormat);
    QCOMPARE(store.value("ServerSettings/Message9").toString(), QStringLiteral("M12"));
    QCOMPARE(store.value("ServerSettings/Message0").toString(), QStringLiteral("M3"));
    dlg = start();
    QCOMPARE(dlg->m_strMessage, QByteArray("M12"));
    QCOMPARE(dlg->m_aMessageHistory.first(), QByteArray("M3"));
}

void TestApp::serverAddressOnlyFromConnect()
{
    {
        QSettings store(m_settings->path(), QSettings::IniFormat);
        store.setValue("ServerSettings/ServerIP", "10.9.8.7");
        store.setValue("ServerSettings/Port", 4711);
    }
    CQueryDlg *dlg = start();
    dlg->control<CFormEdit>(Ctrl::ServerIP)->setText(QStringLiteral("192.0.2.1"));
    dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QStringLiteral("9999"));
    dlg->UpdateData(true);
    finish();
    QSettings store(m_settings->path(), QSettings::IniFormat);
    QCOMPARE(store.value("ServerSettings/ServerIP").toString(), QStringLiteral("10.9.8.7"));
    QCOMPARE(store.value("ServerSettings/Port").toInt(), 4711);
}

void TestApp::closeTakesWhatWasTypedSilently()
{
    CQueryDlg *dlg = start();
    dlg->control<CFormEdit>(Ctrl::Airline1)->setText(QStringLiteral("LH"));
    dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QStringLiteral("bad"));
    dlg->control<CFormEdit>(Ctrl::Supplier)->setText(QStringLiteral("AFTERPORT"));
    finish();
    QVERIFY(m_notes->messages.isEmpty());
    QSettings store(m_settings->path(), QSettings::IniFormat);
    QCOMPARE(store.value("ServerSettings/Airline1").toString(), QStringLiteral("LH"));
    QCOMPARE(store.value("ServerSettings/Supplier").toString(), QStringLiteral("AFTERPORT"));
    QCOMPARE(store.value("ServerSettings/Port").toInt(), 7000);
}

void TestApp::windowKeysBeforeApplicationKeys()
{
    CQueryDlg *dlg = start();
    dlg->reject();
    {
        // The window's close step has stored its keys; the application's
        // five come only with its exit step.
        QSettings store(m_settings->path(), QSettings::IniFormat);
        QVERIFY(store.contains("ServerSettings/Economy"));
        QVERIFY(store.contains("ServerSettings/Message9"));
        QVERIFY(!store.contains("ServerSettings/Port"));
    }
    m_dlg.reset();
    m_app->ExitInstance();
    QSettings store(m_settings->path(), QSettings::IniFormat);
    QCOMPARE(store.value("ServerSettings/Port").toInt(), 7000);
    QCOMPARE(store.value("ServerSettings/Departure").toString(), QStringLiteral("FRA"));
}

void TestApp::closeWithSessionSendsCloseRequestFirst()
{
    FixtureServer server;
    CQueryDlg *dlg = start();
    dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(server.port()));
    dlg->ConnectToServer();
    QTRY_COMPARE(server.connectionCount(), 1);
    // The write of the close request happens before any key is stored.
    bool storedBeforeRequest = true;
    connect(&dlg->m_pSocket->socket(), &QTcpSocket::bytesWritten, this, [&] {
        storedBeforeRequest =
            QSettings(m_settings->path(), QSettings::IniFormat).contains("ServerSettings/Economy");
    });
    dlg->reject();
    QTRY_COMPARE(server.requests.size(), 1);
    QCOMPARE(Fields(server.requests.first()), QByteArrayList{"##CLOSECONNECTION"});
    QCOMPARE(server.received().size(), qsizetype(8192));
    QVERIFY(!storedBeforeRequest);
    QVERIFY(QSettings(m_settings->path(), QSettings::IniFormat).contains("ServerSettings/Economy"));
}

void TestApp::unreadableOrOddStore_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("departure");
    QTest::addColumn<bool>("economy");
    QTest::newRow("missing file") << QByteArray() << "7000"
                                  << "FRA" << true;
    QTest::newRow("garbage") << QByteArray("\x01\xff[[[=\n\0\0zz", 12) << "7000"
                             << "FRA" << true;
    QTest::newRow("wrong types") << QByteArray(
                                        "[ServerSettings]\nPort=abc\nEconomy=x\nDeparture=a, b\n")
                                 << "7000"
                                 << "FRA" << true;
    QTest::newRow("number cut by NUL")
        << QByteArray("[ServerSettings]\nPort=5\\0x\nEconomy=@Variant("
                      "\\0\\0\\0\\x4\\0\\0\\0\\x1\\0\\0\\0\\0)\n")
        << "7000"
        << "FRA" << true;
    QTest::newRow("good values") << QByteArray(
                                        "[ServerSettings]\nPort=8080\nEconomy=0\nDeparture=HAM\n")
                                 << "8080"
                                 << "HAM" << false;
}

void TestApp::unreadableOrOddStore()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, port);
    QFETCH(QString, departure);
    QFETCH(bool, economy);
    if (!contents.isNull()) {
        QFile file(m_settings->path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    CQueryDlg *dlg = start();
    QCOMPARE(Edit(dlg, Ctrl::ServerPort), port);
    QCOMPARE(Edit(dlg, Ctrl::Departure), departure);
    QCOMPARE(Checked(dlg, Ctrl::Economy), economy);
    finish();
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
