// Reservations: "##CRSGETAVAILABILITY", "##CRSBOOKING", "##EMAILBOOKING" and
// "##CRSCANCELBOOKING".

#include "availability.h"
#include "bookingbook.h"
#include "commandhandlers.h"
#include "fare.h"
#include "stablehash.h"

#include <QDate>

namespace {

struct Route
{
    const Airport *from = nullptr;
    const Airport *to = nullptr;
};

// The airport for a code; a city's first airport, unless the fare being
// asked about uses another airport of that city.
const Airport *Place(const QByteArray &code, const QByteArray &fareAirport = {})
{
    const auto airports = ResolveLocation(code.trimmed());
    for (const Airport *airport : airports) {
        if (fareAirport == airport->code)
            return airport;
    }
    return airports.isEmpty() ? nullptr : airports.first();
}

const Airline &CarrierFor(const std::optional<Fare> &fare, const Route &route)
{
    if (fare)
        return *FindAirline(fare->airline);
    for (const Airline &airline : Airlines()) {
        if (!airline.charter && (qstrcmp(airline.hubCity, route.from->cityCode) == 0 ||
                                 qstrcmp(airline.hubCity, route.to->cityCode) == 0))
            return airline;
    }
    return Airlines().front();
}

QByteArray ReturnDay(const QByteArray &day, const QByteArray &duration)
{
    const QDate date = QDate::fromString(QString::fromLatin1(day), u"ddMMyyyy");
    const std::optional<int> days = ParseInt(duration);
    if (!date.isValid() || !days)
        return day;
    return date.addDays(*days).toString(u"ddMMyyyy").toLatin1();
}

// NAME\FIRSTNAME\SEX\TYPE\BIRTHDATE
bool IsPassenger(const QByteArray &field)
{
    const CStringArray parts = field.split('\\');
    static const CStringArray kTypes = {"ADT", "YTH", "SCR", "CHD", "INF"};
    return parts.size() == 5 && !parts[0].isEmpty() && !parts[1].isEmpty() &&
           (parts[2] == "M" || parts[2] == "F") && kTypes.contains(parts[3]) &&
           parts[4].size() == 8 && ParseInt(parts[4]).has_value();
}

// Checks the passengers and segments of a booking and describes it; an
// error text instead when something does not hold.
QByteArray DescribeBooking(const RequestFields &request, CStringArray &summary)
{
    const CStringArray passengers = request.values("PASSENGER");
    if (passengers.isEmpty())
        return "NO PASSENGER GIVEN";
    for (const QByteArray &passenger : passengers) {
        if (!IsPassenger(passenger.toUpper()))
            return "BAD PASSENGER " + Shown(passenger);
        summary.append("PASSENGER=" + passenger.toUpper());
    }
    for (const QByteArrayView leg : {"OUT", "IN"}) {
        const QByteArray key = "AVAILABILITYID" + leg.toByteArray();
        const std::optional<QByteArray> id = request.value(key);
        if (!id && leg == "IN")
            continue;
        const std::optional<Segment> segment = ParseAvailabilityId(id.value_or(QByteArray()));
        if (!segment)
            return "UNKNOWN " + key + ' ' + Shown(id.value_or(QByteArray()));
        const QByteArray resClass = request.valueOr("RESCLASS" + leg.toByteArray()).trimmed();
        if (resClass.size() != 1 || !QChar::isLetter(uint(uchar(resClass[0]))))
            return "BAD RESCLASS" + leg.toByteArray() + ' ' + Shown(resClass);
        const char *name = leg == "OUT" ? "OUTBOUND=" : "INBOUND=";
        summary.append(name + segment->summary(resClass.toUpper()[0]));
    }
    return {};
}

CStringArray Book(const RequestFields &request, BookingBook &bookings, const QByteArray &status)
{
    CStringArray summary;
    if (const QByteArray error = DescribeBooking(request, summary); !error.isEmpty())
        return Error(error);
    summary.prepend("STATUS=" + status);
    const QByteArray crs = request.valueOr("CRS").trimmed().toUpper();
    summary.append("CRS=" + (crs.isEmpty() ? QByteArray("1A") : crs));
    const QByteArray key = bookings.add(summary);
    summary.prepend("FILEKEY=" + key);
    return summary;
}

} // namespace

CStringArray CrsGetAvailability(const RequestFields &request)
{
    const std::optional<Fare> fare = ParseFareLine(request.valueOr("RECORDSET"));
    const CStringArray departures = request.values("DEPARTURE");
    const CStringArray arrivals = request.values("ARRIVAL");
    Route out{Place(departures.value(0), fare ? fare->departure : QByteArray()),
              Place(arrivals.value(0), fare ? fare->arrival : QByteArray())};
    if ((!out.from || !out.to) && fare)
        out = {FindAirport(fare->departure), FindAirport(fare->arrival)};
    if (!out.from || !out.to || out.from == out.to)
        return Error("NO VALID ROUTE FOR AVAILABILITY");
    QByteArray day = request.valueOr("DEPDATE").trimmed();
    if (day.isEmpty())
        day = fare ? fare->date : QByteArray("OPEN");
    const Airline &airline = CarrierFor(fare, out);
    const char cabin = fare ? fare->cabin : 'Y';
    const QByteArray crs = request.valueOr("CRS").trimmed().toUpper();
    CStringArray lines = {
        "TARIFF=" + QByteArray::number(1 + StableHash({airline.code, out.from->code, day}) % 9),
        MakeSegment(airline, *out.from, *out.to, day, cabin).line("OUT01"),
        "CRS=" + (crs.isEmpty() ? QByteArray("1A") : crs),
    };
    const QByteArray duration = request.valueOr("DURATION").trimmed();
    if (request.valueOr("ROUNDTRIP").trimmed() == "1" || !duration.isEmpty()) {
        const Airport *back = Place(departures.value(1));
        const Airport *home = Place(arrivals.value(1));
        const Route in{back ? back : out.to, home ? home : out.from};
        lines.append(
            MakeSegment(airline, *in.from, *in.to, ReturnDay(day, duration), cabin).line("INB01"));
    }
    return lines;
}

CStringArray CrsBooking(const RequestFields &request, BookingBook &bookings)
{
    return Book(request, bookings, "CONFIRMED");
}

CStringArray EmailBooking(const RequestFields &request, BookingBook &bookings)
{
    const QByteArray client = request.valueOr("NAMECLIENT").trimmed().toUpper();
    if (client.isEmpty())
        return Error("NO NAMECLIENT GIVEN");
    CStringArray lines = Book(request, bookings, "BOOKING REQUEST MAILED");
    if (lines.size() > 1)
        lines.append("CLIENT=" + client + ' ' + request.valueOr("PHONECLIENT").trimmed());
    return lines;
}

CStringArray CrsCancelBooking(const RequestFields &request, BookingBook &bookings)
{
    const QByteArray key = request.valueOr("FILEKEY").trimmed().toUpper();
    if (key.isEmpty())
        return Error("NO FILEKEY GIVEN");
    switch (bookings.cancel(key)) {
    case BookingBook::CancelResult::Cancelled:
        return {"FILEKEY=" + key, "STATUS=CANCELLED"};
    case BookingBook::CancelResult::AlreadyCancelled:
        return Error("BOOKING " + Shown(key) + " IS ALREADY CANCELLED");
    case BookingBook::CancelResult::Unknown:
        break;
    }
    return Error("UNKNOWN FILEKEY " + Shown(key));
}
