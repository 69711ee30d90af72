#include "requests/servicerequests.h"

#include "session/framing.h"

namespace {

// The keyed part only for a value that was given.
QByteArray Optional(const char *key, const QByteArray &value, const char *end = "")
{
    return value.isEmpty() ? QByteArray() : key + value + end;
}

QByteArray OrElse(const QByteArray &value, const QByteArray &fallback)
{
    return value.isEmpty() ? fallback : value;
}

QByteArray PassengerType(const QueryForm &f)
{
    if (f.m_bTTYouth != 0)
        return "PASTYPE=YTH~";
    if (f.m_bTTSenior != 0)
        return "PASTYPE=SCR~";
    return "PASTYPE=ADT~";
}

// Cabins, supplier and airline close a leg, each field with its own "~".
QByteArray LegTail(const QueryForm &f, const QByteArray &airline)
{
    QByteArray tail;
    if (f.m_bEconomy != 0)
        tail += "ECONOMY=1~";
    if (f.m_bBusiness != 0)
        tail += "BUSINESS=1~";
    if (f.m_bFirst != 0)
        tail += "FIRST=1~";
    tail += Optional("SUPPLIER=", f.m_strSupplier, "~");
    return tail + Optional("AIRLINE=", airline, "~");
}

QByteArray Leg(const char *number, const QByteArray &from, const QByteArray &to,
               const QByteArray &date)
{
    return QByteArray("NEWLEG=") + number + "~DEPARTURE=" + from + "~ARRIVAL=" + to +
           "~DEPARTUREDATE=" + date + "~DEPARTURETIME=0800~";
}

QByteArray OutboundLeg(const QueryForm &f)
{
    return Leg("1", f.m_strDeparture, f.m_strArrival, f.m_strDepDate) + LegTail(f, f.m_strAirline1);
}

// Without open-jaw airports the return leg flies the outbound one backwards;
// without a return day it goes one month after departure.
QByteArray ReturnLeg(const QueryForm &f)
{
    const QByteArray date =
        f.m_strRTDepDate.isEmpty() ? ComputeReturnDay(f.m_strDepDate) : f.m_strRTDepDate;
    return Leg("2", OrElse(f.m_strOJDeparture, f.m_strArrival),
               OrElse(f.m_strOJArrival, f.m_strDeparture), date) +
           LegTail(f, OrElse(f.m_strAirline2, f.m_strAirline1));
}

} // namespace

QByteArray ComposeAirportCodes(const QueryForm &form)
{
    return "##GETAIRPORTS~FILTER=" + form.m_strDeparture +
           "~MODE=3~WANTCITYCODE~WANTAIRPORTCODE~WANTCITYNAME~WANTAIRPORTNAME~~";
}

QByteArray ComposeAirlineCodes(const QueryForm &form)
{
    return "##GETAIRLINES~FILTER=" + form.m_strAirline1 +
           "~MODE=2~WANTAIRLINECODE~WANTAIRLINENAME~~";
}

void ApplyDurationRule(QueryForm &form)
{
    const QByteArray &stay = form.m_strRTDepDate;
    if (form.m_nTripType == 1 && (stay.isEmpty() || stay.size() > 3))
        form.m_strRTDepDate = "14";
}

QByteArray ComposeAvailability(const QueryForm &form, const QByteArray &currentLine)
{
    QByteArray text = "##CRSGETAVAILABILITY~RECORDSET=" + currentLine;
    text += Optional("~CRS=", form.m_strUseCRS);
    text += "~DEPDATE=" + form.m_strDepDate;
    text += "~DEPARTURE=" + form.m_strDeparture;
    text += "~ARRIVAL=" + form.m_strArrival;
    // Open-jaw airports repeat the keys, after the outbound pair.
    text += Optional("~DEPARTURE=", form.m_strOJDeparture);
    text += Optional("~ARRIVAL=", form.m_strOJArrival);
    // A stay asks for a round trip whatever the trip type says.
    if (!form.m_strRTDepDate.isEmpty())
        text += "~DURATION=" + form.m_strRTDepDate + "~ROUNDTRIP=1";
    return text + "~VIA=***~~";
}

QByteArray ComposeEmailBooking(const QByteArray &availRecordset, const QByteArray &secondLine)
{
    return "##EMAILBOOKING~TARIFFOUT=0~ROUNDTRIP=0~RESCLASSOUT=X~"
           "PASSENGER=TEST\\TESTER\\M\\ADT\\09011967~NAMECLIENT=Chief~PHONECLIENT=1111~"
           "RECORDSET=" +
           availRecordset + "~AVAILABILITYIDOUT=" + secondLine + "~~";
}

QByteArray FileKeyOf(const QByteArray &line)
{
    CStringArray pieces;
    if (SplitBySeparator(line, pieces, "=") > 1)
        return pieces[1];
    return line;
}

QByteArray ComposeCancelBooking(const QueryForm &form, const QByteArray &currentLine)
{
    return "##CRSCANCELBOOKING~FILEKEY=" + FileKeyOf(currentLine) +
           Optional("~CRS=", form.m_strUseCRS) + "~~";
}

QByteArray ComposeAvailableFares(const QueryForm &form)
{
    const bool roundTrip = form.m_nTripType == 1;
    QByteArray text = "##GETAVAILABLEFARES~AMOUNTOFFARES=6~AMOUNTOFPUBLFARES=2~MAXIMUMFARES=8~"
                      "SIMULTANEOUSAVAILS=6~CHECKAVAILABILITY=1~CHECKTAX=1~STARTFARE=1~"
                      "NEWPAS=1~PASAMOUNT=1~";
    text += PassengerType(form);
    text += Optional("CURRENCY=", form.m_strCurrency, "~");
    text += roundTrip ? "FLIGHTTYPE=2~" : "FLIGHTTYPE=1~";
    text += OutboundLeg(form);
    if (roundTrip)
        text += ReturnLeg(form);
    return text + "~";
}
