#pragma once

// The server's built-in world: airports grouped into cities, and airlines.

#include <QByteArray>
#include <QList>
#include <span>

struct Airport
{
    const char *code;
    const char *cityCode;
    const char *cityName;
    const char *name;
    double latitude;
    double longitude;
};

struct Airline
{
    const char *code;
    const char *name;
    const char *hubCity;
    bool charter;
};

std::span<const Airport> Airports();
std::span<const Airline> Airlines();

const Airport *FindAirport(QByteArrayView code);
const Airline *FindAirline(QByteArrayView code);
// An airport code gives that airport, a city code all airports of the city;
// anything else gives none. Case does not matter.
QList<const Airport *> ResolveLocation(QByteArrayView code);

// Great-circle distance in kilometres.
double DistanceKm(const Airport &from, const Airport &to);
