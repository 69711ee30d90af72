#pragma once

// One fare and its result line. A line names its fare completely: the
// server recomputes the fare from the line's pieces, so a line sent back
// with "##GETFARE" is checked without any stored state, and a line that was
// not made by the server (or was altered) is refused.
//
// Line layout, pieces joined by "@":
//   0 fare id "<number>-<variant>"   6 departure day ("OPEN" when none)
//   1 departure airport              7 trip: OW, RT or OJ (open jaw)
//   2 arrival airport                8 price
//   3 airline                        9 currency
//   4 cabin: Y, C or F              10 stops
//   5 passenger type
// Lines of a block answer carry one more piece, "B<block>/<blocks>" (see
// farecommands.cpp).

#include "session/framing.h"

#include <QByteArray>
#include <optional>
#include <span>

struct Fare
{
    QByteArray departure;
    QByteArray arrival;
    QByteArray airline;
    char cabin = 'Y';
    QByteArray passType = "ADT";
    QByteArray date = "OPEN";
    QByteArray trip = "OW";
    int variant = 2;
    QByteArray currency = "EUR";

    // Derived from the values above.
    qint64 priceUnits() const; // whole units of the currency
    bool isValid() const;
    int stops() const;
    int number() const;

    QByteArray id() const;
    QByteArray line() const;
};

// The fare a line names, or nothing when the line names no valid fare.
std::optional<Fare> ParseFareLine(const QByteArray &line);

// What "##GETFARE" tells about a fare, and the fields that
// "##GETFAREFIELDFROMSET" can pick: "KEY=VALUE" lines.
CStringArray FareDetails(const Fare &fare);
// The "REMARKS" field: the fare's conditions, one line each.
CStringArray FareRemarks(const Fare &fare);

// A departure day as fares carry it: up to eight digits, or "OPEN".
bool IsFareDay(const QByteArray &date);

// Passenger type codes as they appear in fare lines.
std::span<const char *const> PassTypes();

// The conversion rate from euros, or nothing for an unknown currency.
std::optional<double> RateFromEuro(QByteArrayView currency);
