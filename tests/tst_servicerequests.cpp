// The service requests composed in console notation, the return day of the
// available-fares request and the scripted run's fixed texts.

#include "queries/farerequests.h"
#include "requests/servicerequests.h"
#include "session/framing.h"
#include "testsupport.h"

#include <QTest>

#include <functional>

using testsupport::EmptyForm;
using testsupport::Form;

namespace {

// The fields that a console text puts on the wire.
CStringArray WireFields(const QByteArray &text, bool convertBackslashZero = true)
{
    CStringArray fields;
    SplitFieldBlock(ConvertConsoleText(text, convertBackslashZero), fields);
    return fields;
}

// Every byte value but NUL and the "~" that the notation reserves.
QByteArray NotationBytes()
{
    QByteArray bytes;
    for (int b = 0x01; b <= 0xFF; ++b) {
        if (b != '~')
            bytes += char(b);
    }
    return bytes;
}


// Oneway FRA to NYC on 15052000, Economy, DEM, tariff type Normal.
QueryForm FaresForm(const std::function<void(QueryForm &)> &change = {})
{
    return Form([&](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strArrival = "NYC";
        f.m_strDepDate = "15052000";
        f.m_bEconomy = 1;
        f.m_strCurrency = "DEM";
        f.m_bTTNormal = 1;
        if (change)
            change(f);
    });
}

const CStringArray kFaresHead{"##GETAVAILABLEFARES", "AMOUNTOFFARES=6",      "AMOUNTOFPUBLFARES=2",
                              "MAXIMUMFARES=8",      "SIMULTANEOUSAVAILS=6", "CHECKAVAILABILITY=1",
                              "CHECKTAX=1",          "STARTFARE=1",          "NEWPAS=1",
                              "PASAMOUNT=1"};

CStringArray Leg(const QByteArray &n, const QByteArray &from, const QByteArray &to,
                 const QByteArray &date, const CStringArray &tail)
{
    return CStringArray{"NEWLEG=" + n, "DEPARTURE=" + from, "ARRIVAL=" + to,
                        "DEPARTUREDATE=" + date, "DEPARTURETIME=0800"} +
           tail;
}

const CStringArray kOneWayFares = kFaresHead +
                                  CStringArray{"PASTYPE=ADT", "CURRENCY=DEM", "FLIGHTTYPE=1"} +
                                  Leg("1", "FRA", "NYC", "15052000", {"ECONOMY=1"});

CStringArray RoundTripFares(const CStringArray &leg1Tail, const CStringArray &leg2)
{
    return kFaresHead + CStringArray{"PASTYPE=ADT", "CURRENCY=DEM", "FLIGHTTYPE=2"} +
           Leg("1", "FRA", "NYC", "15052000", leg1Tail) + leg2;
}

const QByteArray kColumns[80] = {"RECORDSET",
                                 "FARENUMBER",
                                 "DEPARTURE",
                                 "ARRIVAL",
                                 "FEEDER",
                                 "LONGHAUL",
                                 "ADDON",
                                 "VIA1",
                                 "VIA2",
                                 "VIA3",
                                 "DEPARTURECODE",
                                 "ARRIVALCODE",
                                 "FEEDERCODE",
                                 "LONGHAULCODE",
                                 "ADDONCODE",
                                 "VIA1CODE",
                                 "VIA2CODE",
                                 "VIA3CODE",
                                 "STOP",
                                 "VICEVERSA",
                                 "PASSTYPE",
                                 "VALIDFROM",
                                 "VALIDTO",
                                 "PRICEOW",
                                 "PRICERT",
                                 "ERATEOW",
                                 "ERATERT",
                                 "TAX",
                                 "FLEXFOC",
                                 "RESCLASS",
                                 "CHILDINFO",
                                 "INFANTINFO",
                                 "ADDWE",
                                 "ATIX",
                                 "BTIX",
                                 "NOSHOW",
                                 "OPENJAW",
                                 "RAILFLY",
                                 "TOD",
                                 "WEEKDAYSE",
                                 "WEEKDAYSW",
                                 "MIN",
                                 "MAX",
                                 "CABINECLASS",
                                 "CABINECLASSCODE",
                                 "SUPPLIER",
                                 "SUPPLIERCODE",
                                 "DEPARTUREDATEOW",
                                 "DEPARTUREDATERT",
                                 "AIRLINE",
                                 "AIRLINECODE",
                                 "FLIGHTNUMBEROW",
                                 "FLIGHTNUMBERRT",
                                 "VALIDAT",
                                 "TIMEDEP",
                                 "TIMEARR",
                                 "CURRENCY",
                                 "PLANETYPE",
                                 "WDSURBUY",
                                 "WDSURSELL",
                                 "WDSURDAYBUY",
                                 "WDSURDAYSELL",
                                 "PRICEWDOW",
                                 "PRICEWDRT",
                                 "BRATEWDOW",
                                 "BRATEWDRT",
                                 "MATCHCODE",
                                 "VFTAXADT",
                                 "VFTAXCHD",
                                 "VFTAXINF",
                                 "BLACKOUTDATES",
                                 "LASTBOOKINGDATE",
                                 "LASTTKTDATE",
                                 "MAXTKTBEFOREBOOKING",
                                 "MINBOOKINGBEFOREDEP",
                                 "MINTKTBEFOREDEP",
                                 "FIRSTTKTDATE",
                                 "FIRSTBOOKINGDATE",
                                 "TKTDAYSAFTERBOOKING",
                                 "BLACKOUTFLIGHTNUMBERS"};

} // namespace

Q_DECLARE_METATYPE(QueryForm)

class TestServiceRequests : public QObject
{
    Q_OBJECT

private slots:
    void codeLookups_data();
    void codeLookups();
    void durationRule_data();
    void durationRule();
    void availability_data();
    void availability();
    void emailBooking_data();
    void emailBooking();
    void emailPassengerFieldStaysWhole();
    void cancelBooking_data();
    void cancelBooking();
    void availableFares_data();
    void availableFares();
    void returnDay_data();
    void returnDay();
    void everyByteValuePassesThrough();
    void specialTestOptions();
    void specialTestOutputMask();
    void defaultStartQuery();
    void fareBlockTexts_data();
    void fareBlockTexts();
    void closeConnectionText();
};

void TestServiceRequests::codeLookups_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    const QueryForm fra = Form([](QueryForm &f) { f.m_strDeparture = "FRA"; });
    const QueryForm lh = Form([](QueryForm &f) { f.m_strAirline1 = "LH"; });
    const QueryForm typed = Form([](QueryForm &f) {
        f.m_strDeparture = "fr a";
        f.m_strAirline1 = "l";
    });
    QTest::newRow("airports FRA")
        << ComposeAirportCodes(fra)
        << QByteArray("##GETAIRPORTS~FILTER=FRA~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airports without filter")
        << ComposeAirportCodes(EmptyForm())
        << QByteArray("##GETAIRPORTS~FILTER=~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airports filter as typed")
        << ComposeAirportCodes(typed)
        << QByteArray("##GETAIRPORTS~FILTER=fr a~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airports ignore airline 1")
        << ComposeAirportCodes(lh)
        << QByteArray("##GETAIRPORTS~FILTER=~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~"
                      "WANTCITYNAME~WANTAIRPORTNAME~~");
    QTest::newRow("airlines LH")
        << ComposeAirlineCodes(lh)
        << QByteArray("##GETAIRLINES~FILTER=LH~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~");
    QTest::newRow("airlines without filter")
        << ComposeAirlineCodes(fra)
        << QByteArray("##GETAIRLINES~FILTER=~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~");
    QTest::newRow("airlines filter as typed")
        << ComposeAirlineCodes(typed)
        << QByteArray("##GETAIRLINES~FILTER=l~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~");
}

void TestServiceRequests::codeLookups()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(text, expected);
    QVERIFY(ConvertConsoleText(text).endsWith(QByteArray(2, '\0')));
}

void TestServiceRequests::durationRule_data()
{
    QTest::addColumn<int>("tripType");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("round trip, empty") << 1 << QByteArray() << QByteArray("14");
    QTest::newRow("round trip, eight digits") << 1 << QByteArray("15062000") << QByteArray("14");
    QTest::newRow("round trip, four") << 1 << QByteArray("1234") << QByteArray("14");
    QTest::newRow("round trip, three") << 1 << QByteArray("123") << QByteArray("123");
    QTest::newRow("round trip, 7") << 1 << QByteArray("7") << QByteArray("7");
    QTest::newRow("round trip, blank kept") << 1 << QByteArray(" ") << QByteArray(" ");
    QTest::newRow("oneway, empty") << 0 << QByteArray() << QByteArray();
    QTest::newRow("oneway, eight digits") << 0 << QByteArray("15062000") << QByteArray("15062000");
    QTest::newRow("none checked, empty") << -1 << QByteArray() << QByteArray();
}

void TestServiceRequests::durationRule()
{
    QFETCH(int, tripType);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    QueryForm form = Form([&](QueryForm &f) {
        f.m_nTripType = tripType;
        f.m_strRTDepDate = before;
        f.m_strDepDate = "15052000";
    });
    ApplyDurationRule(form);
    QCOMPARE(form.m_strRTDepDate, after);
    QCOMPARE(form.m_strDepDate, QByteArray("15052000"));
    QCOMPARE(form.m_nTripType, tripType);
}

void TestServiceRequests::availability_data()
{
    QTest::addColumn<QueryForm>("form");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("stayAfter");

    const auto base = [](const std::function<void(QueryForm &)> &change) {
        return Form([&](QueryForm &f) {
            f.m_strDeparture = "FRA";
            f.m_strArrival = "JFK";
            f.m_strDepDate = "15052000";
            change(f);
        });
    };
    const QByteArray line = "4711-2";
    const QByteArray head = "##CRSGETAVAILABILITY~RECORDSET=4711-2";
    const QByteArray route = "~DEPDATE=15052000~DEPARTURE=FRA~ARRIVAL=JFK";

    QTest::newRow("round trip, empty stay")
        << base([](QueryForm &f) { f.m_nTripType = 1; }) << line
        << head + route + "~DURATION=14~ROUNDTRIP=1~VIA=***~~" << QByteArray("14");
    QTest::newRow("round trip, eight-digit stay") << base([](QueryForm &f) {
        f.m_nTripType = 1;
        f.m_strRTDepDate = "15062000";
    }) << line << head + route + "~DURATION=14~ROUNDTRIP=1~VIA=***~~"
                                                  << QByteArray("14");
    QTest::newRow("round trip, stay 7") << base([](QueryForm &f) {
        f.m_nTripType = 1;
        f.m_strRTDepDate = "7";
    }) << line << head + route + "~DURATION=7~ROUNDTRIP=1~VIA=***~~"
                                        << QByteArray("7");
    QTest::newRow("oneway, stay 7 still sent")
        << base([](QueryForm &f) { f.m_strRTDepDate = "7"; }) << line
        << head + route + "~DURATION=7~ROUNDTRIP=1~VIA=***~~" << QByteArray("7");
    QTest::newRow("oneway, no stay")
        << base([](QueryForm &) {}) << line << head + route + "~VIA=***~~" << QByteArray();
    QTest::newRow("with CRS") << base([](QueryForm &f) { f.m_strUseCRS = "1A"; }) << line
                              << head + "~CRS=1A" + route + "~VIA=***~~" << QByteArray();
    QTest::newRow("open-jaw pair second") << base([](QueryForm &f) {
        f.m_strOJDeparture = "LAX";
        f.m_strOJArrival = "MUC";
    }) << line << head + route + "~DEPARTURE=LAX~ARRIVAL=MUC~VIA=***~~"
                                          << QByteArray();
    QTest::newRow("open-jaw arrival only")
        << base([](QueryForm &f) { f.m_strOJArrival = "MUC"; }) << line
        << head + route + "~ARRIVAL=MUC~VIA=***~~" << QByteArray();
    QTest::newRow("everything")
        << base([](QueryForm &f) {
               f.m_strUseCRS = "1A";
               f.m_strOJDeparture = "LAX";
               f.m_strOJArrival = "MUC";
               f.m_nTripType = 1;
           })
        << line
        << head + "~CRS=1A" + route + "~DEPARTURE=LAX~ARRIVAL=MUC~DURATION=14~ROUNDTRIP=1~VIA=***~~"
        << QByteArray("14");
    QTest::newRow("empty list") << base([](QueryForm &) {}) << QByteArray()
                                << "##CRSGETAVAILABILITY~RECORDSET=" + route + "~VIA=***~~"
                                << QByteArray();
    QTest::newRow("line taken whole")
        << base([](QueryForm &) {}) << QByteArray("A=B@C D")
        << "##CRSGETAVAILABILITY~RECORDSET=A=B@C D" + route + "~VIA=***~~" << QByteArray();
    QTest::newRow("empty form") << EmptyForm() << QByteArray()
                                << QByteArray("##CRSGETAVAILABILITY~RECORDSET=~DEPDATE=~"
                                              "DEPARTURE=~ARRIVAL=~VIA=***~~")
                                << QByteArray();
}

void TestServiceRequests::availability()
{
    QFETCH(QueryForm, form);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, stayAfter);

    ApplyDurationRule(form);
    QCOMPARE(ComposeAvailability(form, line), expected);
    QCOMPARE(form.m_strRTDepDate, stayAfter);
}

void TestServiceRequests::emailBooking_data()
{
    QTest::addColumn<QByteArray>("recordset");
    QTest::addColumn<QByteArray>("secondLine");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray head = "##EMAILBOOKING~TARIFFOUT=0~ROUNDTRIP=0~RESCLASSOUT=X~"
                            "PASSENGER=TEST\\TESTER\\M\\ADT\\09011967~NAMECLIENT=Chief~"
                            "PHONECLIENT=1111~RECORDSET=";
    QTest::newRow("before any availability request")
        << QByteArray() << QByteArray() << head + "~AVAILABILITYIDOUT=~~";
    QTest::newRow("after an availability request")
        << QByteArray("4711-2") << QByteArray("AV001@LH@400")
        << head + "4711-2~AVAILABILITYIDOUT=AV001@LH@400~~";
    QTest::newRow("lines taken whole")
        << QByteArray("A=B C") << QByteArray(" X=Y ") << head + "A=B C~AVAILABILITYIDOUT= X=Y ~~";
}

void TestServiceRequests::emailBooking()
{
    QFETCH(QByteArray, recordset);
    QFETCH(QByteArray, secondLine);
    QFETCH(QByteArray, expected);
    QCOMPARE(ComposeEmailBooking(recordset, secondLine), expected);
}

void TestServiceRequests::emailPassengerFieldStaysWhole()
{
    const QByteArray text = ComposeEmailBooking("4711-2", "AV001");
    const CStringArray expected{"##EMAILBOOKING",
                                "TARIFFOUT=0",
                                "ROUNDTRIP=0",
                                "RESCLASSOUT=X",
                                "PASSENGER=TEST\\TESTER\\M\\ADT\\09011967",
                                "NAMECLIENT=Chief",
                                "PHONECLIENT=1111",
                                "RECORDSET=4711-2",
                                "AVAILABILITYIDOUT=AV001"};
    QCOMPARE(WireFields(text, false), expected);
    // Why the composed request must skip the backslash-zero conversion.
    QVERIFY(WireFields(text, true) != expected);
}

void TestServiceRequests::cancelBooking_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("crs");
    QTest::addColumn<QByteArray>("fileKey");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("KEY=VALUE") << QByteArray("FILEKEY=ABC123") << QByteArray()
                               << QByteArray("ABC123")
                               << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~~");
    QTest::newRow("no separator") << QByteArray("ABC123") << QByteArray() << QByteArray("ABC123")
                                  << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~~");
    QTest::newRow("two separators") << QByteArray("A=B=C") << QByteArray() << QByteArray("B")
                                    << QByteArray("##CRSCANCELBOOKING~FILEKEY=B~~");
    QTest::newRow("with CRS") << QByteArray("FILEKEY=ABC123") << QByteArray("1A")
                              << QByteArray("ABC123")
                              << QByteArray("##CRSCANCELBOOKING~FILEKEY=ABC123~CRS=1A~~");
    QTest::newRow("empty list") << QByteArray() << QByteArray() << QByteArray()
                                << QByteArray("##CRSCANCELBOOKING~FILEKEY=~~");
    QTest::newRow("trailing separator") << QByteArray("KEY=") << QByteArray() << QByteArray("KEY=")
                                        << QByteArray("##CRSCANCELBOOKING~FILEKEY=KEY=~~");
    QTest::newRow("leading separator") << QByteArray("=K1") << QByteArray() << QByteArray("K1")
                                       << QByteArray("##CRSCANCELBOOKING~FILEKEY=K1~~");
}

void TestServiceRequests::cancelBooking()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, crs);
    QFETCH(QByteArray, fileKey);
    QFETCH(QByteArray, expected);

    QCOMPARE(FileKeyOf(line), fileKey);
    const QueryForm form = Form([&](QueryForm &f) { f.m_strUseCRS = crs; });
    QCOMPARE(ComposeCancelBooking(form, line), expected);
}

void TestServiceRequests::availableFares_data()
{
    QTest::addColumn<QueryForm>("form");
    QTest::addColumn<CStringArray>("expected");

    const auto roundTrip = [](const std::function<void(QueryForm &)> &change) {
        return FaresForm([&](QueryForm &f) {
            f.m_nTripType = 1;
            change(f);
        });
    };
    const auto typeOnly = [](const QByteArray &passType) {
        CStringArray fields = kOneWayFares;
        fields[10] = passType;
        return fields;
    };

    QTest::newRow("oneway") << FaresForm() << kOneWayFares;
    QTest::newRow("round trip, computed return day")
        << roundTrip([](QueryForm &) {})
        << RoundTripFares({"ECONOMY=1"}, Leg("2", "NYC", "FRA", "15062000", {"ECONOMY=1"}));
    QTest::newRow("youth before senior")
        << FaresForm([](QueryForm &f) { f.m_bTTYouth = f.m_bTTSenior = 1; })
        << typeOnly("PASTYPE=YTH");
    QTest::newRow("senior") << FaresForm([](QueryForm &f) { f.m_bTTSenior = 1; })
                            << typeOnly("PASTYPE=SCR");
    QTest::newRow("other tariff types are adults") << FaresForm([](QueryForm &f) {
        f.m_bTTPartner = f.m_bTTEthnic = f.m_bTTAgent = 1;
        f.m_bTTNormal = 0;
    }) << typeOnly("PASTYPE=ADT");
    CStringArray noCurrency = kOneWayFares;
    noCurrency.removeAt(11);
    QTest::newRow("no currency") << FaresForm([](QueryForm &f) { f.m_strCurrency.clear(); })
                                 << noCurrency;
    QTest::newRow("no trip type checked is one-way")
        << FaresForm([](QueryForm &f) { f.m_nTripType = -1; }) << kOneWayFares;
    QTest::newRow("airline 1 on both legs")
        << roundTrip([](QueryForm &f) { f.m_strAirline1 = "LH"; })
        << RoundTripFares({"ECONOMY=1", "AIRLINE=LH"},
                          Leg("2", "NYC", "FRA", "15062000", {"ECONOMY=1", "AIRLINE=LH"}));
    QTest::newRow("airline 2 on the return leg only")
        << roundTrip([](QueryForm &f) {
               f.m_strAirline1 = "LH";
               f.m_strAirline2 = "UA";
           })
        << RoundTripFares({"ECONOMY=1", "AIRLINE=LH"},
                          Leg("2", "NYC", "FRA", "15062000", {"ECONOMY=1", "AIRLINE=UA"}));
    QTest::newRow("airline 2 without airline 1")
        << roundTrip([](QueryForm &f) { f.m_strAirline2 = "UA"; })
        << RoundTripFares({"ECONOMY=1"},
                          Leg("2", "NYC", "FRA", "15062000", {"ECONOMY=1", "AIRLINE=UA"}));
    QTest::newRow("oneway ignores airline 2")
        << FaresForm([](QueryForm &f) { f.m_strAirline2 = "UA"; }) << kOneWayFares;
    QTest::newRow("open-jaw return leg") << roundTrip([](QueryForm &f) {
        f.m_strOJDeparture = "LAX";
        f.m_strOJArrival = "MUC";
    }) << RoundTripFares({"ECONOMY=1"}, Leg("2", "LAX", "MUC", "15062000", {"ECONOMY=1"}));
    QTest::newRow("open-jaw departure only")
        << roundTrip([](QueryForm &f) { f.m_strOJDeparture = "LAX"; })
        << RoundTripFares({"ECONOMY=1"}, Leg("2", "LAX", "FRA", "15062000", {"ECONOMY=1"}));
    QTest::newRow("return day as given")
        << roundTrip([](QueryForm &f) { f.m_strRTDepDate = "01062000"; })
        << RoundTripFares({"ECONOMY=1"}, Leg("2", "NYC", "FRA", "01062000", {"ECONOMY=1"}));
    QTest::newRow("no days at all")
        << roundTrip([](QueryForm &f) { f.m_strDepDate.clear(); })
        << kFaresHead + CStringArray{"PASTYPE=ADT", "CURRENCY=DEM", "FLIGHTTYPE=2"} +
               Leg("1", "FRA", "NYC", "", {"ECONOMY=1"}) +
               Leg("2", "NYC", "FRA", "010000", {"ECONOMY=1"});
    QTest::newRow("December departure")
        << roundTrip([](QueryForm &f) { f.m_strDepDate = "15122000"; })
        << kFaresHead + CStringArray{"PASTYPE=ADT", "CURRENCY=DEM", "FLIGHTTYPE=2"} +
               Leg("1", "FRA", "NYC", "15122000", {"ECONOMY=1"}) +
               Leg("2", "NYC", "FRA", "15012001", {"ECONOMY=1"});
    QTest::newRow("no cabin class") << roundTrip([](QueryForm &f) { f.m_bEconomy = 0; })
                                    << RoundTripFares({}, Leg("2", "NYC", "FRA", "15062000", {}));
    QTest::newRow("all cabins, supplier and airline in order")
        << roundTrip([](QueryForm &f) {
               f.m_bBusiness = f.m_bFirst = 1;
               f.m_strSupplier = "DERTUI";
               f.m_strAirline1 = "LH";
           })
        << RoundTripFares(
               {"ECONOMY=1", "BUSINESS=1", "FIRST=1", "SUPPLIER=DERTUI", "AIRLINE=LH"},
               Leg("2", "NYC", "FRA", "15062000",
                   {"ECONOMY=1", "BUSINESS=1", "FIRST=1", "SUPPLIER=DERTUI", "AIRLINE=LH"}));
    QTest::newRow("empty form") << EmptyForm()
                                << kFaresHead + CStringArray{"PASTYPE=ADT", "FLIGHTTYPE=1"} +
                                       Leg("1", "", "", "", {});
}

void TestServiceRequests::availableFares()
{
    QFETCH(QueryForm, form);
    QFETCH(CStringArray, expected);

    const QByteArray text = ComposeAvailableFares(form);
    QCOMPARE(WireFields(text), expected);
    // Exactly the fields and the closing empty field, nothing behind it.
    QCOMPARE(text, FieldsToNotation(expected));
}

void TestServiceRequests::returnDay_data()
{
    QTest::addColumn<QByteArray>("depDate");
    QTest::addColumn<QByteArray>("returnDay");

    QTest::newRow("empty") << QByteArray() << QByteArray("010000");
    QTest::newRow("mid-month") << QByteArray("15052000") << QByteArray("15062000");
    QTest::newRow("day below ten") << QByteArray("05052000") << QByteArray("05062000");
    QTest::newRow("day below ten, zero missing") << QByteArray("5052000") << QByteArray("05062000");
    QTest::newRow("November") << QByteArray("15112000") << QByteArray("15122000");
    QTest::newRow("December") << QByteArray("15122000") << QByteArray("15012001");
    QTest::newRow("December, day below ten") << QByteArray("05122000") << QByteArray("05012001");
    QTest::newRow("December, zero missing") << QByteArray("5122000") << QByteArray("05012001");
    QTest::newRow("December, century") << QByteArray("31121999") << QByteArray("31012000");
    QTest::newRow("December of year 9999") << QByteArray("31129999") << QByteArray("310110000");
    QTest::newRow("month 12 in a short number") << QByteArray("120000") << QByteArray("0130000");
    QTest::newRow("nine digits") << QByteArray("151220000") << QByteArray("151230000");
    QTest::newRow("sum reaches eight digits") << QByteArray("9990000") << QByteArray("10000000");
    QTest::newRow("sum just below eight digits") << QByteArray("9989999") << QByteArray("09999999");
    QTest::newRow("leading blanks") << QByteArray(" \t\n\v\f\r15052000") << QByteArray("15062000");
    QTest::newRow("plus sign") << QByteArray("+5") << QByteArray("010005");
    QTest::newRow("negative") << QByteArray("-5") << QByteArray("09995");
    QTest::newRow("negative sum") << QByteArray("-20000") << QByteArray("0-10000");
    QTest::newRow("trailing text ignored") << QByteArray("15052000 X") << QByteArray("15062000");
    QTest::newRow("dotted day reads its first number")
        << QByteArray("15.05.2000") << QByteArray("010015");
    QTest::newRow("no digits") << QByteArray("X15052000") << QByteArray("010000");
    QTest::newRow("sign without digits") << QByteArray("-") << QByteArray("010000");
    QTest::newRow("blank after sign") << QByteArray("- 5") << QByteArray("010000");
    QTest::newRow("two signs") << QByteArray("+-5") << QByteArray("010000");
    QTest::newRow("many leading zeros")
        << QByteArray("000000000000015052000") << QByteArray("15062000");
    QTest::newRow("largest int") << QByteArray("2147483647") << QByteArray("2147493647");
    QTest::newRow("saturates above int") << QByteArray("2147483648") << QByteArray("2147493647");
    QTest::newRow("saturates far above int")
        << QByteArray("999999999999999999999999") << QByteArray("2147493647");
    QTest::newRow("smallest int") << QByteArray("-2147483648") << QByteArray("0-2147473648");
    QTest::newRow("saturates below int")
        << QByteArray("-99999999999999") << QByteArray("0-2147473648");
}

void TestServiceRequests::returnDay()
{
    QFETCH(QByteArray, depDate);
    QFETCH(QByteArray, returnDay);
    QCOMPARE(ComputeReturnDay(depDate), returnDay);
}

// Composing only concatenates: every byte the notation can carry arrives.
void TestServiceRequests::everyByteValuePassesThrough()
{
    const QByteArray bytes = NotationBytes();
    QCOMPARE(bytes.size(), 254);
    const QueryForm form = Form([&](QueryForm &f) {
        f.m_strDeparture = bytes;
        f.m_strAirline1 = bytes;
    });
    QCOMPARE(WireFields(ComposeAirportCodes(form)).value(1), "FILTER=" + bytes);
    QCOMPARE(WireFields(ComposeAirlineCodes(form)).value(1), "FILTER=" + bytes);
    QCOMPARE(WireFields(ComposeAvailability(form, bytes)).value(1), "RECORDSET=" + bytes);
    QCOMPARE(WireFields(ComposeEmailBooking(bytes, bytes), false).value(7), "RECORDSET=" + bytes);
    QCOMPARE(WireFields(ComposeAvailableFares(form)).value(13), "DEPARTURE=" + bytes);
}

void TestServiceRequests::specialTestOptions()
{
    QCOMPARE(
        WireFields(kSpecialTestOptions),
        (CStringArray{"##SETOPTIONS", "MAXHITS=500", "FARESPERREQUEST=25", "DEPARTURESEPARATOR=, ",
                      "ENDOFSETTOKEN=\\EOS\\", "USEENDOFSETTOKEN=0", "ONLYMATCHINGAIRPORTS=1",
                      "DATEFORMAT=%d.%m.%Y", "WDSURCHARGESUFFIX=*", "MAKEDEFAULT=0"}));
    QVERIFY(kSpecialTestOptions.endsWith("~~"));
}

void TestServiceRequests::specialTestOutputMask()
{
    const QByteArray bytes = ConvertConsoleText(kSpecialTestOutputMask);
    CStringArray fields;
    QCOMPARE(SplitFieldBlock(bytes, fields), 162);
    // Nothing after the closing empty field.
    QCOMPARE(bytes.size(), qsizetype(FieldsToNotation(fields).size()));
    QVERIFY(bytes.endsWith(QByteArray(2, '\0')));

    QCOMPARE(fields.at(0), QByteArray("##SETOUTPUTMASK"));
    QCOMPARE(fields.at(1), QByteArray("MASKTYPE=8"));
    for (int i = 0; i < 80; ++i) {
        QCOMPARE(fields.at(2 + i), kColumns[i]);
        QCOMPARE(fields.at(82 + i), "IN_" + kColumns[i]);
    }
}

void TestServiceRequests::defaultStartQuery()
{
    QCOMPARE(WireFields(kDefaultStartQuery),
             (CStringArray{"##STARTQUERY", "SUPPLIER=DER", "DEPARTURE=FRA", "ARRIVAL=JFK",
                           "DEPARTUREDATE=15052000", "DURATION=30", "ECONOMY=1", "BUSINESS=1",
                           "FIRST=1", "RETURNVALUETYPE=2", "CURRENCY=DEM", "INBOUNDDEPARTURE=LAX",
                           "INBOUNDARRIVAL=FRA", "OPENJAW=1"}));
    QVERIFY(kDefaultStartQuery.endsWith("~~"));
    QVERIFY(!kDefaultStartQuery.endsWith("~~~"));
}

void TestServiceRequests::fareBlockTexts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("text");
    for (int n = 2; n <= 9; ++n) {
        QTest::addRow("block %d", n)
            << n << "##GETFAREBLOCK~" + QByteArray(1, char('0' + n)) + "~~";
    }
    QTest::newRow("block 10") << 10 << QByteArray("##GETFAREBLOCK~10~~");
    QTest::newRow("block -1") << -1 << QByteArray("##GETFAREBLOCK~-1~~");
}

void TestServiceRequests::fareBlockTexts()
{
    QFETCH(int, number);
    QFETCH(QByteArray, text);

    QCOMPARE(FareBlockText(number), text);
    // Typed or fixed, the block request carries the same bytes, less padding.
    const QByteArray typed = ConvertConsoleText(FareBlockText(number));
    QCOMPARE(testsupport::Tilde(typed),
             testsupport::Tilde(BuildFareBlockRequest(number).bytes.left(typed.size())));
}

void TestServiceRequests::closeConnectionText()
{
    QCOMPARE(kCloseConnectionText, QByteArray("##CLOSECONNECTION~~"));
    const QByteArray typed = ConvertConsoleText(kCloseConnectionText);
    QCOMPARE(typed.size(), 19);
    QCOMPARE(typed, BuildCloseRequest().bytes.left(19));
}

QTEST_APPLESS_MAIN(TestServiceRequests)
#include "tst_servicerequests.moc"
