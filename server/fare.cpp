#include "fare.h"

#include "dataset.h"
#include "stablehash.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rate
{
    const char *currency;
    double perEuro;
};

constexpr Rate kRates[] = {
    {"EUR", 1.0}, {"DEM", 1.95583}, {"ATS", 13.7603}, {"CHF", 0.96}, {"GBP", 0.86}, {"USD", 1.08},
};

constexpr const char *kPassTypes[] = {"ADT", "YTH", "SCR", "ETH", "AGT", "PTN"};
constexpr double kPassFactors[] = {1.0, 0.75, 0.85, 0.8, 0.5, 0.9};

constexpr const char *kVariantNames[] = {"SAVER", "STANDARD", "FLEX"};
constexpr double kVariantFactors[] = {0.8, 1.0, 1.35};

double CabinFactor(char cabin)
{
    return cabin == 'F' ? 5.4 : cabin == 'C' ? 3.1 : 1.0;
}

const char *CabinName(char cabin)
{
    return cabin == 'F' ? "FIRST" : cabin == 'C' ? "BUSINESS" : "ECONOMY";
}

double TripFactor(const QByteArray &trip)
{
    return trip == "RT" ? 1.75 : trip == "OJ" ? 1.85 : 1.0;
}

qsizetype PassTypeIndex(const QByteArray &passType)
{
    const auto *const found = std::find(std::begin(kPassTypes), std::end(kPassTypes), passType);
    return found == std::end(kPassTypes) ? -1 : found - std::begin(kPassTypes);
}

} // namespace

bool IsFareDay(const QByteArray &date)
{
    if (date == "OPEN")
        return true;
    return !date.isEmpty() && date.size() <= 8 &&
           std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::span<const char *const> PassTypes()
{
    return kPassTypes;
}

std::optional<double> RateFromEuro(QByteArrayView currency)
{
    for (const Rate &rate : kRates) {
        if (currency.compare(rate.currency, Qt::CaseInsensitive) == 0)
            return rate.perEuro;
    }
    return std::nullopt;
}

bool Fare::isValid() const
{
    return FindAirport(departure) && FindAirport(arrival) && departure != arrival &&
           FindAirline(airline) && (cabin == 'Y' || cabin == 'C' || cabin == 'F') &&
           PassTypeIndex(passType) >= 0 && IsFareDay(date) &&
           (trip == "OW" || trip == "RT" || trip == "OJ") && variant >= 1 && variant <= 3 &&
           RateFromEuro(currency).has_value();
}

qint64 Fare::priceUnits() const
{
    const Airport *from = FindAirport(departure);
    const Airport *to = FindAirport(arrival);
    if (!from || !to)
        return 0;
    // Each airline prices a route and day a little differently.
    const double jitter =
        0.85 + double(StableHash({airline, departure, arrival, date}) % 31) / 100.0;
    const double euros = (39.0 + DistanceKm(*from, *to) * 0.085) * CabinFactor(cabin) *
                         kPassFactors[std::max<qsizetype>(0, PassTypeIndex(passType))] *
                         TripFactor(trip) * kVariantFactors[std::clamp(variant, 1, 3) - 1] * jitter;
    return std::llround(euros * RateFromEuro(currency).value_or(1.0));
}

int Fare::stops() const
{
    const Airport *from = FindAirport(departure);
    const Airport *to = FindAirport(arrival);
    const Airline *carrier = FindAirline(airline);
    if (!from || !to || !carrier)
        return 0;
    if (qstrcmp(carrier->hubCity, from->cityCode) == 0 ||
        qstrcmp(carrier->hubCity, to->cityCode) == 0)
        return 0;
    const int most = DistanceKm(*from, *to) < 1500 ? 1 : 2;
    return int(StableHash({airline, departure, arrival}) % (most + 1));
}

int Fare::number() const
{
    const QByteArray cabinText(1, cabin);
    const QByteArray variantText = QByteArray::number(variant);
    return 1000 + int(StableHash({departure, arrival, airline, cabinText, passType, date, trip,
                                  variantText, currency}) %
                      9000);
}

QByteArray Fare::id() const
{
    return QByteArray::number(number()) + '-' + QByteArray::number(variant);
}

QByteArray Fare::line() const
{
    const CStringArray pieces = {id(),
                                 departure,
                                 arrival,
                                 airline,
                                 QByteArray(1, cabin),
                                 passType,
                                 date,
                                 trip,
                                 QByteArray::number(priceUnits()) + ".00",
                                 currency,
                                 QByteArray::number(stops())};
    return pieces.join('@');
}

std::optional<Fare> ParseFareLine(const QByteArray &line)
{
    CStringArray pieces;
    if (SplitBySeparator(line, pieces, "@") < 11 || pieces[4].size() != 1)
        return std::nullopt;
    const CStringArray id = pieces[0].split('-');
    if (id.size() != 2)
        return std::nullopt;
    Fare fare;
    fare.departure = pieces[1].toUpper();
    fare.arrival = pieces[2].toUpper();
    fare.airline = pieces[3].toUpper();
    fare.cabin = pieces[4].toUpper().at(0);
    fare.passType = pieces[5].toUpper();
    fare.date = pieces[6].toUpper();
    fare.trip = pieces[7].toUpper();
    fare.variant = id[1].toInt();
    fare.currency = pieces[9].toUpper();
    if (!fare.isValid())
        return std::nullopt;
    // Every piece must be what the server itself would have written.
    const QByteArray given = pieces.mid(0, 11).join('@');
    if (given.compare(fare.line(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return fare;
}

CStringArray FareDetails(const Fare &fare)
{
    const Airport *from = FindAirport(fare.departure);
    const Airport *to = FindAirport(fare.arrival);
    const Airline *carrier = FindAirline(fare.airline);
    const QByteArray price = QByteArray::number(fare.priceUnits()) + ".00";
    const qint64 tax = std::llround(double(fare.priceUnits()) * 0.12) + 8;
    return {
        "FARE=" + fare.id(),
        "DEPARTURE=" + fare.departure + ' ' + from->name,
        "ARRIVAL=" + fare.arrival + ' ' + to->name,
        "AIRLINE=" + fare.airline + ' ' + carrier->name,
        "CABIN=" + QByteArray(CabinName(fare.cabin)),
        "PASSTYPE=" + fare.passType,
        "TARIFF=" + QByteArray(kVariantNames[fare.variant - 1]),
        "DEPARTUREDATE=" + fare.date,
        "TRIP=" + QByteArray(fare.trip == "OW"   ? "ONEWAY"
                             : fare.trip == "RT" ? "ROUNDTRIP"
                                                 : "OPENJAW"),
        "PRICE=" + price,
        "TAX=" + QByteArray::number(tax) + ".00",
        "CURRENCY=" + fare.currency,
        "STOPS=" + QByteArray::number(fare.stops()),
        "DISTANCE=" + QByteArray::number(std::llround(DistanceKm(*from, *to))) + " KM",
    };
}

CStringArray FareRemarks(const Fare &fare)
{
    CStringArray remarks;
    switch (fare.variant) {
    case 1:
        remarks = {"REMARKS=NON-REFUNDABLE", "REMARKS=NO CHANGES AFTER TICKETING",
                   "REMARKS=TICKETING WITHIN 72 HOURS OF BOOKING"};
        break;
    case 2:
        remarks = {"REMARKS=REFUNDABLE AGAINST A FEE OF 75.00 EUR",
                   "REMARKS=ONE CHANGE FREE OF CHARGE"};
        break;
    default:
        remarks = {"REMARKS=FULLY REFUNDABLE", "REMARKS=CHANGES FREE OF CHARGE"};
        break;
    }
    if (fare.trip != "OW")
        remarks.append("REMARKS=MINIMUM STAY SUNDAY RULE APPLIES");
    if (fare.passType == "YTH")
        remarks.append("REMARKS=VALID FOR PASSENGERS UNDER 26 YEARS");
    if (fare.passType == "SCR")
        remarks.append("REMARKS=VALID FOR PASSENGERS OVER 60 YEARS");
    return remarks;
}
