// The fixed-block requests, checked byte for byte: the fields on the wire,
// the zero padding and the exact length.

#include "queries/farerequests.h"
#include "session/framing.h"
#include "testsupport.h"

#include <QTest>

#include <climits>
#include <functional>

using testsupport::EmptyForm;
using testsupport::Form;

namespace {

enum class Browse { Fare, Remarks };

CStringArray Fields(const QByteArray &bytes)
{
    CStringArray fields;
    SplitFieldBlock(bytes, fields);
    return fields;
}

// Bytes that the fields take with their NULs.
qsizetype Needed(const CStringArray &fields)
{
    qsizetype n = 0;
    for (const QByteArray &f : fields)
        n += f.size() + 1;
    return n;
}

// The fields end to end, each with its NUL, then zero bytes up to size.
QByteArray Laid(const CStringArray &fields, qsizetype size)
{
    QByteArray bytes;
    for (const QByteArray &f : fields) {
        bytes += f;
        bytes += '\0';
    }
    bytes.append(size - bytes.size(), '\0');
    return bytes;
}

QByteArray ByteRange(int from, int to)
{
    QByteArray bytes;
    for (int b = from; b <= to; ++b)
        bytes += char(b);
    return bytes;
}


// Everything filled in, so that the order of all fields shows.
QueryForm FullForm()
{
    return Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strOJDeparture = "LAX";
        f.m_strOJArrival = "MUC";
        f.m_strArrival = "JFK";
        f.m_strDepDate = "15052000";
        f.m_strAirline1 = "LH";
        f.m_strAirline2 = "UA";
        f.m_strAirline3 = "AA";
        f.m_strStops1 = "0";
        f.m_strStops2 = "1";
        f.m_strStops3 = "2";
        f.m_strTolerance = "3";
        f.m_strRTDepDate = "30";
        f.m_bEconomy = f.m_bBusiness = f.m_bFirst = 1;
        f.m_nTripType = 1;
        f.m_bTTNormal = f.m_bTTYouth = f.m_bTTSenior = 1;
        f.m_bTTPartner = f.m_bTTEthnic = f.m_bTTAgent = 1;
        f.m_nResultMode = 1;
        f.m_strSupplier = "DERTUI";
        f.m_strCurrency = "DEM";
    });
}

const CStringArray kEmptyFlightQuery{"##STARTQUERY",      "ROUNDTRIP=0", "RETURN=0",
                                     "ECONOMY=0",         "BUSINESS=0",  "FIRST=0",
                                     "RETURNVALUETYPE=1", "QUERYTYPE=1"};

BuiltRequest BuildBrowse(Browse kind, const QByteArray &line)
{
    return kind == Browse::Fare ? BuildFareRequest(line) : BuildRemarksRequest(line);
}

const CStringArray kBookingHead{"##CRSBOOKING",
                                "PASSENGER=SAMPLE\\TRAVELLER\\M\\ADT\\09011967",
                                "PASSENGER=SKYTRA\\MPER\\F\\ADT\\09011967",
                                "QUEUE=80",
                                "PHONEAGENCY=040-112233",
                                "RECEIVEDFROM=INTERNETBACKEND"};

CStringArray BookingFields(const CStringArray &tail)
{
    return kBookingHead + tail;
}

// An availability line of ten "@" pieces whose ninth is the given class.
QByteArray AvailabilityLine(const QByteArray &resClass)
{
    return "AV001@LH@400@FRA@JFK@15052000@1010@1250@" + resClass + "@9";
}

} // namespace

Q_DECLARE_METATYPE(QueryForm)
Q_DECLARE_METATYPE(CrsBookingValues)
Q_DECLARE_METATYPE(Browse)

class TestFareRequests : public QObject
{
    Q_OBJECT

private slots:
    void flightQuery_data();
    void flightQuery();
    void charterQuery_data();
    void charterQuery();
    void firstRunEcho();
    void queryParamsFromForm();
    void tripTypeToRoundTrip_data();
    void tripTypeToRoundTrip();
    void startQueryLimit_data();
    void startQueryLimit();
    void fareBlock_data();
    void fareBlock();
    void fareAndRemarks_data();
    void fareAndRemarks();
    void browseLimits_data();
    void browseLimits();
    void closeRequest();
    void everyByteValuePassesThrough_data();
    void everyByteValuePassesThrough();
    void reservationClass_data();
    void reservationClass();
    void inboundTariff_data();
    void inboundTariff();
    void bookingPresets_data();
    void bookingPresets();
    void crsBooking_data();
    void crsBooking();
    void crsBookingLimit_data();
    void crsBookingLimit();
};

void TestFareRequests::flightQuery_data()
{
    QTest::addColumn<QueryForm>("form");
    QTest::addColumn<CStringArray>("expected");

    QTest::newRow("all empty") << EmptyForm() << kEmptyFlightQuery;
    QTest::newRow("first run values") << Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strArrival = "NYC";
        f.m_nTripType = 1;
        f.m_bEconomy = 1;
        f.m_bTTNormal = 1;
    }) << CStringArray{"##STARTQUERY", "DEPARTURE=FRA",     "ARRIVAL=NYC", "ROUNDTRIP=1",
                       "RETURN=1",     "ECONOMY=1",         "BUSINESS=0",  "FIRST=0",
                       "PASSTYPE=N",   "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("open-jaw departure equal to departure")
        << Form([](QueryForm &f) { f.m_strDeparture = f.m_strOJDeparture = "FRA"; })
        << CStringArray{"##STARTQUERY", "DEPARTURE=FRA",     "ROUNDTRIP=0",
                        "RETURN=0",     "ECONOMY=0",         "BUSINESS=0",
                        "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("open-jaw departure differs") << Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strOJDeparture = "LAX";
        f.m_strArrival = "JFK";
    }) << CStringArray{"##STARTQUERY", "DEPARTURE=FRA",     "INBOUNDDEPARTURE=LAX",
                       "ARRIVAL=JFK",  "ROUNDTRIP=0",       "OPENJAW=1",
                       "RETURN=0",     "ECONOMY=0",         "BUSINESS=0",
                       "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("open-jaw arrival equal to arrival")
        << Form([](QueryForm &f) { f.m_strArrival = f.m_strOJArrival = "JFK"; })
        << CStringArray{"##STARTQUERY", "ARRIVAL=JFK",       "ROUNDTRIP=0",
                        "RETURN=0",     "ECONOMY=0",         "BUSINESS=0",
                        "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("open-jaw arrival differs") << Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strArrival = "JFK";
        f.m_strOJArrival = "MUC";
    }) << CStringArray{"##STARTQUERY", "DEPARTURE=FRA", "INBOUNDARRIVAL=MUC", "ARRIVAL=JFK",
                       "ROUNDTRIP=0",  "OPENJAW=1",     "RETURN=0",           "ECONOMY=0",
                       "BUSINESS=0",   "FIRST=0",       "RETURNVALUETYPE=1",  "QUERYTYPE=1"};
    QTest::newRow("both open-jaw sides differ, one marker") << Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strOJDeparture = "LAX";
        f.m_strOJArrival = "MUC";
        f.m_strArrival = "JFK";
        f.m_nTripType = 1;
    }) << CStringArray{"##STARTQUERY",       "DEPARTURE=FRA", "INBOUNDDEPARTURE=LAX",
                       "INBOUNDARRIVAL=MUC", "ARRIVAL=JFK",   "ROUNDTRIP=1",
                       "OPENJAW=1",          "RETURN=1",      "ECONOMY=0",
                       "BUSINESS=0",         "FIRST=0",       "RETURNVALUETYPE=1",
                       "QUERYTYPE=1"};
    QTest::newRow("open-jaw comparison is case-sensitive") << Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strOJDeparture = "fra";
    }) << CStringArray{"##STARTQUERY",      "DEPARTURE=FRA", "INBOUNDDEPARTURE=fra",
                       "ROUNDTRIP=0",       "OPENJAW=1",     "RETURN=0",
                       "ECONOMY=0",         "BUSINESS=0",    "FIRST=0",
                       "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("open-jaw departure without departure")
        << Form([](QueryForm &f) { f.m_strOJDeparture = "LAX"; })
        << CStringArray{"##STARTQUERY",      "INBOUNDDEPARTURE=LAX",
                        "ROUNDTRIP=0",       "OPENJAW=1",
                        "RETURN=0",          "ECONOMY=0",
                        "BUSINESS=0",        "FIRST=0",
                        "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("supplier of seven after the open-jaw marker") << Form([](QueryForm &f) {
        f.m_strOJDeparture = "LAX";
        f.m_strSupplier = "ABCDEFG";
        f.m_strDepDate = "15052000";
    }) << CStringArray{"##STARTQUERY",      "INBOUNDDEPARTURE=LAX",
                       "ROUNDTRIP=0",       "OPENJAW=1",
                       "SUPPLIER=ABC",      "SUPPLIER=DEF",
                       "SUPPLIER=G",        "DEPARTUREDATE=15052000",
                       "RETURN=0",          "ECONOMY=0",
                       "BUSINESS=0",        "FIRST=0",
                       "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("supplier of six, no empty piece")
        << Form([](QueryForm &f) { f.m_strSupplier = "DERTUI"; })
        << CStringArray{"##STARTQUERY",      "ROUNDTRIP=0", "SUPPLIER=DER", "SUPPLIER=TUI",
                        "RETURN=0",          "ECONOMY=0",   "BUSINESS=0",   "FIRST=0",
                        "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("supplier pieces keep blanks")
        << Form([](QueryForm &f) { f.m_strSupplier = " AB C"; })
        << CStringArray{"##STARTQUERY",      "ROUNDTRIP=0", "SUPPLIER= AB", "SUPPLIER= C",
                        "RETURN=0",          "ECONOMY=0",   "BUSINESS=0",   "FIRST=0",
                        "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("stops 1 starting with star is left out") << Form([](QueryForm &f) {
        f.m_strStops1 = "*1";
        f.m_strStops2 = "2";
        f.m_strStops3 = "3";
    }) << CStringArray{"##STARTQUERY", "ROUNDTRIP=0", "RETURN=0",
                       "STOP=2",       "STOP=3",      "ECONOMY=0",
                       "BUSINESS=0",   "FIRST=0",     "RETURNVALUETYPE=1",
                       "QUERYTYPE=1"};
    QTest::newRow("star later in stops 1 is sent")
        << Form([](QueryForm &f) { f.m_strStops1 = "1*"; })
        << CStringArray{"##STARTQUERY", "ROUNDTRIP=0",       "RETURN=0",
                        "STOP=1*",      "ECONOMY=0",         "BUSINESS=0",
                        "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("star in stops 2 is sent")
        << Form([](QueryForm &f) { f.m_strStops2 = "*"; })
        << CStringArray{"##STARTQUERY", "ROUNDTRIP=0",       "RETURN=0",
                        "STOP=*",       "ECONOMY=0",         "BUSINESS=0",
                        "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("no trip type checked counts as one-way")
        << Form([](QueryForm &f) { f.m_nTripType = -1; }) << kEmptyFlightQuery;
    QTest::newRow("result mode 1")
        << Form([](QueryForm &f) { f.m_nResultMode = 1; })
        << kEmptyFlightQuery.mid(0, 6) + CStringArray{"RETURNVALUETYPE=2", "QUERYTYPE=1"};
    QTest::newRow("result mode 2")
        << Form([](QueryForm &f) { f.m_nResultMode = 2; })
        << kEmptyFlightQuery.mid(0, 6) + CStringArray{"RETURNVALUETYPE=2", "QUERYTYPE=1"};
    QTest::newRow("cabin flags with any non-zero value") << Form([](QueryForm &f) {
        f.m_bEconomy = 5;
        f.m_bBusiness = -1;
    }) << CStringArray{"##STARTQUERY", "ROUNDTRIP=0", "RETURN=0",          "ECONOMY=1",
                       "BUSINESS=1",   "FIRST=0",     "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("partner only") << Form([](QueryForm &f) { f.m_bTTPartner = 1; })
                                  << kEmptyFlightQuery.mid(0, 6) + CStringArray{"PASSTYPE=P",
                                                                                "RETURNVALUETYPE=1",
                                                                                "QUERYTYPE=1"};
    QTest::newRow("texts go out as typed") << Form([](QueryForm &f) {
        f.m_strDeparture = "fra ";
        f.m_strTolerance = " 3";
        f.m_strCurrency = "dem";
    }) << CStringArray{"##STARTQUERY", "DEPARTURE=fra ",    "ROUNDTRIP=0", "TOLERANCE= 3",
                       "RETURN=0",     "CURRENCY=dem",      "ECONOMY=0",   "BUSINESS=0",
                       "FIRST=0",      "RETURNVALUETYPE=1", "QUERYTYPE=1"};
    QTest::newRow("every field, in order") << FullForm()
                                           << CStringArray{"##STARTQUERY",
                                                           "DEPARTURE=FRA",
                                                           "INBOUNDDEPARTURE=LAX",
                                                           "INBOUNDARRIVAL=MUC",
                                                           "ARRIVAL=JFK",
                                                           "ROUNDTRIP=1",
                                                           "OPENJAW=1",
                                                           "SUPPLIER=DER",
                                                           "SUPPLIER=TUI",
                                                           "DEPARTUREDATE=15052000",
                                                           "AIRLINE=LH",
                                                           "AIRLINE=UA",
                                                           "AIRLINE=AA",
                                                           "TOLERANCE=3",
                                                           "DURATION=30",
                                                           "RETURN=1",
                                                           "CURRENCY=DEM",
                                                           "STOP=0",
                                                           "STOP=1",
                                                           "STOP=2",
                                                           "ECONOMY=1",
                                                           "BUSINESS=1",
                                                           "FIRST=1",
                                                           "PASSTYPE=N",
                                                           "PASSTYPE=Y",
                                                           "PASSTYPE=S",
                                                           "PASSTYPE=E",
                                                           "PASSTYPE=A",
                                                           "PASSTYPE=P",
                                                           "RETURNVALUETYPE=2",
                                                           "QUERYTYPE=1"};
}

void TestFareRequests::flightQuery()
{
    QFETCH(QueryForm, form);
    QFETCH(CStringArray, expected);

    const BuiltRequest request = BuildStartQuery(FlightQueryParams(form));
    QVERIFY(request.fits());
    QCOMPARE(request.overflow, 0);
    QCOMPARE(Fields(request.bytes), expected);
    QCOMPARE(request.bytes.size(), 8192);
    QCOMPARE(request.bytes, Laid(expected, 8192));
}

void TestFareRequests::charterQuery_data()
{
    QTest::addColumn<QueryForm>("form");
    QTest::addColumn<CStringArray>("expected");

    QTest::newRow("all empty") << EmptyForm()
                               << CStringArray{"##STARTQUERY", "ROUNDTRIP=0", "RETURN=0",
                                               "RETURNVALUETYPE=1", "QUERYTYPE=2"};
    QTest::newRow("flight-only values never go out") << FullForm()
                                                     << CStringArray{"##STARTQUERY",
                                                                     "DEPARTURE=FRA",
                                                                     "INBOUNDDEPARTURE=LAX",
                                                                     "INBOUNDARRIVAL=MUC",
                                                                     "ARRIVAL=JFK",
                                                                     "ROUNDTRIP=1",
                                                                     "OPENJAW=1",
                                                                     "DEPARTUREDATE=15052000",
                                                                     "AIRLINE=LH",
                                                                     "AIRLINE=UA",
                                                                     "AIRLINE=AA",
                                                                     "TOLERANCE=3",
                                                                     "DURATION=30",
                                                                     "RETURN=1",
                                                                     "RETURNVALUETYPE=2",
                                                                     "QUERYTYPE=2"};
}

void TestFareRequests::charterQuery()
{
    QFETCH(QueryForm, form);
    QFETCH(CStringArray, expected);

    const BuiltRequest request = BuildStartQuery(CharterQueryParams(form));
    QVERIFY(request.fits());
    QCOMPARE(Fields(request.bytes), expected);
    QCOMPARE(request.bytes, Laid(expected, 8192));
}

void TestFareRequests::firstRunEcho()
{
    const QueryForm form = Form([](QueryForm &f) {
        f.m_strDeparture = "FRA";
        f.m_strArrival = "NYC";
        f.m_nTripType = 1;
        f.m_bEconomy = 1;
        f.m_bTTNormal = 1;
    });
    const BuiltRequest request = BuildStartQuery(FlightQueryParams(form));
    QCOMPARE(FieldsToNotation(Fields(request.bytes)),
             QByteArray("##STARTQUERY~DEPARTURE=FRA~ARRIVAL=NYC~ROUNDTRIP=1~RETURN=1~ECONOMY=1~"
                        "BUSINESS=0~FIRST=0~PASSTYPE=N~RETURNVALUETYPE=1~QUERYTYPE=1~~"));
}

// Distinct values everywhere, so a swapped parameter shows.
void TestFareRequests::queryParamsFromForm()
{
    QueryForm f;
    f.m_strDeparture = "dep";
    f.m_strOJDeparture = "ojdep";
    f.m_strOJArrival = "ojarr";
    f.m_strArrival = "arr";
    f.m_strDepDate = "date";
    f.m_strAirline1 = "a1";
    f.m_strAirline2 = "a2";
    f.m_strAirline3 = "a3";
    f.m_strStops1 = "*s1";
    f.m_strStops2 = "s2";
    f.m_strStops3 = "s3";
    f.m_strTolerance = "tol";
    f.m_strRTDepDate = "dur";
    f.m_bEconomy = 2;
    f.m_bBusiness = 3;
    f.m_bFirst = 4;
    f.m_nTripType = 1;
    f.m_bTTNormal = 5;
    f.m_bTTYouth = 6;
    f.m_bTTSenior = 7;
    f.m_bTTPartner = 8;
    f.m_bTTEthnic = 9;
    f.m_bTTAgent = 10;
    f.m_nResultMode = 11;
    f.m_strSupplier = "sup";
    f.m_strCurrency = "cur";

    const StartQueryParams flight = FlightQueryParams(f);
    const StartQueryParams charter = CharterQueryParams(f);
    for (const StartQueryParams *p : {&flight, &charter}) {
        QCOMPARE(p->departure, QByteArray("dep"));
        QCOMPARE(p->ojDeparture, QByteArray("ojdep"));
        QCOMPARE(p->ojArrival, QByteArray("ojarr"));
        QCOMPARE(p->arrival, QByteArray("arr"));
        QCOMPARE(p->depDate, QByteArray("date"));
        QCOMPARE(p->airline1, QByteArray("a1"));
        QCOMPARE(p->airline2, QByteArray("a2"));
        QCOMPARE(p->airline3, QByteArray("a3"));
        QCOMPARE(p->stops2, QByteArray("s2"));
        QCOMPARE(p->stops3, QByteArray("s3"));
        QCOMPARE(p->tolerance, QByteArray("tol"));
        QCOMPARE(p->duration, QByteArray("dur"));
        QCOMPARE(p->economy, 2);
        QCOMPARE(p->business, 3);
        QCOMPARE(p->first, 4);
        QCOMPARE(p->roundTrip, 1);
        QCOMPARE(p->ttNormal, 5);
        QCOMPARE(p->ttYouth, 6);
        QCOMPARE(p->ttSenior, 7);
        QCOMPARE(p->ttPartner, 8);
        QCOMPARE(p->ttEthnic, 9);
        QCOMPARE(p->ttAgent, 10);
        QCOMPARE(p->resultMode, 11);
    }
    QCOMPARE(flight.stops1, QByteArray());
    QCOMPARE(flight.flightQuery, 1);
    QCOMPARE(flight.supplier, QByteArray("sup"));
    QCOMPARE(flight.currency, QByteArray("cur"));
    QCOMPARE(charter.stops1, QByteArray("*s1"));
    QCOMPARE(charter.flightQuery, 0);
    QCOMPARE(charter.supplier, QByteArray());
    QCOMPARE(charter.currency, QByteArray());
    QCOMPARE(f.m_strStops1, QByteArray("*s1"));
}

void TestFareRequests::tripTypeToRoundTrip_data()
{
    QTest::addColumn<int>("tripType");
    QTest::addColumn<int>("roundTrip");
    QTest::newRow("Oneway") << 0 << 0;
    QTest::newRow("RoundTrip") << 1 << 1;
    QTest::newRow("none checked") << -1 << 0;
    QTest::newRow("out of range") << 2 << 0;
}

void TestFareRequests::tripTypeToRoundTrip()
{
    QFETCH(int, tripType);
    QFETCH(int, roundTrip);
    const QueryForm form = Form([&](QueryForm &f) { f.m_nTripType = tripType; });
    QCOMPARE(FlightQueryParams(form).roundTrip, roundTrip);
    QCOMPARE(CharterQueryParams(form).roundTrip, roundTrip);
}

void TestFareRequests::startQueryLimit_data()
{
    QTest::addColumn<qsizetype>("departureLength");
    QTest::addColumn<QByteArray>("supplier");
    QTest::addColumn<qsizetype>("overflow");

    // The empty query plus "DEPARTURE=" and its NUL, with the closing zero
    // byte, leave this much for the airport text.
    const qsizetype room = 8192 - Needed(kEmptyFlightQuery) - 11 - 1;
    QTest::newRow("exactly fills the area") << room << QByteArray() << qsizetype(0);
    QTest::newRow("one byte short of the limit") << room - 1 << QByteArray() << qsizetype(0);
    QTest::newRow("one byte too long") << room + 1 << QByteArray() << qsizetype(1);
    QTest::newRow("ten bytes too long") << room + 10 << QByteArray() << qsizetype(10);
    // 1000 supplier fields of 13 bytes each on top of the departure field.
    QTest::newRow("many supplier fields") << qsizetype(3) << QByteArray(3000, 'S')
                                          << Needed(kEmptyFlightQuery) + 14 + 13000 + 1 - 8192;
}

void TestFareRequests::startQueryLimit()
{
    QFETCH(qsizetype, departureLength);
    QFETCH(QByteArray, supplier);
    QFETCH(qsizetype, overflow);

    const QueryForm form = Form([&](QueryForm &f) {
        f.m_strDeparture = QByteArray(departureLength, 'D');
        f.m_strSupplier = supplier;
    });
    const BuiltRequest request = BuildStartQuery(FlightQueryParams(form));
    QCOMPARE(request.overflow, overflow);
    QCOMPARE(request.fits(), overflow == 0);
    if (overflow != 0) {
        QVERIFY(request.bytes.isEmpty());
        return;
    }
    CStringArray expected = kEmptyFlightQuery;
    expected.insert(1, "DEPARTURE=" + form.m_strDeparture);
    QCOMPARE(request.bytes, Laid(expected, 8192));
}

void TestFareRequests::fareBlock_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("first next") << 2 << QByteArray("2");
    QTest::newRow("first previous") << 0 << QByteArray("0");
    QTest::newRow("below zero") << -1 << QByteArray("-1");
    QTest::newRow("further below zero") << -2 << QByteArray("-2");
    QTest::newRow("two digits") << 10 << QByteArray("10");
    QTest::newRow("largest") << INT_MAX << QByteArray("2147483647");
    QTest::newRow("smallest") << INT_MIN << QByteArray("-2147483648");
}

void TestFareRequests::fareBlock()
{
    QFETCH(int, number);
    QFETCH(QByteArray, text);

    const BuiltRequest request = BuildFareBlockRequest(number);
    QVERIFY(request.fits());
    QCOMPARE(request.bytes.size(), 100);
    QCOMPARE(request.bytes, Laid({"##GETFAREBLOCK", text}, 100));
    QCOMPARE(FieldsToNotation(Fields(request.bytes)), "##GETFAREBLOCK~" + text + "~~");
}

void TestFareRequests::fareAndRemarks_data()
{
    QTest::addColumn<Browse>("kind");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<CStringArray>("laid");
    QTest::addColumn<QByteArray>("echo");

    QTest::newRow("fare") << Browse::Fare << QByteArray("4711-2")
                          << CStringArray{"##GETFARE", "4711-2"}
                          << QByteArray("##GETFARE~4711-2~~");
    QTest::newRow("fare, empty list") << Browse::Fare << QByteArray()
                                      << CStringArray{"##GETFARE", ""} << QByteArray("##GETFARE~~");
    QTest::newRow("remarks") << Browse::Remarks << QByteArray("4711-2")
                             << CStringArray{"##GETFAREFIELDFROMSET", "4711-2", "REMARKS"}
                             << QByteArray("##GETFAREFIELDFROMSET~4711-2~REMARKS~~");
    // REMARKS still lies behind the closing empty field.
    QTest::newRow("remarks, empty list")
        << Browse::Remarks << QByteArray() << CStringArray{"##GETFAREFIELDFROMSET", "", "REMARKS"}
        << QByteArray("##GETFAREFIELDFROMSET~~");
    QTest::newRow("fare, line with blanks and separators")
        << Browse::Fare << QByteArray(" A=B@C ") << CStringArray{"##GETFARE", " A=B@C "}
        << QByteArray("##GETFARE~ A=B@C ~~");
}

void TestFareRequests::fareAndRemarks()
{
    QFETCH(Browse, kind);
    QFETCH(QByteArray, line);
    QFETCH(CStringArray, laid);
    QFETCH(QByteArray, echo);

    const BuiltRequest request = BuildBrowse(kind, line);
    QVERIFY(request.fits());
    QCOMPARE(request.bytes.size(), 100);
    QCOMPARE(testsupport::Tilde(request.bytes), testsupport::Tilde(Laid(laid, 100)));
    QCOMPARE(FieldsToNotation(Fields(request.bytes)), echo);
}

void TestFareRequests::browseLimits_data()
{
    QTest::addColumn<Browse>("kind");
    QTest::addColumn<qsizetype>("lineLength");
    QTest::addColumn<qsizetype>("overflow");

    QTest::newRow("fare 88 fits") << Browse::Fare << qsizetype(88) << qsizetype(0);
    QTest::newRow("fare 89 one too long") << Browse::Fare << qsizetype(89) << qsizetype(1);
    QTest::newRow("fare 90") << Browse::Fare << qsizetype(90) << qsizetype(2);
    QTest::newRow("fare 500") << Browse::Fare << qsizetype(500) << qsizetype(412);
    QTest::newRow("remarks 68 fits") << Browse::Remarks << qsizetype(68) << qsizetype(0);
    QTest::newRow("remarks 69 one too long") << Browse::Remarks << qsizetype(69) << qsizetype(1);
    QTest::newRow("remarks 88") << Browse::Remarks << qsizetype(88) << qsizetype(20);
}

void TestFareRequests::browseLimits()
{
    QFETCH(Browse, kind);
    QFETCH(qsizetype, lineLength);
    QFETCH(qsizetype, overflow);

    const QByteArray line(lineLength, 'L');
    const BuiltRequest request = BuildBrowse(kind, line);
    QCOMPARE(request.overflow, overflow);
    QCOMPARE(request.fits(), overflow == 0);
    if (overflow != 0) {
        QVERIFY(request.bytes.isEmpty());
        return;
    }
    const CStringArray fields = kind == Browse::Fare
                                    ? CStringArray{"##GETFARE", line}
                                    : CStringArray{"##GETFAREFIELDFROMSET", line, "REMARKS"};
    QCOMPARE(request.bytes, Laid(fields, 100));
    // A line at the limit leaves exactly the closing zero byte.
    QCOMPARE(request.bytes.at(98), '\0');
    QCOMPARE(request.bytes.at(99), '\0');
    QVERIFY(request.bytes.at(97) != '\0');
}

void TestFareRequests::closeRequest()
{
    const BuiltRequest request = BuildCloseRequest();
    QVERIFY(request.fits());
    QCOMPARE(request.bytes.size(), 8192);
    QCOMPARE(request.bytes.left(18), QByteArray("##CLOSECONNECTION\0", 18));
    QCOMPARE(request.bytes.count('\0'), 8192 - 17);
    QCOMPARE(Fields(request.bytes), CStringArray{"##CLOSECONNECTION"});
}

void TestFareRequests::everyByteValuePassesThrough_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("0x01-0x44") << ByteRange(0x01, 0x44);
    QTest::newRow("0x45-0x88") << ByteRange(0x45, 0x88);
    QTest::newRow("0x89-0xCC") << ByteRange(0x89, 0xCC);
    QTest::newRow("0xCD-0xFF") << ByteRange(0xCD, 0xFF);
    QTest::newRow("0x01-0xFF") << ByteRange(0x01, 0xFF);
}

// No builder translates, trims or escapes anything.
void TestFareRequests::everyByteValuePassesThrough()
{
    QFETCH(QByteArray, text);

    const BuiltRequest query =
        BuildStartQuery(FlightQueryParams(Form([&](QueryForm &f) { f.m_strDeparture = text; })));
    QCOMPARE(Fields(query.bytes).value(1), "DEPARTURE=" + text);

    CrsBookingValues values;
    values.outLine = "12345" + text;
    values.resClassOut = text;
    const BuiltRequest booking = BuildCrsBooking(values);
    QCOMPARE(Fields(booking.bytes).value(6), "AVAILABILITYIDOUT=" + text);
    QCOMPARE(Fields(booking.bytes).value(7), "RESCLASSOUT=" + text);

    if (text.size() <= 88)
        QCOMPARE(Fields(BuildFareRequest(text).bytes).value(1), text);
    if (text.size() <= 68)
        QCOMPARE(Fields(BuildRemarksRequest(text).bytes).value(1), text);
}

void TestFareRequests::reservationClass_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("resClass");

    QTest::newRow("ten pieces, ninth M") << AvailabilityLine("M") << QByteArray("M");
    QTest::newRow("nine pieces") << QByteArray("1@2@3@4@5@6@7@8@K") << QByteArray("K");
    QTest::newRow("eight pieces") << QByteArray("1@2@3@4@5@6@7@8") << QByteArray("Y");
    QTest::newRow("trailing separator adds no piece")
        << QByteArray("1@2@3@4@5@6@7@8@") << QByteArray("Y");
    QTest::newRow("double separator starts the next piece")
        << QByteArray("1@2@3@4@5@6@7@8@@9") << QByteArray("@9");
    QTest::newRow("no separator") << QByteArray("AVAILABILITY") << QByteArray("Y");
    QTest::newRow("empty line") << QByteArray() << QByteArray("Y");
    QTest::newRow("class taken whole") << AvailabilityLine("q x") << QByteArray("q x");
}

void TestFareRequests::reservationClass()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, resClass);
    QCOMPARE(ReservationClass(line), resClass);
}

void TestFareRequests::inboundTariff_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("tariff");

    QTest::newRow("KEY=VALUE") << QByteArray("TARIFF=7") << QByteArray("7");
    QTest::newRow("no separator") << QByteArray("TARIFF") << QByteArray("TARIFF");
    QTest::newRow("two separators") << QByteArray("A=B=C") << QByteArray("B");
    QTest::newRow("leading separator") << QByteArray("=5") << QByteArray("5");
    QTest::newRow("trailing separator is one piece") << QByteArray("A=") << QByteArray("A=");
    QTest::newRow("double separator") << QByteArray("A==B") << QByteArray("=B");
    QTest::newRow("empty line") << QByteArray() << QByteArray();
}

void TestFareRequests::inboundTariff()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, tariff);
    QCOMPARE(InboundTariff(line), tariff);
}

void TestFareRequests::bookingPresets_data()
{
    QTest::addColumn<QByteArray>("outLine");
    QTest::addColumn<QByteArray>("inLine");
    QTest::addColumn<QByteArray>("resClassOut");
    QTest::addColumn<QByteArray>("resClassIn");

    QTest::newRow("round trip") << AvailabilityLine("M") << AvailabilityLine("B") << QByteArray("M")
                                << QByteArray("B");
    QTest::newRow("short inbound line")
        << AvailabilityLine("M") << QByteArray("AV002") << QByteArray("M") << QByteArray("Y");
    QTest::newRow("one-way") << AvailabilityLine("M") << QByteArray() << QByteArray("M")
                             << QByteArray();
    QTest::newRow("no outbound line")
        << QByteArray() << QByteArray() << QByteArray("Y") << QByteArray();
}

void TestFareRequests::bookingPresets()
{
    QFETCH(QByteArray, outLine);
    QFETCH(QByteArray, inLine);
    QFETCH(QByteArray, resClassOut);
    QFETCH(QByteArray, resClassIn);

    const CrsBookingValues v = BookingPresets(outLine, "1A", inLine, "5");
    QCOMPARE(v.outLine, outLine);
    QCOMPARE(v.crs, QByteArray("1A"));
    QCOMPARE(v.inLine, inLine);
    QCOMPARE(v.resClassOut, resClassOut);
    QCOMPARE(v.resClassIn, resClassIn);
    QCOMPARE(v.tariffOut, QByteArray("0"));
    QCOMPARE(v.tariffIn, QByteArray("5"));
}

void TestFareRequests::crsBooking_data()
{
    QTest::addColumn<CrsBookingValues>("values");
    QTest::addColumn<CStringArray>("expected");

    const QByteArray out = AvailabilityLine("M");
    const QByteArray in = AvailabilityLine("B");
    const QByteArray outId = out.mid(5);
    const QByteArray inId = in.mid(5);

    QTest::newRow("one-way") << CrsBookingValues{out, "", "", "M", "", "0", ""}
                             << BookingFields(
                                    {"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M", "TARIFFOUT=0"});
    QTest::newRow("one-way with CRS")
        << CrsBookingValues{out, "1A", "", "M", "", "0", ""}
        << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M", "TARIFFOUT=0", "CRS=1A"});
    QTest::newRow("one-way ignores inbound dialog values")
        << CrsBookingValues{out, "", "", "M", "C", "0", "9"}
        << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M", "TARIFFOUT=0"});
    QTest::newRow("round trip") << CrsBookingValues{out, "", in, "M", "B", "0", "5"}
                                << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M",
                                                  "TARIFFOUT=0", "AVAILABILITYIDIN=" + inId,
                                                  "RESCLASSIN=B", "TARIFFIN=5", "ROUNDTRIP=1"});
    QTest::newRow("round trip with CRS")
        << CrsBookingValues{out, "1A", in, "M", "B", "0", "5"}
        << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M", "TARIFFOUT=0", "CRS=1A",
                          "AVAILABILITYIDIN=" + inId, "RESCLASSIN=B", "TARIFFIN=5", "ROUNDTRIP=1"});
    QTest::newRow("dialog values as typed")
        << CrsBookingValues{out, "", in, "m ", "", "007", ""}
        << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=m ", "TARIFFOUT=007",
                          "AVAILABILITYIDIN=" + inId, "RESCLASSIN=", "TARIFFIN=", "ROUNDTRIP=1"});
    QTest::newRow("outbound line of five")
        << CrsBookingValues{"AV001", "", "", "Y", "", "0", ""}
        << BookingFields({"AVAILABILITYIDOUT=", "RESCLASSOUT=Y", "TARIFFOUT=0"});
    QTest::newRow("outbound line of six")
        << CrsBookingValues{"AV001X", "", "", "Y", "", "0", ""}
        << BookingFields({"AVAILABILITYIDOUT=X", "RESCLASSOUT=Y", "TARIFFOUT=0"});
    QTest::newRow("no outbound line")
        << CrsBookingValues{"", "", "", "Y", "", "0", ""}
        << BookingFields({"AVAILABILITYIDOUT=", "RESCLASSOUT=Y", "TARIFFOUT=0"});
    QTest::newRow("short inbound line")
        << CrsBookingValues{out, "", "AV2", "M", "Y", "0", "5"}
        << BookingFields({"AVAILABILITYIDOUT=" + outId, "RESCLASSOUT=M", "TARIFFOUT=0",
                          "AVAILABILITYIDIN=", "RESCLASSIN=Y", "TARIFFIN=5", "ROUNDTRIP=1"});
    QTest::newRow("from the dialog's presets")
        << BookingPresets(out, "", in, InboundTariff("TARIFF=5"))
        << BookingFields({"AVAILABILITYIDOUT=@LH@400@FRA@JFK@15052000@1010@1250@M@9",
                          "RESCLASSOUT=M", "TARIFFOUT=0",
                          "AVAILABILITYIDIN=@LH@400@FRA@JFK@15052000@1010@1250@B@9", "RESCLASSIN=B",
                          "TARIFFIN=5", "ROUNDTRIP=1"});
}

void TestFareRequests::crsBooking()
{
    QFETCH(CrsBookingValues, values);
    QFETCH(CStringArray, expected);

    const BuiltRequest request = BuildCrsBooking(values);
    QVERIFY(request.fits());
    QCOMPARE(Fields(request.bytes), expected);
    // The fields, the closing empty field and exactly one more zero byte.
    QCOMPARE(request.bytes.size(), Needed(expected) + 2);
    QCOMPARE(request.bytes, Laid(expected, Needed(expected) + 2));
}

void TestFareRequests::crsBookingLimit_data()
{
    QTest::addColumn<qsizetype>("extra");
    QTest::newRow("exactly at the limit") << qsizetype(0);
    QTest::newRow("one byte below") << qsizetype(-1);
    QTest::newRow("one byte too long") << qsizetype(1);
    QTest::newRow("seven bytes too long") << qsizetype(7);
}

void TestFareRequests::crsBookingLimit()
{
    QFETCH(qsizetype, extra);

    const CStringArray tail{"RESCLASSOUT=Y", "TARIFFOUT=0", "CRS=1A"};
    // Room for the identifier: all fields, "AVAILABILITYIDOUT=" and its NUL,
    // the closing empty field and the further zero byte in 8192 bytes.
    const qsizetype room = 8192 - Needed(BookingFields(tail)) - 19 - 2;
    const QByteArray id(room + extra, 'I');
    const BuiltRequest request = BuildCrsBooking({"AV001" + id, "1A", "", "Y", "", "0", ""});

    QCOMPARE(request.overflow, extra > 0 ? extra : 0);
    if (extra > 0) {
        QVERIFY(request.bytes.isEmpty());
        return;
    }
    const CStringArray expected = BookingFields(CStringArray{"AVAILABILITYIDOUT=" + id} + tail);
    QCOMPARE(request.bytes.size(), 8192 + extra);
    QCOMPARE(request.bytes, Laid(expected, 8192 + extra));
}

QTEST_APPLESS_MAIN(TestFareRequests)
#include "tst_farerequests.moc"
