#include "dataset.h"

#include <cmath>
#include <numbers>

namespace {

constexpr Airport kAirports[] = {
    {"FRA", "FRA", "FRANKFURT", "FRANKFURT RHEIN-MAIN", 50.03, 8.57},
    {"HHN", "FRA", "FRANKFURT", "FRANKFURT HAHN", 49.95, 7.26},
    {"MUC", "MUC", "MUENCHEN", "MUENCHEN FRANZ JOSEF STRAUSS", 48.35, 11.79},
    {"HAM", "HAM", "HAMBURG", "HAMBURG FUHLSBUETTEL", 53.63, 9.99},
    {"BER", "BER", "BERLIN", "BERLIN BRANDENBURG", 52.37, 13.50},
    {"DUS", "DUS", "DUESSELDORF", "DUESSELDORF INTERNATIONAL", 51.29, 6.77},
    {"CGN", "CGN", "KOELN", "KOELN BONN", 50.87, 7.14},
    {"STR", "STR", "STUTTGART", "STUTTGART ECHTERDINGEN", 48.69, 9.22},
    {"VIE", "VIE", "WIEN", "WIEN SCHWECHAT", 48.11, 16.57},
    {"ZRH", "ZRH", "ZUERICH", "ZUERICH KLOTEN", 47.46, 8.55},
    {"LHR", "LON", "LONDON", "LONDON HEATHROW", 51.47, -0.45},
    {"LGW", "LON", "LONDON", "LONDON GATWICK", 51.15, -0.19},
    {"STN", "LON", "LONDON", "LONDON STANSTED", 51.89, 0.24},
    {"CDG", "PAR", "PARIS", "PARIS CHARLES DE GAULLE", 49.01, 2.55},
    {"ORY", "PAR", "PARIS", "PARIS ORLY", 48.73, 2.37},
    {"AMS", "AMS", "AMSTERDAM", "AMSTERDAM SCHIPHOL", 52.31, 4.76},
    {"MAD", "MAD", "MADRID", "MADRID BARAJAS", 40.47, -3.56},
    {"BCN", "BCN", "BARCELONA", "BARCELONA EL PRAT", 41.30, 2.08},
    {"PMI", "PMI", "PALMA DE MALLORCA", "PALMA DE MALLORCA SON SANT JOAN", 39.55, 2.74},
    {"FCO", "ROM", "ROM", "ROM FIUMICINO", 41.80, 12.25},
    {"IST", "IST", "ISTANBUL", "ISTANBUL AIRPORT", 41.26, 28.74},
    {"AYT", "AYT", "ANTALYA", "ANTALYA AIRPORT", 36.90, 30.80},
    {"JFK", "NYC", "NEW YORK", "NEW YORK JOHN F KENNEDY", 40.64, -73.78},
    {"EWR", "NYC", "NEW YORK", "NEW YORK NEWARK LIBERTY", 40.69, -74.17},
    {"LGA", "NYC", "NEW YORK", "NEW YORK LA GUARDIA", 40.78, -73.87},
    {"LAX", "LAX", "LOS ANGELES", "LOS ANGELES INTERNATIONAL", 33.94, -118.41},
    {"SFO", "SFO", "SAN FRANCISCO", "SAN FRANCISCO INTERNATIONAL", 37.62, -122.38},
    {"ORD", "CHI", "CHICAGO", "CHICAGO O HARE", 41.98, -87.90},
    {"MIA", "MIA", "MIAMI", "MIAMI INTERNATIONAL", 25.79, -80.29},
    {"YYZ", "YTO", "TORONTO", "TORONTO PEARSON", 43.68, -79.63},
    {"DXB", "DXB", "DUBAI", "DUBAI INTERNATIONAL", 25.25, 55.36},
    {"BKK", "BKK", "BANGKOK", "BANGKOK SUVARNABHUMI", 13.69, 100.75},
    {"SIN", "SIN", "SINGAPUR", "SINGAPUR CHANGI", 1.36, 103.99},
    {"HND", "TYO", "TOKIO", "TOKIO HANEDA", 35.55, 139.78},
    {"NRT", "TYO", "TOKIO", "TOKIO NARITA", 35.77, 140.39},
    {"SYD", "SYD", "SYDNEY", "SYDNEY KINGSFORD SMITH", -33.95, 151.18},
    {"JNB", "JNB", "JOHANNESBURG", "JOHANNESBURG O R TAMBO", -26.14, 28.25},
    {"GRU", "SAO", "SAO PAULO", "SAO PAULO GUARULHOS", -23.44, -46.47},
};

constexpr Airline kAirlines[] = {
    {"LH", "LUFTHANSA", "FRA", false},
    {"BA", "BRITISH AIRWAYS", "LON", false},
    {"AF", "AIR FRANCE", "PAR", false},
    {"KL", "KLM ROYAL DUTCH AIRLINES", "AMS", false},
    {"OS", "AUSTRIAN AIRLINES", "VIE", false},
    {"LX", "SWISS INTERNATIONAL AIR LINES", "ZRH", false},
    {"IB", "IBERIA", "MAD", false},
    {"TK", "TURKISH AIRLINES", "IST", false},
    {"UA", "UNITED AIRLINES", "NYC", false},
    {"AA", "AMERICAN AIRLINES", "MIA", false},
    {"EK", "EMIRATES", "DXB", false},
    {"SQ", "SINGAPORE AIRLINES", "SIN", false},
    {"DE", "CONDOR", "FRA", true},
    {"X3", "TUIFLY", "HAM", true},
};

} // namespace

std::span<const Airport> Airports()
{
    return kAirports;
}

std::span<const Airline> Airlines()
{
    return kAirlines;
}

const Airport *FindAirport(QByteArrayView code)
{
    for (const Airport &airport : kAirports) {
        if (code.compare(airport.code, Qt::CaseInsensitive) == 0)
            return &airport;
    }
    return nullptr;
}

const Airline *FindAirline(QByteArrayView code)
{
    for (const Airline &airline : kAirlines) {
        if (code.compare(airline.code, Qt::CaseInsensitive) == 0)
            return &airline;
    }
    return nullptr;
}

QList<const Airport *> ResolveLocation(QByteArrayView code)
{
    if (const Airport *airport = FindAirport(code))
        return {airport};
    QList<const Airport *> city;
    for (const Airport &airport : kAirports) {
        if (code.compare(airport.cityCode, Qt::CaseInsensitive) == 0)
            city.append(&airport);
    }
    return city;
}

double DistanceKm(const Airport &from, const Airport &to)
{
    constexpr double kEarthRadiusKm = 6371.0;
    constexpr double kRad = std::numbers::pi / 180.0;
    const double dLat = (to.latitude - from.latitude) * kRad;
    const double dLon = (to.longitude - from.longitude) * kRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(from.latitude * kRad) * std::cos(to.latitude * kRad) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(a));
}
