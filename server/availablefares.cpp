// "##GETAVAILABLEFARES": priced itineraries over one or more legs for a
// passenger group. "NEWPAS" starts a passenger group, "NEWLEG" a leg; the
// fields that follow belong to it.

#include "availability.h"
#include "commandhandlers.h"
#include "fare.h"
#include "stablehash.h"

#include <algorithm>

namespace {

struct Leg
{
    const Airport *from = nullptr;
    const Airport *to = nullptr;
    QByteArray day = "OPEN";
    char cabin = 0;
    QByteArray airline;
};

struct Search
{
    int wanted = 6;
    int passengers = 0;
    QByteArray passType = "ADT";
    QByteArray currency = "EUR";
    QList<Leg> legs;
};

const Airport *Place(const QByteArray &code)
{
    const auto airports = ResolveLocation(code.trimmed());
    return airports.isEmpty() ? nullptr : airports.first();
}

void ReadLegField(const QByteArray &key, const QByteArray &value, Leg &leg)
{
    if (key == "DEPARTURE")
        leg.from = Place(value);
    else if (key == "ARRIVAL")
        leg.to = Place(value);
    else if (key == "DEPARTUREDATE" && !value.trimmed().isEmpty())
        leg.day = value.trimmed();
    else if (key == "AIRLINE")
        leg.airline = value.trimmed().toUpper();
    else if (!leg.cabin && value.trimmed() == "1" &&
             (key == "ECONOMY" || key == "BUSINESS" || key == "FIRST"))
        leg.cabin = key == "ECONOMY" ? 'Y' : key == "BUSINESS" ? 'C' : 'F';
}

void ReadField(const QByteArray &key, const QByteArray &value, Search &search)
{
    if (key == "NEWLEG")
        search.legs.append(Leg{});
    else if (!search.legs.isEmpty())
        ReadLegField(key, value, search.legs.last());
    else if (key == "AMOUNTOFFARES")
        search.wanted = std::clamp(ParseInt(value).value_or(6), 1, 100);
    else if (key == "PASAMOUNT")
        search.passengers += std::max(0, ParseInt(value).value_or(1));
    else if (key == "PASTYPE")
        search.passType = value.trimmed().toUpper();
    else if (key == "CURRENCY" && !value.trimmed().isEmpty())
        search.currency = value.trimmed().toUpper();
}

QByteArray Check(const Search &search)
{
    if (search.legs.isEmpty())
        return "NO LEG GIVEN";
    for (qsizetype i = 0; i < search.legs.size(); ++i) {
        const Leg &leg = search.legs[i];
        if (!leg.from || !leg.to || leg.from == leg.to)
            return "LEG " + QByteArray::number(i + 1) + " HAS NO VALID ROUTE";
        if (!IsFareDay(leg.day))
            return "LEG " + QByteArray::number(i + 1) + " HAS A BAD DEPARTUREDATE";
        if (!leg.airline.isEmpty() && !FindAirline(leg.airline))
            return "UNKNOWN AIRLINE " + Shown(leg.airline);
    }
    const auto types = PassTypes();
    if (std::find(types.begin(), types.end(), search.passType) == types.end())
        return "UNKNOWN PASTYPE " + Shown(search.passType);
    if (search.passengers < 1 || search.passengers > 9)
        return "PASSENGERS MUST BE 1 TO 9";
    if (!RateFromEuro(search.currency))
        return "UNKNOWN CURRENCY " + Shown(search.currency);
    return {};
}

// One itinerary on one airline, or nothing when the airline is not asked
// for on some leg.
std::optional<std::pair<qint64, QByteArray>> Itinerary(const Search &search, const Airline &airline)
{
    qint64 total = 0;
    CStringArray routes, days, flights;
    for (const Leg &leg : search.legs) {
        if (!leg.airline.isEmpty() ? leg.airline != airline.code : airline.charter)
            return std::nullopt;
        const char cabin = leg.cabin ? leg.cabin : 'Y';
        const Fare fare{leg.from->code,  leg.to->code, airline.code, cabin,
                        search.passType, leg.day,      "OW",         2,
                        search.currency};
        total += fare.priceUnits() * search.passengers;
        const Segment segment = MakeSegment(airline, *leg.from, *leg.to, leg.day, cabin);
        routes.append(segment.from + '-' + segment.to);
        days.append(segment.day);
        flights.append(segment.airline + QByteArray::number(segment.flightNumber) + ' ' +
                       segment.resClass);
    }
    const bool waitlisted = StableHash({airline.code, routes.join('/'), days.join('/')}) % 4 == 0;
    const QByteArray line = QByteArray(airline.code) + '@' + routes.join('/') + '@' +
                            days.join('/') + '@' + flights.join('/') + '@' +
                            QByteArray::number(search.passengers) + ' ' + search.passType + '@' +
                            QByteArray::number(total) + ".00@" + search.currency +
                            (waitlisted ? "@WAITLIST" : "@AVAILABLE");
    return std::pair{total, line};
}

} // namespace

CStringArray GetAvailableFares(const RequestFields &request)
{
    Search search;
    for (const QByteArray &field : request.parameters())
        ReadField(KeyOf(field).trimmed().toUpper(), ValueOf(field), search);
    if (search.passengers == 0)
        search.passengers = 1;
    if (const QByteArray error = Check(search); !error.isEmpty())
        return Error(error);
    QList<std::pair<qint64, QByteArray>> found;
    for (const Airline &airline : Airlines()) {
        if (auto itinerary = Itinerary(search, airline))
            found.append(*itinerary);
    }
    if (found.isEmpty())
        return Error("NO AVAILABLE FARES");
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    found.resize(std::min<qsizetype>(found.size(), search.wanted));
    CStringArray lines = {"FARES=" + QByteArray::number(found.size())};
    for (qsizetype i = 0; i < found.size(); ++i)
        lines.append(QByteArray::number(i + 1) + '@' + found[i].second);
    return lines;
}
