#include "availability.h"

#include "session/framing.h"
#include "stablehash.h"

namespace {

constexpr qsizetype kPrefixLength = 5;

QByteArray Clock(int minutes)
{
    minutes = ((minutes % 1440) + 1440) % 1440;
    return QByteArray::number(minutes / 60).rightJustified(2, '0') +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

const char *ClassesOf(char cabin)
{
    return cabin == 'F' ? "FAP" : cabin == 'C' ? "CJDZ" : "YBMHQVWK";
}

CStringArray Pieces(const Segment &s)
{
    return {s.airline,
            QByteArray::number(s.flightNumber),
            s.from,
            s.to,
            s.day,
            s.departureTime,
            s.arrivalTime,
            QByteArray(1, s.resClass),
            QByteArray::number(s.seats)};
}

} // namespace

QByteArray Segment::id() const
{
    const QByteArray joined = Pieces(*this).join('@');
    return "AV" + QByteArray::number(10000 + StableHash({joined}) % 90000);
}

QByteArray Segment::line(QByteArrayView prefix) const
{
    return prefix.toByteArray() + id() + '@' + Pieces(*this).join('@');
}

QByteArray Segment::summary(char bookedClass) const
{
    return airline + ' ' + QByteArray::number(flightNumber) + ' ' + from + '-' + to + ' ' + day +
           ' ' + departureTime + '-' + arrivalTime + " CLASS " + QByteArray(1, bookedClass);
}

Segment MakeSegment(const Airline &airline, const Airport &from, const Airport &to,
                    const QByteArray &day, char cabin)
{
    const std::uint64_t h = StableHash({airline.code, from.code, to.code, day});
    const int departure = 6 * 60 + int(h % 180) * 5; // 06:00 to 20:55
    const int minutes = 30 + int(DistanceKm(from, to) / 800.0 * 60.0);
    const char *classes = ClassesOf(cabin);
    Segment segment;
    segment.airline = airline.code;
    segment.flightNumber = 100 + int(StableHash({airline.code, from.code, to.code}) % 900);
    segment.from = from.code;
    segment.to = to.code;
    segment.day = day;
    segment.departureTime = Clock(departure);
    segment.arrivalTime = Clock(departure + minutes);
    segment.resClass = classes[(h >> 12) % qstrlen(classes)];
    segment.seats = 1 + int((h >> 20) % 9);
    return segment;
}

std::optional<Segment> ParseAvailabilityId(const QByteArray &text)
{
    CStringArray pieces;
    if (SplitBySeparator(text.trimmed().toUpper(), pieces, "@") != 10)
        return std::nullopt;
    QByteArray id = pieces[0];
    if (!id.startsWith("AV") && id.size() > kPrefixLength)
        id = id.sliced(kPrefixLength);
    bool numberOk = false;
    bool seatsOk = false;
    Segment segment;
    segment.airline = pieces[1];
    segment.flightNumber = pieces[2].toInt(&numberOk);
    segment.from = pieces[3];
    segment.to = pieces[4];
    segment.day = pieces[5];
    segment.departureTime = pieces[6];
    segment.arrivalTime = pieces[7];
    segment.resClass = pieces[8].size() == 1 ? pieces[8][0] : '\0';
    segment.seats = pieces[9].toInt(&seatsOk);
    if (!numberOk || !seatsOk || segment.resClass == '\0' || !FindAirline(segment.airline) ||
        !FindAirport(segment.from) || !FindAirport(segment.to) || id != segment.id())
        return std::nullopt;
    return segment;
}
