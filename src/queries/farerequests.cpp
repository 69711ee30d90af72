#include "queries/farerequests.h"

#include "session/framing.h"

#include <utility>

namespace {

// Lays the fields into a zero-filled area. A request that does not fit
// yields no bytes at all rather than a truncated one.
BuiltRequest Lay(const CStringArray &fields, qsizetype areaSize, qsizetype trailingZeros,
                 bool wholeArea)
{
    RequestArea area(areaSize, trailingZeros);
    for (const QByteArray &field : fields)
        area.add(field);
    if (!area.fits())
        return {QByteArray(), area.overflow()};
    return {wholeArea ? area.area() : area.area().left(area.needed()), 0};
}

// The fixed-length requests go out whole, padding included.
BuiltRequest LayFixed(const CStringArray &fields, qsizetype areaSize)
{
    return Lay(fields, areaSize, 1, true);
}

QByteArray Flag(int flag)
{
    return flag != 0 ? "1" : "0";
}

void AddIfGiven(CStringArray &fields, const char *key, const QByteArray &value)
{
    if (!value.isEmpty())
        fields.append(key + value);
}

void AddSupplierPieces(CStringArray &fields, const QByteArray &supplier)
{
    for (qsizetype pos = 0; pos < supplier.size(); pos += 3)
        fields.append("SUPPLIER=" + supplier.mid(pos, 3));
}

void AddFlightOnlyFields(CStringArray &fields, const StartQueryParams &p)
{
    AddIfGiven(fields, "STOP=", p.stops1);
    AddIfGiven(fields, "STOP=", p.stops2);
    AddIfGiven(fields, "STOP=", p.stops3);
    fields.append("ECONOMY=" + Flag(p.economy));
    fields.append("BUSINESS=" + Flag(p.business));
    fields.append("FIRST=" + Flag(p.first));
    // The server expects the partner type last, after agent.
    const std::pair<int, const char *> types[] = {
        {p.ttNormal, "PASSTYPE=N"}, {p.ttYouth, "PASSTYPE=Y"}, {p.ttSenior, "PASSTYPE=S"},
        {p.ttEthnic, "PASSTYPE=E"}, {p.ttAgent, "PASSTYPE=A"}, {p.ttPartner, "PASSTYPE=P"}};
    for (const auto &[flag, field] : types) {
        if (flag != 0)
            fields.append(field);
    }
}

CStringArray StartQueryFields(const StartQueryParams &p)
{
    // The open-jaw sides compare the airports as entered, case-sensitively.
    const bool ojDep = !p.ojDeparture.isEmpty() && p.ojDeparture != p.departure;
    const bool ojArr = !p.ojArrival.isEmpty() && p.ojArrival != p.arrival;
    CStringArray fields{"##STARTQUERY"};
    AddIfGiven(fields, "DEPARTURE=", p.departure);
    if (ojDep)
        fields.append("INBOUNDDEPARTURE=" + p.ojDeparture);
    if (ojArr)
        fields.append("INBOUNDARRIVAL=" + p.ojArrival);
    AddIfGiven(fields, "ARRIVAL=", p.arrival);
    fields.append("ROUNDTRIP=" + Flag(p.roundTrip));
    if (ojDep || ojArr)
        fields.append("OPENJAW=1");
    AddSupplierPieces(fields, p.supplier);
    AddIfGiven(fields, "DEPARTUREDATE=", p.depDate);
    AddIfGiven(fields, "AIRLINE=", p.airline1);
    AddIfGiven(fields, "AIRLINE=", p.airline2);
    AddIfGiven(fields, "AIRLINE=", p.airline3);
    AddIfGiven(fields, "TOLERANCE=", p.tolerance);
    AddIfGiven(fields, "DURATION=", p.duration);
    fields.append("RETURN=" + Flag(p.roundTrip));
    AddIfGiven(fields, "CURRENCY=", p.currency);
    if (p.flightQuery != 0)
        AddFlightOnlyFields(fields, p);
    fields.append(p.resultMode == 0 ? "RETURNVALUETYPE=1" : "RETURNVALUETYPE=2");
    fields.append(p.flightQuery != 0 ? "QUERYTYPE=1" : "QUERYTYPE=2");
    return fields;
}

StartQueryParams CommonQueryParams(const QueryForm &f)
{
    StartQueryParams p;
    p.departure = f.m_strDeparture;
    p.ojDeparture = f.m_strOJDeparture;
    p.ojArrival = f.m_strOJArrival;
    p.arrival = f.m_strArrival;
    p.depDate = f.m_strDepDate;
    p.airline1 = f.m_strAirline1;
    p.airline2 = f.m_strAirline2;
    p.airline3 = f.m_strAirline3;
    p.stops1 = f.m_strStops1;
    p.stops2 = f.m_strStops2;
    p.stops3 = f.m_strStops3;
    p.tolerance = f.m_strTolerance;
    p.duration = f.m_strRTDepDate;
    p.economy = f.m_bEconomy;
    p.business = f.m_bBusiness;
    p.first = f.m_bFirst;
    // Any trip type but RoundTrip, "none checked" included, is one-way.
    p.roundTrip = f.m_nTripType == 1 ? 1 : 0;
    p.ttNormal = f.m_bTTNormal;
    p.ttYouth = f.m_bTTYouth;
    p.ttSenior = f.m_bTTSenior;
    p.ttPartner = f.m_bTTPartner;
    p.ttEthnic = f.m_bTTEthnic;
    p.ttAgent = f.m_bTTAgent;
    p.resultMode = f.m_nResultMode;
    return p;
}

QByteArray WithoutFirstFive(const QByteArray &line)
{
    // Availability lines carry a five-character record prefix the server
    // does not want back.
    return line.size() > 5 ? line.mid(5) : QByteArray();
}

} // namespace

StartQueryParams FlightQueryParams(const QueryForm &form)
{
    StartQueryParams p = CommonQueryParams(form);
    if (p.stops1.startsWith('*'))
        p.stops1.clear();
    p.flightQuery = 1;
    p.supplier = form.m_strSupplier;
    p.currency = form.m_strCurrency;
    return p;
}

StartQueryParams CharterQueryParams(const QueryForm &form)
{
    StartQueryParams p = CommonQueryParams(form);
    p.flightQuery = 0;
    return p;
}

BuiltRequest BuildStartQuery(const StartQueryParams &params)
{
    return LayFixed(StartQueryFields(params), kQueryAreaSize);
}

BuiltRequest BuildFareBlockRequest(int blockNumber)
{
    return LayFixed({"##GETFAREBLOCK", QByteArray::number(blockNumber)}, kBrowseAreaSize);
}

BuiltRequest BuildFareRequest(const QByteArray &line)
{
    return LayFixed({"##GETFARE", line}, kBrowseAreaSize);
}

BuiltRequest BuildRemarksRequest(const QByteArray &line)
{
    return LayFixed({"##GETFAREFIELDFROMSET", line, "REMARKS"}, kBrowseAreaSize);
}

BuiltRequest BuildCloseRequest()
{
    return LayFixed({"##CLOSECONNECTION"}, kQueryAreaSize);
}

QByteArray ReservationClass(const QByteArray &availabilityLine)
{
    CStringArray pieces;
    if (SplitBySeparator(availabilityLine, pieces, "@") >= 9)
        return pieces[8];
    return "Y";
}

QByteArray InboundTariff(const QByteArray &firstLine)
{
    CStringArray pieces;
    if (SplitBySeparator(firstLine, pieces, "=") > 1)
        return pieces[1];
    return firstLine;
}

CrsBookingValues BookingPresets(const QByteArray &outLine, const QByteArray &crs,
                                const QByteArray &inLine, const QByteArray &inboundTariff)
{
    CrsBookingValues v{outLine,      crs, inLine,       ReservationClass(outLine),
                       QByteArray(), "0", inboundTariff};
    if (!inLine.isEmpty())
        v.resClassIn = ReservationClass(inLine);
    return v;
}

BuiltRequest BuildCrsBooking(const CrsBookingValues &v)
{
    CStringArray fields{"##CRSBOOKING",
                        "PASSENGER=SAMPLE\\TRAVELLER\\M\\ADT\\09011967",
                        "PASSENGER=SKYTRA\\MPER\\F\\ADT\\09011967",
                        "QUEUE=80",
                        "PHONEAGENCY=040-112233",
                        "RECEIVEDFROM=INTERNETBACKEND",
                        "AVAILABILITYIDOUT=" + WithoutFirstFive(v.outLine),
                        "RESCLASSOUT=" + v.resClassOut,
                        "TARIFFOUT=" + v.tariffOut};
    AddIfGiven(fields, "CRS=", v.crs);
    if (!v.inLine.isEmpty()) {
        fields.append("AVAILABILITYIDIN=" + WithoutFirstFive(v.inLine));
        fields.append("RESCLASSIN=" + v.resClassIn);
        fields.append("TARIFFIN=" + v.tariffIn);
        fields.append("ROUNDTRIP=1");
    }
    // Unlike the fixed blocks, only the fields, the closing empty field and
    // one more zero byte go out.
    return Lay(fields, kQueryAreaSize, 2, false);
}
