#pragma once

// A "##STARTQUERY" request read into a search, and the search itself.

#include "dataset.h"
#include "fare.h"
#include "requestfields.h"

#include <QList>
#include <variant>

struct FareQuery
{
    QList<const Airport *> from;
    QList<const Airport *> to;
    QList<const Airline *> airlines; // empty: every airline on the route
    QByteArray cabins;               // of "YCF"
    CStringArray passTypes;
    QByteArray date = "OPEN";
    QByteArray trip = "OW";
    QByteArray currency = "EUR";
    int maxStops = 2;
    bool charter = false;
    bool blockMode = false; // "RETURNVALUETYPE=2"
};

// The query, or the text of the error line that refuses it.
std::variant<FareQuery, QByteArray> ReadFareQuery(const RequestFields &request);

// The fares that match, cheapest first, at most maxHits of them.
QList<Fare> FindFares(const FareQuery &query, int maxHits);
