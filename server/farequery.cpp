#include "farequery.h"

#include "stablehash.h"

#include <algorithm>

namespace {

using QueryOrError = std::variant<FareQuery, QByteArray>;

QByteArray ToPassType(const QByteArray &letter)
{
    static const QList<std::pair<QByteArray, QByteArray>> kLetters = {
        {"N", "ADT"}, {"Y", "YTH"}, {"S", "SCR"}, {"E", "ETH"}, {"A", "AGT"}, {"P", "PTN"}};
    for (const auto &[from, to] : kLetters) {
        if (letter.compare(from, Qt::CaseInsensitive) == 0)
            return to;
    }
    return {};
}

bool IsOn(const RequestFields &request, QByteArrayView key)
{
    return request.valueOr(key, "0").trimmed() != "0";
}

// Reads the route; returns an error text or an empty one.
QByteArray ReadRoute(const RequestFields &request, FareQuery &query)
{
    const QByteArray departure = request.valueOr("DEPARTURE").trimmed();
    const QByteArray arrival = request.valueOr("ARRIVAL").trimmed();
    if (departure.isEmpty() || arrival.isEmpty())
        return "ERROR=DEPARTURE AND ARRIVAL ARE REQUIRED";
    query.from = ResolveLocation(departure);
    query.to = ResolveLocation(arrival);
    if (query.from.isEmpty())
        return "ERROR=UNKNOWN AIRPORT " + departure;
    if (query.to.isEmpty())
        return "ERROR=UNKNOWN AIRPORT " + arrival;
    if (query.from.first()->cityCode == query.to.first()->cityCode)
        return "ERROR=DEPARTURE AND ARRIVAL ARE THE SAME CITY";
    for (const QByteArrayView key : {"INBOUNDDEPARTURE", "INBOUNDARRIVAL"}) {
        const QByteArray inbound = request.valueOr(key).trimmed();
        if (!inbound.isEmpty() && ResolveLocation(inbound).isEmpty())
            return "ERROR=UNKNOWN AIRPORT " + inbound;
    }
    return {};
}

QByteArray ReadAirlines(const RequestFields &request, FareQuery &query)
{
    for (const QByteArray &code : request.values("AIRLINE")) {
        const Airline *airline = FindAirline(code.trimmed());
        if (!airline)
            return "ERROR=UNKNOWN AIRLINE " + code;
        query.airlines.append(airline);
    }
    return {};
}

QByteArray ReadOptions(const RequestFields &request, FareQuery &query)
{
    query.charter = request.valueOr("QUERYTYPE", "1").trimmed() == "2";
    query.blockMode = request.valueOr("RETURNVALUETYPE", "1").trimmed() == "2";
    const bool openJaw = IsOn(request, "OPENJAW") || request.value("INBOUNDDEPARTURE") ||
                         request.value("INBOUNDARRIVAL");
    query.trip = openJaw ? "OJ" : IsOn(request, "ROUNDTRIP") ? "RT" : "OW";
    if (const QByteArray date = request.valueOr("DEPARTUREDATE").trimmed(); !date.isEmpty())
        query.date = date;
    if (const QByteArray currency = request.valueOr("CURRENCY").trimmed(); !currency.isEmpty())
        query.currency = currency.toUpper();
    if (!RateFromEuro(query.currency))
        return "ERROR=UNKNOWN CURRENCY " + query.currency;
    if (const auto stops = ParseInt(request.valueOr("STOP")); stops && *stops >= 0)
        query.maxStops = *stops;
    for (const char cabin : {'Y', 'C', 'F'}) {
        const char *key = cabin == 'Y' ? "ECONOMY" : cabin == 'C' ? "BUSINESS" : "FIRST";
        if (!query.charter && IsOn(request, key))
            query.cabins.append(cabin);
    }
    if (query.cabins.isEmpty())
        query.cabins = "Y";
    for (const QByteArray &letter : request.values("PASSTYPE")) {
        const QByteArray passType = ToPassType(letter.trimmed());
        if (passType.isEmpty())
            return "ERROR=UNKNOWN PASSTYPE " + letter;
        if (!query.charter && !query.passTypes.contains(passType))
            query.passTypes.append(passType);
    }
    if (query.passTypes.isEmpty())
        query.passTypes = {"ADT"};
    return {};
}

bool Serves(const Airline &airline, const Airport &from, const Airport &to)
{
    if (qstrcmp(airline.hubCity, from.cityCode) == 0 || qstrcmp(airline.hubCity, to.cityCode) == 0)
        return true;
    return StableHash({airline.code, from.code, to.code}) % 5 < 2;
}

QList<const Airline *> CarriersFor(const FareQuery &query, const Airport &from, const Airport &to)
{
    if (!query.airlines.isEmpty())
        return query.airlines;
    QList<const Airline *> carriers;
    for (const Airline &airline : Airlines()) {
        if (airline.charter == query.charter && Serves(airline, from, to))
            carriers.append(&airline);
    }
    return carriers;
}

// How many tariffs (saver, standard, flex) an airline offers in a cabin.
QList<int> VariantsFor(const Fare &fare)
{
    const QByteArray cabin(1, fare.cabin);
    switch (StableHash({fare.airline, fare.departure, fare.arrival, cabin}) % 3) {
    case 0:
        return {2};
    case 1:
        return {1, 2};
    default:
        return {1, 2, 3};
    }
}

// Every cabin, passenger type and tariff of one airline on one route.
void AddFares(const FareQuery &query, Fare fare, QList<std::pair<qint64, Fare>> &priced)
{
    fare.date = query.date;
    fare.trip = query.trip;
    fare.currency = query.currency;
    if (fare.stops() > query.maxStops)
        return;
    for (const char cabin : query.cabins) {
        fare.cabin = cabin;
        for (const QByteArray &passType : query.passTypes) {
            fare.passType = passType;
            for (const int variant : VariantsFor(fare)) {
                fare.variant = variant;
                priced.append({fare.priceUnits(), fare});
            }
        }
    }
}

} // namespace

std::variant<FareQuery, QByteArray> ReadFareQuery(const RequestFields &request)
{
    FareQuery query;
    for (const auto step : {ReadRoute, ReadAirlines, ReadOptions}) {
        if (QByteArray error = step(request, query); !error.isEmpty())
            return error;
    }
    if (!IsFareDay(query.date))
        return "ERROR=BAD DEPARTUREDATE " + query.date;
    return query;
}

QList<Fare> FindFares(const FareQuery &query, int maxHits)
{
    QList<std::pair<qint64, Fare>> priced;
    for (const Airport *from : query.from) {
        for (const Airport *to : query.to) {
            for (const Airline *airline : CarriersFor(query, *from, *to))
                AddFares(query, Fare{from->code, to->code, airline->code}, priced);
        }
    }
    std::stable_sort(priced.begin(), priced.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<Fare> fares;
    for (qsizetype i = 0; i < priced.size() && i < maxHits; ++i)
        fares.append(priced[i].second);
    return fares;
}
