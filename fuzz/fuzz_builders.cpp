// The request builders fed with arbitrary form values: every block either
// fits its area, ending in its closing empty field inside it, or is refused
// whole. The console texts of the service requests end in their closing
// empty field once converted. Every value is derived from the input; a flag
// byte keeps "~", NUL and backslash-zero out of them, so that the exact
// layout can be checked too.

#include "fuzzcheck.h"
#include "queries/farerequests.h"
#include "requests/servicerequests.h"
#include "session/framing.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

class FormSource
{
public:
    explicit FormSource(FuzzedDataProvider &fdp) : m_fdp(fdp), m_clean(fdp.ConsumeBool()) {}
    bool clean() const { return m_clean; }

    // Two bytes from the end give a text's length and repetition, so that
    // every value gets its share of short inputs, and now and then one is
    // repeated to many kilobytes to overflow the 8192-byte areas.
    QByteArray text()
    {
        const auto length = m_fdp.ConsumeIntegral<uint8_t>();
        const auto repeat = m_fdp.ConsumeIntegral<uint8_t>();
        const std::string s = m_fdp.ConsumeBytesAsString(length);
        QByteArray t(s.data(), qsizetype(s.size()));
        if (repeat >= 240 && !t.isEmpty())
            t = t.repeated((repeat - 239) * 64).left(20000);
        if (m_clean)
            t.replace('\0', ' ').replace('~', '-').replace("\\0", "\\1");
        return t;
    }

    int flag()
    {
        switch (m_fdp.ConsumeIntegral<uint8_t>() % 4) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return -1;
        default:
            return m_fdp.ConsumeIntegral<int>();
        }
    }

    QueryForm form()
    {
        QueryForm f;
        for (QByteArray *t :
             {&f.m_strDeparture, &f.m_strOJDeparture, &f.m_strOJArrival, &f.m_strArrival,
              &f.m_strDepDate, &f.m_strTolerance, &f.m_strRTDepDate, &f.m_strAirline1,
              &f.m_strAirline2, &f.m_strAirline3, &f.m_strStops1, &f.m_strStops2, &f.m_strStops3,
              &f.m_strSupplier, &f.m_strCurrency, &f.m_strUseCRS})
            *t = text();
        for (int *i : {&f.m_bEconomy, &f.m_bBusiness, &f.m_bFirst, &f.m_nTripType, &f.m_bTTNormal,
                       &f.m_bTTYouth, &f.m_bTTSenior, &f.m_bTTPartner, &f.m_bTTEthnic,
                       &f.m_bTTAgent, &f.m_nResultMode})
            *i = flag();
        return f;
    }

private:
    FuzzedDataProvider &m_fdp;
    bool m_clean;
};

qsizetype LaidLength(const CStringArray &fields)
{
    qsizetype n = 0;
    for (const QByteArray &f : fields)
        n += f.size() + 1;
    return n;
}

// What every block has to satisfy. Returns its fields (empty if refused).
CStringArray CheckBlock(const BuiltRequest &r, QByteArrayView command, qsizetype areaSize,
                        bool wholeArea, bool clean)
{
    if (!r.fits()) {
        FUZZ_CHECK(r.overflow > 0);
        FUZZ_CHECK(r.bytes.isEmpty());
        return {};
    }
    FUZZ_CHECK(r.overflow == 0);
    FUZZ_CHECK(wholeArea ? r.bytes.size() == areaSize : r.bytes.size() <= areaSize);
    CStringArray fields;
    SplitFieldBlock(r.bytes, fields);
    FUZZ_CHECK(!fields.isEmpty());
    FUZZ_CHECK(fields.first() == command);
    const qsizetype end = LaidLength(fields);
    FUZZ_CHECK(end < r.bytes.size());
    FUZZ_CHECK(r.bytes[end] == '\0');
    if (!wholeArea)
        FUZZ_CHECK(r.bytes.endsWith(QByteArrayView("\0\0", 2)));
    if (clean) {
        // Nothing after the closing empty field but zeros: padding for the
        // fixed areas, exactly one more zero byte otherwise.
        const QByteArray rest = r.bytes.mid(end);
        FUZZ_CHECK(rest.count('\0') == rest.size());
        if (!wholeArea)
            FUZZ_CHECK(rest.size() == 2);
    }
    return fields;
}

// A refusal must be justified and an acceptance possible: the values alone
// bound the needed length from below, values plus a generous allowance for
// keys from above.
void CheckBounds(const BuiltRequest &r, qsizetype areaSize, qsizetype lower, qsizetype upper)
{
    if (lower > areaSize)
        FUZZ_CHECK(!r.fits() && r.overflow >= lower - areaSize);
    if (upper <= areaSize)
        FUZZ_CHECK(r.fits());
    if (!r.fits())
        FUZZ_CHECK(r.overflow <= upper - areaSize);
}

void CheckStartQuery(const QueryForm &form, bool flight, bool clean)
{
    const StartQueryParams p = flight ? FlightQueryParams(form) : CharterQueryParams(form);
    const BuiltRequest r = BuildStartQuery(p);
    const QByteArray *always[] = {&p.departure, &p.arrival,  &p.depDate,   &p.airline1,
                                  &p.airline2,  &p.airline3, &p.tolerance, &p.duration};
    const QByteArray *maybe[] = {&p.ojDeparture, &p.ojArrival, &p.stops1,
                                 &p.stops2,      &p.stops3,    &p.currency};
    qsizetype lower = 13 + 1;
    qsizetype upper = 13 + 1 + 32 * 24 + (p.supplier.size() + 2) / 3 * 13;
    for (const QByteArray *v : always) {
        lower += v->isEmpty() ? 0 : v->size() + 1;
        upper += v->size() + 24;
    }
    for (const QByteArray *v : maybe)
        upper += v->size() + 24;
    CheckBounds(r, kQueryAreaSize, lower, upper);

    const CStringArray fields = CheckBlock(r, "##STARTQUERY", kQueryAreaSize, true, clean);
    if (!clean || fields.isEmpty())
        return;
    FUZZ_CHECK(fields.last() == (flight ? "QUERYTYPE=1" : "QUERYTYPE=2"));
    const auto has = [&](const char *key, const QByteArray &value) {
        return value.isEmpty() || fields.contains(key + value);
    };
    FUZZ_CHECK(has("DEPARTURE=", p.departure) && has("ARRIVAL=", p.arrival));
    FUZZ_CHECK(has("DEPARTUREDATE=", p.depDate) && has("TOLERANCE=", p.tolerance));
    FUZZ_CHECK(has("AIRLINE=", p.airline1) && has("AIRLINE=", p.airline2));
    FUZZ_CHECK(has("AIRLINE=", p.airline3) && has("DURATION=", p.duration));
    FUZZ_CHECK(fields.contains(form.m_nTripType == 1 ? "ROUNDTRIP=1" : "ROUNDTRIP=0"));
    QByteArray supplier;
    for (const QByteArray &f : fields) {
        if (f.startsWith("SUPPLIER=")) {
            FUZZ_CHECK(f.size() > 9 && f.size() <= 12);
            supplier += f.mid(9);
        }
    }
    FUZZ_CHECK(supplier == (flight ? form.m_strSupplier : QByteArray()));
    if (flight) {
        FUZZ_CHECK(has("CURRENCY=", form.m_strCurrency));
        FUZZ_CHECK(has("STOP=", form.m_strStops2) && has("STOP=", form.m_strStops3));
        if (!form.m_strStops1.startsWith('*'))
            FUZZ_CHECK(has("STOP=", form.m_strStops1));
    }
}

void CheckBrowsing(FormSource &src, int blockNumber)
{
    const CStringArray block = CheckBlock(BuildFareBlockRequest(blockNumber), "##GETFAREBLOCK",
                                          kBrowseAreaSize, true, true);
    FUZZ_CHECK(block == CStringArray({"##GETFAREBLOCK", std::to_string(blockNumber).c_str()}));

    const QByteArray line = src.text();
    const BuiltRequest fare = BuildFareRequest(line);
    FUZZ_CHECK(fare.fits() == (line.size() <= 88));
    FUZZ_CHECK(fare.overflow == (line.size() <= 88 ? 0 : line.size() - 88));
    const CStringArray fareFields =
        CheckBlock(fare, "##GETFARE", kBrowseAreaSize, true, src.clean());
    if (src.clean() && fare.fits())
        FUZZ_CHECK(fareFields ==
                   (line.isEmpty() ? CStringArray{"##GETFARE"} : CStringArray{"##GETFARE", line}));

    const BuiltRequest remarks = BuildRemarksRequest(line);
    FUZZ_CHECK(remarks.fits() == (line.size() <= 68));
    FUZZ_CHECK(remarks.overflow == (line.size() <= 68 ? 0 : line.size() - 68));
    // An empty line ends the request after the command: "REMARKS" then lies
    // behind the closing empty field, so only non-empty lines are clean.
    const CStringArray remarkFields = CheckBlock(remarks, "##GETFAREFIELDFROMSET", kBrowseAreaSize,
                                                 true, src.clean() && !line.isEmpty());
    if (src.clean() && remarks.fits() && !line.isEmpty())
        FUZZ_CHECK(remarkFields == CStringArray({"##GETFAREFIELDFROMSET", line, "REMARKS"}));
}

void CheckBooking(FormSource &src, bool presets)
{
    CrsBookingValues v;
    if (presets) {
        const QByteArray out = src.text(), crs = src.text(), in = src.text(), tariff = src.text();
        v = BookingPresets(out, crs, in, tariff);
        FUZZ_CHECK(v.outLine == out && v.crs == crs && v.inLine == in && v.tariffIn == tariff);
        FUZZ_CHECK(v.resClassOut == ReservationClass(out) && v.tariffOut == "0");
        FUZZ_CHECK(v.resClassIn == (in.isEmpty() ? QByteArray() : ReservationClass(in)));
    } else {
        for (QByteArray *t : {&v.outLine, &v.crs, &v.inLine, &v.resClassOut, &v.resClassIn,
                              &v.tariffOut, &v.tariffIn})
            *t = src.text();
    }
    const BuiltRequest r = BuildCrsBooking(v);
    // The inbound values count only for a round trip; the lines lose their
    // five-byte record prefix.
    const auto id = [](const QByteArray &line) { return std::max<qsizetype>(line.size() - 5, 0); };
    qsizetype values = id(v.outLine) + v.crs.size() + v.resClassOut.size() + v.tariffOut.size();
    if (!v.inLine.isEmpty())
        values += id(v.inLine) + v.resClassIn.size() + v.tariffIn.size();
    // Five fixed fields of at most 48 bytes, up to eight keyed ones.
    CheckBounds(r, kQueryAreaSize, values + 13 + 2, values + 13 + 5 * 48 + 8 * 24 + 2);
    const CStringArray fields = CheckBlock(r, "##CRSBOOKING", kQueryAreaSize, false, src.clean());
    if (!src.clean() || fields.isEmpty())
        return;
    const auto idOf = [](const QByteArray &line) { return line.size() > 5 ? line.mid(5) : ""; };
    FUZZ_CHECK(fields.contains("AVAILABILITYIDOUT=" + idOf(v.outLine)));
    FUZZ_CHECK(fields.contains("RESCLASSOUT=" + v.resClassOut));
    FUZZ_CHECK(fields.contains("TARIFFOUT=" + v.tariffOut));
    FUZZ_CHECK(v.crs.isEmpty() || fields.contains("CRS=" + v.crs));
    if (v.inLine.isEmpty()) {
        FUZZ_CHECK(!fields.contains("ROUNDTRIP=1"));
    } else {
        FUZZ_CHECK(fields.contains("AVAILABILITYIDIN=" + idOf(v.inLine)));
        FUZZ_CHECK(fields.contains("RESCLASSIN=" + v.resClassIn));
        FUZZ_CHECK(fields.contains("TARIFFIN=" + v.tariffIn));
        FUZZ_CHECK(fields.last() == "ROUNDTRIP=1");
    }
}

// A composed console text, converted as the console sends it, ends in the
// closing empty field; with clean values that field is its very end.
CStringArray CheckComposed(const QByteArray &text, QByteArrayView command, bool clean,
                           bool convertBackslashZero = true)
{
    FUZZ_CHECK(text.endsWith("~~"));
    const QByteArray bytes = ConvertConsoleText(text, convertBackslashZero);
    FUZZ_CHECK(bytes.endsWith(QByteArrayView("\0\0", 2)));
    CStringArray fields;
    SplitFieldBlock(bytes, fields);
    FUZZ_CHECK(!fields.isEmpty() && fields.first() == command);
    const qsizetype end = LaidLength(fields);
    FUZZ_CHECK(end < bytes.size() && bytes[end] == '\0');
    if (clean)
        FUZZ_CHECK(end == bytes.size() - 1);
    return fields;
}

void CheckServiceRequests(FormSource &src, QueryForm form)
{
    const bool clean = src.clean();
    CheckComposed(ComposeAirportCodes(form), "##GETAIRPORTS", clean);
    CheckComposed(ComposeAirlineCodes(form), "##GETAIRLINES", clean);
    CheckComposed(ComposeAvailableFares(form), "##GETAVAILABLEFARES", clean);
    CheckComposed(ComposeCancelBooking(form, src.text()), "##CRSCANCELBOOKING", clean);

    const QByteArray stay = form.m_strRTDepDate;
    ApplyDurationRule(form);
    if (form.m_nTripType == 1)
        FUZZ_CHECK(form.m_strRTDepDate.size() >= 1 && form.m_strRTDepDate.size() <= 3);
    else
        FUZZ_CHECK(form.m_strRTDepDate == stay);
    CheckComposed(ComposeAvailability(form, src.text()), "##CRSGETAVAILABILITY", clean);

    // Sent without the backslash-zero rule, the passenger keeps its "\0".
    const CStringArray email =
        CheckComposed(ComposeEmailBooking(src.text(), src.text()), "##EMAILBOOKING", clean, false);
    if (clean)
        FUZZ_CHECK(email.contains("PASSENGER=TEST\\TESTER\\M\\ADT\\09011967"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    FormSource src(fdp);
    const QueryForm form = src.form();
    const int blockNumber = fdp.ConsumeIntegral<int>();
    const bool presets = fdp.ConsumeBool();

    CheckStartQuery(form, true, src.clean());
    CheckStartQuery(form, false, src.clean());
    CheckBrowsing(src, blockNumber);
    CheckBooking(src, presets);
    CheckServiceRequests(src, form);

    const CStringArray close =
        CheckBlock(BuildCloseRequest(), "##CLOSECONNECTION", kQueryAreaSize, true, true);
    FUZZ_CHECK(close == CStringArray{"##CLOSECONNECTION"});
    return 0;
}
