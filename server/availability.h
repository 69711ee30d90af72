#pragma once

// Flight segments offered by "##CRSGETAVAILABILITY" and booked with
// "##CRSBOOKING" or "##EMAILBOOKING".
//
// An availability line has ten pieces joined by "@":
//   0 five-character prefix ("OUT01", "INB01") and the availability id
//   1 airline   2 flight number   3 from   4 to   5 day
//   6 departure time   7 arrival time   8 reservation class   9 free seats
// The client sends a line back from its sixth character on, that is without
// the prefix, or whole; both are accepted. The id is a checksum of the other
// pieces, so the server recognises its own segments without storing them.

#include "dataset.h"

#include <QByteArray>
#include <optional>

struct Segment
{
    QByteArray airline;
    int flightNumber = 0;
    QByteArray from;
    QByteArray to;
    QByteArray day;
    QByteArray departureTime;
    QByteArray arrivalTime;
    char resClass = 'Y';
    int seats = 0;

    QByteArray id() const;
    QByteArray line(QByteArrayView prefix) const;
    // One line of a booking confirmation.
    QByteArray summary(char bookedClass) const;
};

// The segment an airline flies between two airports on a day, in a cabin
// (Y, C or F).
Segment MakeSegment(const Airline &airline, const Airport &from, const Airport &to,
                    const QByteArray &day, char cabin);

std::optional<Segment> ParseAvailabilityId(const QByteArray &text);
