// The settings store at its limits, through the real start-up and close
// path: files that are missing, empty, unreadable, garbage or of the wrong
// types; a history far longer than the store keeps; texts holding every byte
// value and the characters that the file format itself uses.

#include "app/queryapp.h"
#include "form/settingsstore.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>

#include <unistd.h>

using namespace testsupport;

namespace {

using Values = QMap<QByteArray, QByteArray>;

enum class Setup { File, Unreadable, Folder };

struct TextField
{
    const char *key;
    int control;
    QByteArray QueryForm::*field;
};

struct IntField
{
    const char *key;
    QByteArray defaultValue;
    int QueryForm::*field;
};

const TextField kWindowTexts[] = {
    {"OJDeparture", Ctrl::OJDeparture, &QueryForm::m_strOJDeparture},
    {"OJArrival", Ctrl::OJArrival, &QueryForm::m_strOJArrival},
    {"RTDepDate", Ctrl::RTDepDate, &QueryForm::m_strRTDepDate},
    {"Tolerance", Ctrl::Tolerance, &QueryForm::m_strTolerance},
    {"Airline1", Ctrl::Airline1, &QueryForm::m_strAirline1},
    {"Airline2", Ctrl::Airline2, &QueryForm::m_strAirline2},
    {"Airline3", Ctrl::Airline3, &QueryForm::m_strAirline3},
    {"Stops1", Ctrl::Stops1, &QueryForm::m_strStops1},
    {"Stops2", Ctrl::Stops2, &QueryForm::m_strStops2},
    {"Stops3", Ctrl::Stops3, &QueryForm::m_strStops3},
    {"Supplier", Ctrl::Supplier, &QueryForm::m_strSupplier},
    {"Currency", Ctrl::Currency, &QueryForm::m_strCurrency},
    {"UseCRS", Ctrl::UseCRS, &QueryForm::m_strUseCRS},
};

const IntField kWindowInts[] = {
    {"Economy", "1", &QueryForm::m_bEconomy},
    {"Business", "0", &QueryForm::m_bBusiness},
    {"First", "0", &QueryForm::m_bFirst},
    {"Roundtrip", "1", &QueryForm::m_nTripType},
    {"TT_Normal", "1", &QueryForm::m_bTTNormal},
    {"TT_Youth", "0", &QueryForm::m_bTTYouth},
    {"TT_Senior", "0", &QueryForm::m_bTTSenior},
    {"TT_Partner", "0", &QueryForm::m_bTTPartner},
    {"TT_Ethnic", "0", &QueryForm::m_bTTEthnic},
    {"TT_Agent", "0", &QueryForm::m_bTTAgent},
    {"RecordsetsOnly", "0", &QueryForm::m_nResultMode},
};

// What a first run reads: every key at its store default.
Values Defaults()
{
    Values v{{"Port", "7000"},
             {"ServerIP", "127.0.0.1"},
             {"Departure", "FRA"},
             {"Arrival", "NYC"},
             {"DepDate", ""}};
    for (const TextField &t : kWindowTexts)
        v[t.key] = "";
    for (const IntField &i : kWindowInts)
        v[i.key] = i.defaultValue;
    for (int i = 0; i < 10; ++i)
        v["Message" + QByteArray::number(i)] = "";
    return v;
}

Values With(std::initializer_list<std::pair<const QByteArray, QByteArray>> changes)
{
    Values v = Defaults();
    for (const auto &[key, value] : changes)
        v[key] = value;
    return v;
}

QByteArray ByteRange(int first, int last)
{
    QByteArray bytes;
    for (int b = first; b <= last; ++b)
        bytes.append(char(b));
    return bytes;
}

bool SameValues(const Values &actual, const Values &expected)
{
    bool same = actual.size() == expected.size();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (actual.value(it.key()) != it.value()) {
            qWarning("%s: %s instead of %s", it.key().constData(),
                     qPrintable(
                         QString::fromLatin1(actual.value(it.key()).left(60).toPercentEncoding())),
                     qPrintable(QString::fromLatin1(it.value().left(60).toPercentEncoding())));
            same = false;
        }
    }
    return same;
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestSettingsLimits : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void oddFilesStartWithDefaults_data();
    void oddFilesStartWithDefaults();
    void tenThousandHistoryEntries();
    void textsComeBackIdentically_data();
    void textsComeBackIdentically();

private:
    // Start-up up to the window; the values as start-up read them.
    CQueryDlg *start();
    Values readValues() const;
    // The operator closes the window; the run ends.
    void finish();
    void writeFile(const QByteArray &contents);
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<CQueryApp> m_app;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestSettingsLimits::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
}

void TestSettingsLimits::cleanup()
{
    m_dlg.reset();
    m_app.reset();
    if (QFile::exists(m_settings->path()))
        QFile::setPermissions(m_settings->path(), QFile::ReadOwner | QFile::WriteOwner);
    m_notes.reset();
    m_settings.reset();
}

CQueryDlg *TestSettingsLimits::start()
{
    m_app = std::make_unique<CQueryApp>();
    m_dlg.reset(m_app->InitInstance());
    return m_dlg.get();
}

Values TestSettingsLimits::readValues() const
{
    const SavedCopies &s = m_app->m_saved;
    Values v{{"Port", QByteArray::number(s.m_nSavedPort)},
             {"ServerIP", s.m_strSavedServerIP},
             {"Departure", s.m_strSavedDeparture},
             {"Arrival", s.m_strSavedArrival},
             {"DepDate", s.m_strSavedDepDate}};
    for (const TextField &t : kWindowTexts)
        v[t.key] = m_dlg.get()->*t.field;
    for (const IntField &i : kWindowInts)
        v[i.key] = QByteArray::number(m_dlg.get()->*i.field);
    for (int i = 0; i < m_dlg->m_aMessageHistory.size(); ++i)
        v["Message" + QByteArray::number(i)] = m_dlg->m_aMessageHistory.at(i);
    return v;
}

void TestSettingsLimits::finish()
{
    m_dlg->show();
    m_dlg->reject();
    QVERIFY(m_dlg->isClosed());
    m_dlg.reset();
    m_app->ExitInstance();
}

void TestSettingsLimits::writeFile(const QByteArray &contents)
{
    QFile file(m_settings->path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

void TestSettingsLimits::oddFilesStartWithDefaults_data()
{
    QTest::addColumn<QByteArray>("contents"); // null: no file at all
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Values>("expected");

    QByteArray garbage(4096, Qt::Uninitialized);
    QRandomGenerator random(5);
    for (char &c : garbage)
        c = char(random.bounded(256));

    QTest::newRow("missing") << QByteArray() << Setup::File << Defaults();
    QTest::newRow("a folder in its place") << QByteArray() << Setup::Folder << Defaults();
    QTest::newRow("empty") << QByteArray("") << Setup::File << Defaults();
    QTest::newRow("unreadable") << QByteArray("[ServerSettings]\nPort=8080\nDeparture=HAM\n")
                                << Setup::Unreadable << Defaults();
    QTest::newRow("random bytes") << garbage << Setup::File << Defaults();
    QTest::newRow("NULs only") << QByteArray(512, '\0') << Setup::File << Defaults();
    // The format's reader takes an unclosed section header as closed.
    QTest::newRow("unclosed section and stray lines")
        << QByteArray("[ServerSettings\nPort=8080\n===\n\\\n[\n]\nEconomy=0\n") << Setup::File
        << With({{"Port", "8080"}, {"Economy", "0"}});
    QTest::newRow("keys outside the section")
        << QByteArray("Port=8080\n[Other]\nDeparture=HAM\n") << Setup::File << Defaults();
    QTest::newRow("integers that are no integers")
        << QByteArray("[ServerSettings]\nPort=abc\nEconomy=yes\nBusiness=1.5\nFirst=\n"
                      "Roundtrip=0x1\nTT_Normal=@Invalid()\nTT_Youth=1 2\n")
        << Setup::File << Defaults();
    QTest::newRow("integers beyond 32 bits")
        << QByteArray("[ServerSettings]\nPort=99999999999\nEconomy=-99999999999\n") << Setup::File
        << Defaults();
    QTest::newRow("texts of other types")
        << QByteArray("[ServerSettings]\nDeparture=a, b\nArrival=@ByteArray(LAX)\n"
                      "Airline1=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nMessage9=@Rect(1 2 3 4)\n"
                      "DepDate=@Size(1 2)\n")
        << Setup::File << Defaults();
    QTest::newRow("texts with characters outside the wire set")
        << QByteArray("[ServerSettings]\nDeparture=\\x4e2d\nSupplier=A\\x2603\n") << Setup::File
        << Defaults();
    QTest::newRow("odd but valid values")
        << QByteArray("[ServerSettings]\nPort= 8080 \nEconomy=7\nRoundtrip=5\nRecordsetsOnly=-1\n"
                      "Departure=\"  HAM  \"\nMessage0=\"x\"\nMessage8=\"; in quotes\"\n"
                      "Message9=A ; a comment\n")
        << Setup::File
        << With({{"Port", "8080"},
                 {"Economy", "7"},
                 {"Roundtrip", "5"},
                 {"RecordsetsOnly", "-1"},
                 {"Departure", "  HAM  "},
                 {"Message0", "x"},
                 {"Message8", "; in quotes"},
                 {"Message9", "A"}});
    QTest::newRow("one megabyte value")
        << "[ServerSettings]\nSupplier=" + QByteArray(1 << 20, 'S') + "\n"
        << Setup::File << With({{"Supplier", QByteArray(1 << 20, 'S')}});
}

void TestSettingsLimits::oddFilesStartWithDefaults()
{
    QFETCH(QByteArray, contents);
    QFETCH(Setup, setup);
    QFETCH(Values, expected);
    const bool unreadable = setup == Setup::Unreadable;
    if (unreadable && RunningAsRoot())
        QSKIP("root reads a file whatever its permissions");
    if (!contents.isNull())
        writeFile(contents);
    if (unreadable)
        QVERIFY(QFile::setPermissions(m_settings->path(), {}));
    if (setup == Setup::Folder)
        QVERIFY(QDir().mkpath(m_settings->path()));

    QVERIFY(start());
    QVERIFY(SameValues(readValues(), expected));
    // The close step stores what the window shows, normalised flags included.
    m_dlg->show();
    QVERIFY(m_dlg->UpdateData(true));
    const Values stored = readValues();
    finish();
    QVERIFY(m_notes->messages.isEmpty()); // failures of the store are not reported
    if (unreadable)
        return;
    QVERIFY(start());
    QVERIFY(SameValues(readValues(), stored));
}

void TestSettingsLimits::tenThousandHistoryEntries()
{
    CQueryDlg *dlg = start();
    QVERIFY(dlg);
    dlg->m_aMessageHistory.clear();
    for (int i = 1; i <= 10000; ++i)
        dlg->m_aMessageHistory.append("##M~" + QByteArray::number(i) + "~~");
    finish();

    QSettings store(m_settings->path(), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("ServerSettings"));
    QStringList messageKeys;
    for (const QString &key : store.childKeys()) {
        if (key.startsWith(QLatin1String("Message")))
            messageKeys << key;
    }
    messageKeys.sort();
    QStringList expectedKeys;
    for (int i = 0; i < 10; ++i)
        expectedKeys << QStringLiteral("Message%1").arg(i);
    QCOMPARE(messageKeys, expectedKeys);
    store.endGroup();

    dlg = start();
    CStringArray newest;
    for (int i = 9991; i <= 10000; ++i)
        newest.append("##M~" + QByteArray::number(i) + "~~");
    QCOMPARE(dlg->m_aMessageHistory, newest);
    QCOMPARE(dlg->m_nHistoryIndex, 9);
    QCOMPARE(dlg->m_strMessage, QByteArray("##M~10000~~"));
}

void TestSettingsLimits::textsComeBackIdentically_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("every byte 0x01-0xFF") << ByteRange(0x01, 0xFF);
    QTest::newRow("control bytes 0x01-0x1F") << ByteRange(0x01, 0x1F);
    QTest::newRow("0x7F-0xFF") << ByteRange(0x7F, 0xFF);
    QTest::newRow("tilde notation") << QByteArray("##GETFARE~4711-2~~");
    QTest::newRow("backslashes") << QByteArray("\\ \\\\ \\0 \\x41 \\n C:\\DIR\\");
    QTest::newRow("equals") << QByteArray("=A==B=");
    QTest::newRow("semicolon") << QByteArray(";A;B ; C;");
    QTest::newRow("hash") << QByteArray("#A # B#");
    QTest::newRow("newline") << QByteArray("A\nB\n");
    QTest::newRow("carriage return") << QByteArray("\rA\r\nB");
    QTest::newRow("leading and trailing blanks") << QByteArray("  A B  ");
    QTest::newRow("tabs around") << QByteArray("\tA\t");
    QTest::newRow("only blanks") << QByteArray("   ");
    QTest::newRow("quotes") << QByteArray("\"A\" \"");
    QTest::newRow("comma") << QByteArray("A, B,");
    QTest::newRow("section header") << QByteArray("[ServerSettings]");
    QTest::newRow("variant syntax") << QByteArray("@Invalid()");
    QTest::newRow("byte array syntax") << QByteArray("@ByteArray(x)");
    QTest::newRow("at sign") << QByteArray("@");
    QTest::newRow("escape then hex digits") << QByteArray("\x01"
                                                          "ABC\x7f"
                                                          "F0");
    QTest::newRow("undefined code page bytes") << QByteArray("\x81\x8d\x8f\x90\x9d");
}

// Every text key and every history entry holds the value at close; the next
// start reads each back exactly as the close step stored it.
void TestSettingsLimits::textsComeBackIdentically()
{
    QFETCH(QByteArray, value);
    CQueryDlg *dlg = start();
    QVERIFY(dlg);
    dlg->show();
    const int appTexts[] = {Ctrl::Departure, Ctrl::Arrival, Ctrl::DepDate};
    for (int id : appTexts)
        dlg->control<CFormEdit>(id)->setWireText(value);
    for (const TextField &t : kWindowTexts)
        dlg->control<CFormEdit>(t.control)->setWireText(value);
    // Upper-case edits store the capitals the operator sees.
    QHash<int, QByteArray> stored;
    for (int id : appTexts)
        stored[id] = dlg->control<CFormEdit>(id)->wireText();
    for (const TextField &t : kWindowTexts)
        stored[t.control] = dlg->control<CFormEdit>(t.control)->wireText();
    QCOMPARE(stored[Ctrl::DepDate], value); // not an upper-case edit
    m_app->m_saved.m_strSavedServerIP = value;
    CStringArray history;
    for (int i = 0; i < 10; ++i)
        history.append(QByteArray::number(i) + value);
    history.last() = value;
    dlg->m_aMessageHistory = history;
    finish();

    dlg = start();
    QVERIFY(dlg);
    QCOMPARE(m_app->m_saved.m_strSavedServerIP, value);
    QCOMPARE(m_app->m_saved.m_strSavedDeparture, stored[Ctrl::Departure]);
    QCOMPARE(m_app->m_saved.m_strSavedArrival, stored[Ctrl::Arrival]);
    QCOMPARE(m_app->m_saved.m_strSavedDepDate, stored[Ctrl::DepDate]);
    for (const TextField &t : kWindowTexts)
        QVERIFY2(dlg->*t.field == stored[t.control], t.key);
    QCOMPARE(dlg->m_aMessageHistory, history);
    QCOMPARE(dlg->m_strMessage, value);
    dlg->show();
    QCOMPARE(dlg->control<CFormEdit>(Ctrl::DepDate)->wireText(), value);
    QCOMPARE(dlg->control<CFormEdit>(Ctrl::ServerIP)->wireText(), value);
    QVERIFY(m_notes->messages.isEmpty());
}

QTEST_MAIN(TestSettingsLimits)
#include "tst_settingslimits.moc"
