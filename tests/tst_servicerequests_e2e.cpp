// The main window's service requests end to end: a button press, then the
// exact bytes that reach a fixture server, the message field, the history
// and the result list. The texts themselves are checked piece by piece in
// tst_servicerequests; here they have to survive the window and the console.

#include "fareserver.h"
#include "queries/bookingparamdlg.h"
#include "session/inetsocket.h"
#include "testsupport.h"
#include "ui/querydlg.h"
#include "ui/querydlg_layout.h"
#include "ui/widgets.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace testsupport;

namespace {

using FormEdit = std::function<void(QueryForm &)>;

QByteArray Nul(QByteArray tildeText)
{
    return tildeText.replace('~', '\0');
}

FormEdit Edit(FormEdit edit)
{
    return edit;
}

const QByteArray kOutLine = "OUT01AV12345@LH@400@FRA@JFK@15052000@1010@1305@M@9";
const QByteArray kInLine = "INB01AV67890@LH@401@JFK@FRA@29052000@1700@0705@K@9";

const QByteArray kFaresHead = "##GETAVAILABLEFARES~AMOUNTOFFARES=6~AMOUNTOFPUBLFARES=2~"
                              "MAXIMUMFARES=8~SIMULTANEOUSAVAILS=6~CHECKAVAILABILITY=1~"
                              "CHECKTAX=1~STARTFARE=1~NEWPAS=1~PASAMOUNT=1~";

const QByteArrayList kBookingLead{"##CRSBOOKING",
                                  "PASSENGER=SAMPLE\\TRAVELLER\\M\\ADT\\09011967",
                                  "PASSENGER=SKYTRA\\MPER\\F\\ADT\\09011967",
                                  "QUEUE=80",
                                  "PHONEAGENCY=040-112233",
                                  "RECEIVEDFROM=INTERNETBACKEND"};

// A booking as it must be written: each field with its zero byte, the
// closing empty field, and one further zero byte.
QByteArray BookingBytes(const QByteArrayList &fields)
{
    QByteArray bytes;
    for (const QByteArray &field : fields)
        bytes += field + '\0';
    return bytes + QByteArray(2, '\0');
}

} // namespace

Q_DECLARE_METATYPE(FormEdit)

class TestServiceRequestsE2E : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void codeLookups_data();
    void codeLookups();
    void availability_data();
    void availability();
    void emailBooking_data();
    void emailBooking();
    void emailBookingTextSentByHandIsConverted();
    void cancelBooking_data();
    void cancelBooking();
    void crsBooking_data();
    void crsBooking();
    void crsBookingDialog();
    void crsBookingTooLongIsNotWritten();
    void availableFares_data();
    void availableFares();
    void bookingRoadAgainstDemoServer();
    void emailBookingAgainstDemoServer();

private:
    void connectTo(quint16 port);
    // Known values in every field, then the row's changes; through the
    // controls, since every handler reads them.
    void setForm(const FormEdit &edit = {});
    void setLines(const QByteArrayList &lines, int current = 0);
    QByteArrayList lines() const;
    void expectSent(int button, const QByteArray &tildeText);
    // Proves that nothing was written before: a later request arrives alone.
    void expectNothingWritten();

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<NotifierRecorder> m_notes;
    std::unique_ptr<FixtureServer> m_server;
    SavedCopies m_saved;
    std::unique_ptr<CQueryDlg> m_dlg;
};

void TestServiceRequestsE2E::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_notes = std::make_unique<NotifierRecorder>();
    m_server = std::make_unique<FixtureServer>();
    m_saved = SavedCopies{"FRA", "NYC", "15052000", "127.0.0.1", m_server->port()};
    m_dlg = std::make_unique<CQueryDlg>(m_saved);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    setForm();
}

void TestServiceRequestsE2E::cleanup()
{
    SetBookingDialogAnswer({});
    m_dlg.reset();
    m_server.reset();
    m_notes.reset();
    m_settings.reset();
}

void TestServiceRequestsE2E::connectTo(quint16 port)
{
    m_dlg->control<CFormEdit>(Ctrl::ServerPort)->setText(QString::number(port));
    m_dlg->ConnectToServer();
    QVERIFY(m_dlg->m_pSocket && m_dlg->m_pSocket->isConnected());
    QVERIFY(m_notes->messages.isEmpty());
}

void TestServiceRequestsE2E::setForm(const FormEdit &edit)
{
    m_dlg->UpdateData(true);
    QueryForm &f = *m_dlg;
    f.m_strDeparture = "FRA";
    f.m_strArrival = "NYC";
    f.m_strOJDeparture.clear();
    f.m_strOJArrival.clear();
    f.m_strDepDate = "15052000";
    f.m_strRTDepDate.clear();
    f.m_nTripType = 1;
    f.m_bEconomy = 1;
    f.m_bBusiness = f.m_bFirst = 0;
    f.m_bTTNormal = 1;
    f.m_bTTYouth = f.m_bTTSenior = f.m_bTTPartner = f.m_bTTEthnic = f.m_bTTAgent = 0;
    f.m_strAirline1.clear();
    f.m_strAirline2.clear();
    f.m_strAirline3.clear();
    f.m_strSupplier.clear();
    f.m_strCurrency = "DEM";
    f.m_strUseCRS.clear();
    if (edit)
        edit(f);
    m_dlg->UpdateData(false);
}

void TestServiceRequestsE2E::setLines(const QByteArrayList &lines, int current)
{
    m_dlg->m_listResults->resetContent();
    for (const QByteArray &line : lines)
        m_dlg->m_listResults->addLine(line);
    m_dlg->m_listResults->flushAndUpdate();
    if (current < lines.size())
        m_dlg->m_listResults->setCurrentIndex(m_dlg->m_listResults->model()->index(current, 0));
}

QByteArrayList TestServiceRequestsE2E::lines() const
{
    QByteArrayList out;
    for (qsizetype i = 0; i < m_dlg->m_listResults->count(); ++i)
        out << m_dlg->m_listResults->text(i);
    return out;
}

void TestServiceRequestsE2E::expectSent(int button, const QByteArray &tildeText)
{
    m_server->take();
    QTest::mouseClick(m_dlg->control(button), Qt::LeftButton);
    QTRY_COMPARE(Tilde(m_server->received()), tildeText);
    QCOMPARE(m_server->received(), Nul(tildeText));
    // Composed like typed text: shown, recorded and awaited as such.
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::Message)->wireText(), tildeText);
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), tildeText);
    QCOMPARE(m_dlg->m_nHistoryIndex, int(m_dlg->m_aMessageHistory.size()) - 1);
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 1);
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
}

void TestServiceRequestsE2E::expectNothingWritten()
{
    m_dlg->m_strMessage = "##PING~~";
    m_dlg->UpdateData(false);
    m_dlg->OnSendMessage();
    QTRY_COMPARE(Tilde(m_server->received()), QByteArray("##PING~~"));
}

void TestServiceRequestsE2E::codeLookups_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<FormEdit>("edit");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("airports FRA")
        << int(Ctrl::AirportCodes) << Edit([](QueryForm &f) { f.m_strAirline1 = "LH"; })
        << QByteArray("##GETAIRPORTS~FILTER=FRA~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airports, no filter")
        << int(Ctrl::AirportCodes) << Edit([](QueryForm &f) { f.m_strDeparture.clear(); })
        << QByteArray("##GETAIRPORTS~FILTER=~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airlines LH") << int(Ctrl::AirlineCodes) << Edit([](QueryForm &f) {
        f.m_strAirline1 = "LH";
    }) << QByteArray("##GETAIRLINES~FILTER=LH~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~");
    QTest::newRow("airlines, no filter")
        << int(Ctrl::AirlineCodes) << FormEdit()
        << QByteArray("##GETAIRLINES~FILTER=~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~");
}

void TestServiceRequestsE2E::codeLookups()
{
    QFETCH(int, button);
    QFETCH(FormEdit, edit);
    QFETCH(QByteArray, sent);
    connectTo(m_server->port());
    setForm(edit);
    setLines({"OLD ANSWER"});
    const qsizetype before = m_dlg->m_aMessageHistory.size();
    expectSent(button, sent);
    QCOMPARE(m_dlg->m_aMessageHistory.size(), before + 1);
}

void TestServiceRequestsE2E::availability_data()
{
    QTest::addColumn<FormEdit>("edit");
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<int>("current");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("rtDepDateAfter");
    const QByteArray fare = "4711-2@FRA@JFK@LH@Y@ADT@15052000@RT@459.00@EUR@0";
    const QByteArrayList fares{"FIRST LINE", fare};
    const QByteArray tail = "~DEPDATE=15052000~DEPARTURE=FRA~ARRIVAL=NYC";
    const QByteArray head = "##CRSGETAVAILABILITY~RECORDSET=" + fare;
    QTest::newRow("round trip, empty stay becomes 14")
        << FormEdit() << fares << 1 << head + tail + "~DURATION=14~ROUNDTRIP=1~VIA=***~~"
        << QByteArray("14");
    QTest::newRow("round trip, eight digits become 14")
        << Edit([](QueryForm &f) { f.m_strRTDepDate = "29052000"; }) << fares << 1
        << head + tail + "~DURATION=14~ROUNDTRIP=1~VIA=***~~" << QByteArray("14");
    QTest::newRow("round trip, 7 stays")
        << Edit([](QueryForm &f) { f.m_strRTDepDate = "7"; }) << fares << 1
        << head + tail + "~DURATION=7~ROUNDTRIP=1~VIA=***~~" << QByteArray("7");
    QTest::newRow("one-way with a day still sends it") << Edit([](QueryForm &f) {
        f.m_nTripType = 0;
        f.m_strRTDepDate = "7";
    }) << fares << 1 << head + tail + "~DURATION=7~ROUNDTRIP=1~VIA=***~~"
                                                       << QByteArray("7");
    QTest::newRow("one-way without a day") << Edit([](QueryForm &f) { f.m_nTripType = 0; }) << fares
                                           << 1 << head + tail + "~VIA=***~~" << QByteArray();
    QTest::newRow("CRS code") << Edit([](QueryForm &f) {
        f.m_nTripType = 0;
        f.m_strUseCRS = "1A";
    }) << fares << 1 << head + "~CRS=1A" + tail + "~VIA=***~~"
                              << QByteArray();
    QTest::newRow("open-jaw pair after the outbound pair") << Edit([](QueryForm &f) {
        f.m_strOJDeparture = "LAX";
        f.m_strOJArrival = "MUC";
    }) << fares << 1 << head + tail + "~DEPARTURE=LAX~ARRIVAL=MUC~DURATION=14~ROUNDTRIP=1~VIA=***~~"
                                                           << QByteArray("14");
    QTest::newRow("open-jaw arrival only") << Edit([](QueryForm &f) {
        f.m_nTripType = 0;
        f.m_strOJArrival = "MUC";
    }) << fares << 1 << head + tail + "~ARRIVAL=MUC~VIA=***~~"
                                           << QByteArray();
    QTest::newRow("empty list") << Edit([](QueryForm &f) { f.m_nTripType = 0; }) << QByteArrayList()
                                << 0 << "##CRSGETAVAILABILITY~RECORDSET=" + tail + "~VIA=***~~"
                                << QByteArray();
    QTest::newRow("line in small letters goes out in capitals")
        << Edit([](QueryForm &f) { f.m_nTripType = 0; }) << QByteArrayList{"x", "lh 400 fra"} << 1
        << "##CRSGETAVAILABILITY~RECORDSET=LH 400 FRA" + tail + "~VIA=***~~" << QByteArray();
}

void TestServiceRequestsE2E::availability()
{
    QFETCH(FormEdit, edit);
    QFETCH(QByteArrayList, listed);
    QFETCH(int, current);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, rtDepDateAfter);
    connectTo(m_server->port());
    setForm(edit);
    setLines(listed, current);
    expectSent(Ctrl::Availability, sent);
    QCOMPARE(m_dlg->m_strAvailRecordset, listed.value(current));
    QCOMPARE(m_dlg->control<CFormEdit>(Ctrl::RTDepDate)->wireText(), rtDepDateAfter);
    QCOMPARE(m_dlg->m_strRTDepDate, rtDepDateAfter);
}

void TestServiceRequestsE2E::emailBooking_data()
{
    QTest::addColumn<QByteArray>("availabilityFor");
    QTest::addColumn<QByteArrayList>("answer");
    QTest::addColumn<QByteArray>("sent");
    const QByteArray head = "##EMAILBOOKING~TARIFFOUT=0~ROUNDTRIP=0~RESCLASSOUT=X~"
                            "PASSENGER=TEST\\TESTER\\M\\ADT\\09011967~NAMECLIENT=CHIEF~"
                            "PHONECLIENT=1111~RECORDSET=";
    const QByteArray fare = "4711-2@FRA@JFK@LH@Y@ADT@15052000@RT@459.00@EUR@0";
    QTest::newRow("before any availability request")
        << QByteArray() << QByteArrayList{"TARIFF=3", kOutLine}
        << head + "~AVAILABILITYIDOUT=" + kOutLine + "~~";
    QTest::newRow("after an availability request")
        << fare << QByteArrayList{"TARIFF=3", kOutLine, "CRS=1A", kInLine}
        << head + fare + "~AVAILABILITYIDOUT=" + kOutLine + "~~";
    QTest::newRow("answer without a second line")
        << fare << QByteArrayList{"ERROR=NO VALID ROUTE"} << head + fare + "~AVAILABILITYIDOUT=~~";
    QTest::newRow("small letters go out in capitals")
        << QByteArray("fare 1") << QByteArrayList{"t", "out01av@lh"}
        << head + "FARE 1~AVAILABILITYIDOUT=OUT01AV@LH~~";
}

void TestServiceRequestsE2E::emailBooking()
{
    QFETCH(QByteArray, availabilityFor);
    QFETCH(QByteArrayList, answer);
    QFETCH(QByteArray, sent);
    connectTo(m_server->port());
    if (availabilityFor.isEmpty()) {
        setLines(answer);
    } else {
        setLines({availabilityFor});
        QTest::mouseClick(m_dlg->control(Ctrl::Availability), Qt::LeftButton);
        QTRY_VERIFY(Tilde(m_server->received()).startsWith("##CRSGETAVAILABILITY~"));
        QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
        m_server->send(Nul(answer.join('~') + "~~"));
        QVERIFY(done.wait());
        QCOMPARE(lines(), answer);
    }
    expectSent(Ctrl::EmailBooking, sent);
    // The birth date's backslash-zero pair is no field end here.
    QVERIFY(Fields(m_server->received()).contains("PASSENGER=TEST\\TESTER\\M\\ADT\\09011967"));
}

void TestServiceRequestsE2E::emailBookingTextSentByHandIsConverted()
{
    connectTo(m_server->port());
    setLines({"TARIFF=3", kOutLine});
    QTest::mouseClick(m_dlg->control(Ctrl::EmailBooking), Qt::LeftButton);
    QTRY_VERIFY(m_server->received().endsWith(QByteArray(2, '\0')));
    const QByteArray composed = m_server->take();
    const QByteArray text = m_dlg->control<CFormEdit>(Ctrl::Message)->wireText();
    const qsizetype historySize = m_dlg->m_aMessageHistory.size();
    // The operator sends the same text again from the message field.
    QTest::mouseClick(m_dlg->control(Ctrl::SendMessage), Qt::LeftButton);
    const QByteArray converted = QByteArray(composed).replace("\\0", QByteArray(1, '\0'));
    QCOMPARE(converted.size(), composed.size() - 1);
    QTRY_COMPARE(Tilde(m_server->received()), Tilde(converted));
    const QByteArray byHand = m_server->received();
    const QByteArrayList fields = Fields(byHand);
    QVERIFY(fields.contains("PASSENGER=TEST\\TESTER\\M\\ADT"));
    QVERIFY(fields.contains("9011967"));
    QCOMPARE(m_dlg->m_aMessageHistory.size(), historySize); // same text, no new entry
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), text);
}

void TestServiceRequestsE2E::cancelBooking_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("crs");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("KEY=VALUE") << QByteArray("FILEKEY=ABC123") << QByteArray()
                               << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~~");
    QTest::newRow("no =") << QByteArray("ABC123") << QByteArray()
                          << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~~");
    QTest::newRow("two =") << QByteArray("A=KEY1=C") << QByteArray()
                           << QByteArray("##CRSCANCELBOOKING~FILEKEY=KEY1~~");
    QTest::newRow("with CRS code") << QByteArray("FILEKEY=ABC123") << QByteArray("1A")
                                   << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~CRS=1A~~");
    QTest::newRow("small letters") << QByteArray("filekey=abc123") << QByteArray()
                                   << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~~");
}

void TestServiceRequestsE2E::cancelBooking()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, crs);
    QFETCH(QByteArray, sent);
    connectTo(m_server->port());
    setForm([&](QueryForm &f) { f.m_strUseCRS = crs; });
    // The key comes from the current line, not from the first one.
    setLines({"STATUS=CONFIRMED", line, "CRS=1A"}, 1);
    expectSent(Ctrl::CancelBooking, sent);
}

void TestServiceRequestsE2E::crsBooking_data()
{
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<int>("tripType");
    QTest::addColumn<QByteArray>("crs");
    QTest::addColumn<QByteArrayList>("dialogShows"); // ResClass Out, In, Tariff Out, In
    QTest::addColumn<QByteArrayList>("fields");      // empty: nothing written
    const QByteArray outId = "AVAILABILITYIDOUT=AV12345@LH@400@FRA@JFK@15052000@1010@1305@M@9";
    const QByteArrayList inbound{"AVAILABILITYIDIN=AV67890@LH@401@JFK@FRA@29052000@1700@0705@K@9",
                                 "RESCLASSIN=K", "TARIFFIN=3", "ROUNDTRIP=1"};
    const QByteArrayList roundTrip{"TARIFF=3", kOutLine, "CRS=1A", kInLine};
    QTest::newRow("one-way, class from the ninth piece")
        << roundTrip << 0 << QByteArray() << QByteArrayList{"M", "", "0", ""}
        << kBookingLead + QByteArrayList{outId, "RESCLASSOUT=M", "TARIFFOUT=0"};
    QTest::newRow("one-way with CRS code")
        << roundTrip << 0 << QByteArray("1A") << QByteArrayList{"M", "", "0", ""}
        << kBookingLead + QByteArrayList{outId, "RESCLASSOUT=M", "TARIFFOUT=0", "CRS=1A"};
    QTest::newRow("round trip with the fourth line")
        << roundTrip << 1 << QByteArray() << QByteArrayList{"M", "K", "0", "3"}
        << kBookingLead + QByteArrayList{outId, "RESCLASSOUT=M", "TARIFFOUT=0"} + inbound;
    QTest::newRow("round trip with CRS code")
        << roundTrip << 1 << QByteArray("1A") << QByteArrayList{"M", "K", "0", "3"}
        << kBookingLead + QByteArrayList{outId, "RESCLASSOUT=M", "TARIFFOUT=0", "CRS=1A"} + inbound;
    QTest::newRow("round trip without the fourth line")
        << roundTrip.first(3) << 1 << QByteArray() << QByteArrayList{"M", "", "0", "3"}
        << kBookingLead + QByteArrayList{outId, "RESCLASSOUT=M", "TARIFFOUT=0"};
    QTest::newRow("fewer than nine pieces give Y")
        << QByteArrayList{"TARIFF", "OUT01AV1@LH@400", "", "INB01AV2@LH"} << 1 << QByteArray()
        << QByteArrayList{"Y", "Y", "0", "TARIFF"}
        << kBookingLead + QByteArrayList{"AVAILABILITYIDOUT=AV1@LH@400",
                                         "RESCLASSOUT=Y",
                                         "TARIFFOUT=0",
                                         "AVAILABILITYIDIN=AV2@LH",
                                         "RESCLASSIN=Y",
                                         "TARIFFIN=TARIFF",
                                         "ROUNDTRIP=1"};
    QTest::newRow("tariff between two =, short lines")
        << QByteArrayList{"A=42=B", "OUT01", "", "IN"} << 1 << QByteArray()
        << QByteArrayList{"Y", "Y", "0", "42"}
        << kBookingLead + QByteArrayList{"AVAILABILITYIDOUT=", "RESCLASSOUT=Y", "TARIFFOUT=0",
                                         "AVAILABILITYIDIN=",  "RESCLASSIN=Y",  "TARIFFIN=42",
                                         "ROUNDTRIP=1"};
    QTest::newRow("empty list") << QByteArrayList() << 1 << QByteArray()
                                << QByteArrayList{"Y", "", "0", ""}
                                << kBookingLead +
                                       QByteArrayList{"AVAILABILITYIDOUT=", "RESCLASSOUT=Y",
                                                      "TARIFFOUT=0"};
    QTest::newRow("Cancel") << roundTrip << 1 << QByteArray("1A")
                            << QByteArrayList{"M", "K", "0", "3"} << QByteArrayList();
}

void TestServiceRequestsE2E::crsBooking()
{
    QFETCH(QByteArrayList, listed);
    QFETCH(int, tripType);
    QFETCH(QByteArray, crs);
    QFETCH(QByteArrayList, dialogShows);
    QFETCH(QByteArrayList, fields);
    connectTo(m_server->port());
    setForm([&](QueryForm &f) {
        f.m_nTripType = tripType;
        f.m_strUseCRS = crs;
    });
    setLines(listed, 2);
    QByteArrayList shown;
    int asked = 0;
    SetBookingDialogAnswer([&](CBookingParamDlg &dlg) {
        ++asked;
        for (const char *id : {"1049", "1050", "1051", "1052"})
            shown << dlg.findChild<CFormEdit *>(QLatin1String(id))->wireText();
        return !fields.isEmpty();
    });
    const QByteArray messageBefore = m_dlg->m_strMessage;
    m_server->take();
    QTest::mouseClick(m_dlg->control(Ctrl::Booking), Qt::LeftButton);
    QCOMPARE(asked, 1);
    QCOMPARE(shown, dialogShows);
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    if (fields.isEmpty()) {
        expectNothingWritten();
        return;
    }
    const QByteArray expected = BookingBytes(fields);
    QTRY_COMPARE(m_server->received().size(), expected.size());
    QCOMPARE(Tilde(m_server->received()), Tilde(expected));
    QCOMPARE(m_server->received().last(3), QByteArray(3, '\0'));
    // Its own block: neither the console's history nor its reply flag.
    QCOMPARE(m_dlg->m_pSocket->m_bAwaitingReply, 0);
    QCOMPARE(m_dlg->m_strMessage, messageBefore);
    QVERIFY(m_notes->messages.isEmpty());
    // The answer lands in the emptied list.
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    m_server->send(Nul("FILEKEY=ABC123~STATUS=CONFIRMED~~"));
    QVERIFY(done.wait());
    QCOMPARE(lines(), (QByteArrayList{"FILEKEY=ABC123", "STATUS=CONFIRMED"}));
}

void TestServiceRequestsE2E::crsBookingDialog()
{
    connectTo(m_server->port());
    setForm([](QueryForm &f) { f.m_nTripType = 0; });
    setLines({"TARIFF=3", kOutLine});
    QString caption;
    SetBookingDialogAnswer([&caption](CBookingParamDlg &dlg) {
        caption = dlg.windowTitle();
        auto *resOut = dlg.findChild<CFormEdit *>(QStringLiteral("1049"));
        auto *tariffOut = dlg.findChild<CFormEdit *>(QStringLiteral("1051"));
        resOut->clear();
        QTest::keyClicks(resOut, QStringLiteral("c"));
        tariffOut->clear();
        QTest::keyClicks(tariffOut, QStringLiteral("7x2"));
        // One-way: what is typed for the inbound leg goes nowhere.
        dlg.findChild<CFormEdit *>(QStringLiteral("1050"))->setText(QStringLiteral("Q"));
        dlg.findChild<CFormEdit *>(QStringLiteral("1052"))->setText(QStringLiteral("9"));
        return true;
    });
    m_server->take();
    QTest::mouseClick(m_dlg->control(Ctrl::Booking), Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Booking Parameter"));
    // Typed as typed (no capitals), and the tariff takes digits only.
    const QByteArray expected = BookingBytes(
        kBookingLead +
        QByteArrayList{"AVAILABILITYIDOUT=AV12345@LH@400@FRA@JFK@15052000@1010@1305@M@9",
                       "RESCLASSOUT=c", "TARIFFOUT=72"});
    QTRY_COMPARE(m_server->received().size(), expected.size());
    QCOMPARE(Tilde(m_server->received()), Tilde(expected));
}

void TestServiceRequestsE2E::crsBookingTooLongIsNotWritten()
{
    connectTo(m_server->port());
    setForm([](QueryForm &f) { f.m_nTripType = 0; });
    SetBookingDialogAnswer([](CBookingParamDlg &) { return true; });
    // An outbound line without "@" books class Y; find the length that fills
    // the 8192 bytes exactly.
    const QByteArrayList tail{"AVAILABILITYIDOUT=", "RESCLASSOUT=Y", "TARIFFOUT=0"};
    const qsizetype room = 8192 - BookingBytes(kBookingLead + tail).size();
    const QByteArray fitting = "OUT01" + QByteArray(room, 'A');
    setLines({"TARIFF=3", fitting});
    m_server->take();
    QTest::mouseClick(m_dlg->control(Ctrl::Booking), Qt::LeftButton);
    QTRY_COMPARE(m_server->received().size(), qsizetype(8192));
    QCOMPARE(Fields(m_server->received()).value(6), "AVAILABILITYIDOUT=" + fitting.sliced(5));
    QVERIFY(m_notes->messages.isEmpty());

    m_server->take();
    setLines({"TARIFF=3", fitting + "B"});
    QTest::mouseClick(m_dlg->control(Ctrl::Booking), Qt::LeftButton);
    QCOMPARE(m_notes->messages, QStringList{TooLongMessage(1)});
    QCOMPARE(m_dlg->m_listResults->count(), qsizetype(0));
    expectNothingWritten();
}

void TestServiceRequestsE2E::availableFares_data()
{
    QTest::addColumn<FormEdit>("edit");
    QTest::addColumn<QByteArray>("sent");
    const QByteArray leg1 = "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=15052000~"
                            "DEPARTURETIME=0800~ECONOMY=1~";
    const QByteArray rt = kFaresHead + "PASTYPE=ADT~CURRENCY=DEM~FLIGHTTYPE=2~";
    const auto oneWay = [](const FormEdit &more) {
        return Edit([more](QueryForm &f) {
            f.m_nTripType = 0;
            more(f);
        });
    };
    QTest::newRow("one-way") << oneWay([](QueryForm &) {})
                             << kFaresHead + "PASTYPE=ADT~CURRENCY=DEM~FLIGHTTYPE=1~" + leg1 + "~";
    QTest::newRow("round trip, return day computed")
        << FormEdit()
        << rt + leg1 +
               "NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~DEPARTUREDATE=15062000~DEPARTURETIME=0800~"
               "ECONOMY=1~~";
    QTest::newRow("round trip, return day given, open-jaw leg")
        << Edit([](QueryForm &f) {
               f.m_strRTDepDate = "29052000";
               f.m_strOJDeparture = "LAX";
               f.m_strOJArrival = "MUC";
           })
        << rt + leg1 +
               "NEWLEG=2~DEPARTURE=LAX~ARRIVAL=MUC~DEPARTUREDATE=29052000~DEPARTURETIME=0800~"
               "ECONOMY=1~~";
    QTest::newRow("youth before senior") << oneWay([](QueryForm &f) {
        f.m_bTTYouth = 1;
        f.m_bTTSenior = 1;
    }) << kFaresHead + "PASTYPE=YTH~CURRENCY=DEM~FLIGHTTYPE=1~" + leg1 + "~";
    QTest::newRow("senior") << oneWay([](QueryForm &f) { f.m_bTTSenior = 1; })
                            << kFaresHead + "PASTYPE=SCR~CURRENCY=DEM~FLIGHTTYPE=1~" + leg1 + "~";
    QTest::newRow("other tariff types are adults, no currency") << oneWay([](QueryForm &f) {
        f.m_bTTNormal = 0;
        f.m_bTTPartner = f.m_bTTEthnic = f.m_bTTAgent = 1;
        f.m_strCurrency.clear();
    }) << kFaresHead + "PASTYPE=ADT~FLIGHTTYPE=1~" + leg1 + "~";
    QTest::newRow("airline 1 on both legs")
        << Edit([](QueryForm &f) {
               f.m_strAirline1 = "LH";
               f.m_strRTDepDate = "29052000";
           })
        << rt + "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=15052000~DEPARTURETIME=0800~"
                "ECONOMY=1~AIRLINE=LH~NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~"
                "DEPARTUREDATE=29052000~DEPARTURETIME=0800~ECONOMY=1~AIRLINE=LH~~";
    QTest::newRow("airline 2 on the return leg, cabins, supplier")
        << Edit([](QueryForm &f) {
               f.m_strAirline1 = "LH";
               f.m_strAirline2 = "BA";
               f.m_strRTDepDate = "29052000";
               f.m_bEconomy = 0;
               f.m_bBusiness = f.m_bFirst = 1;
               f.m_strSupplier = "DER";
           })
        << rt + "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=15052000~DEPARTURETIME=0800~"
                "BUSINESS=1~FIRST=1~SUPPLIER=DER~AIRLINE=LH~NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~"
                "DEPARTUREDATE=29052000~DEPARTURETIME=0800~BUSINESS=1~FIRST=1~SUPPLIER=DER~"
                "AIRLINE=BA~~";
    QTest::newRow("empty departure day, no cabin")
        << Edit([](QueryForm &f) {
               f.m_strDepDate.clear();
               f.m_bEconomy = 0;
           })
        << rt + "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=~DEPARTURETIME=0800~"
                "NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~DEPARTUREDATE=010000~DEPARTURETIME=0800~~";
    QTest::newRow("December returns in January")
        << Edit([](QueryForm &f) { f.m_strDepDate = "15122000"; })
        << rt + "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=15122000~DEPARTURETIME=0800~"
                "ECONOMY=1~NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~DEPARTUREDATE=15012001~"
                "DEPARTURETIME=0800~ECONOMY=1~~";
    QTest::newRow("day 5 keeps its zero")
        << Edit([](QueryForm &f) { f.m_strDepDate = "05052000"; })
        << rt + "NEWLEG=1~DEPARTURE=FRA~ARRIVAL=NYC~DEPARTUREDATE=05052000~DEPARTURETIME=0800~"
                "ECONOMY=1~NEWLEG=2~DEPARTURE=NYC~ARRIVAL=FRA~DEPARTUREDATE=05062000~"
                "DEPARTURETIME=0800~ECONOMY=1~~";
}

void TestServiceRequestsE2E::availableFares()
{
    QFETCH(FormEdit, edit);
    QFETCH(QByteArray, sent);
    connectTo(m_server->port());
    setForm(edit);
    setLines({"OLD ANSWER"});
    expectSent(Ctrl::AvailableFares, sent);
}

void TestServiceRequestsE2E::bookingRoadAgainstDemoServer()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    connectTo(server.serverPort());
    setForm([](QueryForm &f) {
        f.m_strArrival = "JFK";
        f.m_nResultMode = 0;
    });
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);

    m_dlg->OnFlightQuery();
    QVERIFY(done.wait());
    const QByteArray fare = m_dlg->m_listResults->text(0);
    QVERIFY2(fare.count('@') >= 10, fare.constData());

    setLines(lines(), 0);
    QTest::mouseClick(m_dlg->control(Ctrl::Availability), Qt::LeftButton);
    QVERIFY(done.wait());
    const QByteArrayList avail = lines();
    QCOMPARE(avail.size(), 4);
    QVERIFY2(avail[0].startsWith("TARIFF="), avail[0].constData());
    QVERIFY2(avail[1].startsWith("OUT01") && avail[1].count('@') == 9, avail[1].constData());
    QVERIFY2(avail[3].count('@') == 9, avail[3].constData());
    const QByteArray tariffIn = avail[0].sliced(7);

    QByteArrayList shown;
    SetBookingDialogAnswer([&](CBookingParamDlg &dlg) {
        for (const char *id : {"1049", "1050", "1051", "1052"})
            shown << dlg.findChild<CFormEdit *>(QLatin1String(id))->wireText();
        return true;
    });
    QTest::mouseClick(m_dlg->control(Ctrl::Booking), Qt::LeftButton);
    QCOMPARE(shown,
             (QByteArrayList{avail[1].split('@')[8], avail[3].split('@')[8], "0", tariffIn}));
    QVERIFY(done.wait());
    const QByteArrayList booked = lines();
    QVERIFY2(booked.value(0).startsWith("FILEKEY=") && booked.contains("STATUS=CONFIRMED"),
             booked.join(" | ").constData());
    QVERIFY(m_notes->messages.isEmpty());

    const QByteArray key = booked[0].sliced(8);
    setLines(booked, 0);
    QTest::mouseClick(m_dlg->control(Ctrl::CancelBooking), Qt::LeftButton);
    QVERIFY(done.wait());
    QCOMPARE(m_dlg->m_aMessageHistory.constLast(), "##CRSCANCELBOOKING~FILEKEY=" + key + "~~");
    QCOMPARE(lines(), (QByteArrayList{"FILEKEY=" + key, "STATUS=CANCELLED"}));

    // The same key a second time: the server has it cancelled already.
    setLines(booked, 0);
    m_dlg->OnCancelBooking();
    QVERIFY(done.wait());
    QCOMPARE(lines().size(), 1);
    QVERIFY2(lines()[0].startsWith("ERROR="), lines()[0].constData());
}

void TestServiceRequestsE2E::emailBookingAgainstDemoServer()
{
    FareServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    connectTo(server.serverPort());
    setForm([](QueryForm &f) {
        f.m_strArrival = "JFK";
        f.m_nTripType = 0;
    });
    QSignalSpy done(m_dlg.get(), &CQueryDlg::answerCompleted);
    setLines({});
    m_dlg->OnAvailability();
    QVERIFY(done.wait());
    QVERIFY2(lines().value(1).startsWith("OUT01"), lines().join(" | ").constData());
    m_dlg->OnEmailBooking();
    QVERIFY(done.wait());
    // The server accepts only a passenger of five pieces with an eight-digit
    // birth date: the field arrived whole.
    const QByteArrayList answer = lines();
    QVERIFY2(answer.value(0).startsWith("FILEKEY="), answer.join(" | ").constData());
    QVERIFY(answer.contains("STATUS=BOOKING REQUEST MAILED"));
    QVERIFY(answer.contains("PASSENGER=TEST\\TESTER\\M\\ADT\\09011967"));
}

QTEST_MAIN(TestServiceRequestsE2E)
#include "tst_servicerequests_e2e.moc"
