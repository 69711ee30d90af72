// Code look-ups: "##GETAIRPORTS" and "##GETAIRLINES". FILTER is a prefix of
// a code or a name; the WANT... words choose the pieces of each line, in the
// order in which they were asked for.

#include "commandhandlers.h"
#include "dataset.h"

#include <functional>

namespace {

using Piece = std::function<const char *(qsizetype)>;

bool StartsWith(const char *text, const QByteArray &prefix)
{
    return QByteArrayView(text).startsWith(prefix);
}

// The wanted pieces in request order, or all of them when none is named.
QList<Piece> WantedPieces(const RequestFields &request,
                          const QList<std::pair<QByteArray, Piece>> &known)
{
    QList<Piece> wanted;
    for (const QByteArray &parameter : request.parameters()) {
        for (const auto &[word, piece] : known) {
            if (parameter.compare(word, Qt::CaseInsensitive) == 0)
                wanted.append(piece);
        }
    }
    if (wanted.isEmpty()) {
        for (const auto &entry : known)
            wanted.append(entry.second);
    }
    return wanted;
}

CStringArray Lines(qsizetype count, const std::function<bool(qsizetype)> &matches,
                   const QList<Piece> &pieces)
{
    CStringArray lines;
    for (qsizetype i = 0; i < count; ++i) {
        if (!matches(i))
            continue;
        CStringArray parts;
        for (const Piece &piece : pieces)
            parts.append(piece(i));
        const QByteArray line = parts.join('@');
        // Several airports of a city give one line when only the city is
        // wanted.
        if (!lines.contains(line))
            lines.append(line);
    }
    return lines;
}

} // namespace

CStringArray GetAirports(const RequestFields &request)
{
    const auto airports = Airports();
    const QByteArray filter = request.valueOr("FILTER").trimmed().toUpper();
    const auto matches = [&](qsizetype i) {
        const Airport &a = airports[i];
        return StartsWith(a.code, filter) || StartsWith(a.cityCode, filter) ||
               StartsWith(a.cityName, filter) || StartsWith(a.name, filter);
    };
    const QList<std::pair<QByteArray, Piece>> known = {
        {"WANTCITYCODE", [&](qsizetype i) { return airports[i].cityCode; }},
        {"WANTAIRPORTCODE", [&](qsizetype i) { return airports[i].code; }},
        {"WANTCITYNAME", [&](qsizetype i) { return airports[i].cityName; }},
        {"WANTAIRPORTNAME", [&](qsizetype i) { return airports[i].name; }},
    };
    const CStringArray lines =
        Lines(qsizetype(airports.size()), matches, WantedPieces(request, known));
    return lines.isEmpty() ? Error("NO AIRPORT MATCHES " + Shown(filter)) : lines;
}

CStringArray GetAirlines(const RequestFields &request)
{
    const auto airlines = Airlines();
    const QByteArray filter = request.valueOr("FILTER").trimmed().toUpper();
    const auto matches = [&](qsizetype i) {
        return StartsWith(airlines[i].code, filter) || StartsWith(airlines[i].name, filter);
    };
    const QList<std::pair<QByteArray, Piece>> known = {
        {"WANTAIRLINECODE", [&](qsizetype i) { return airlines[i].code; }},
        {"WANTAIRLINENAME", [&](qsizetype i) { return airlines[i].name; }},
    };
    const CStringArray lines =
        Lines(qsizetype(airlines.size()), matches, WantedPieces(request, known));
    return lines.isEmpty() ? Error("NO AIRLINE MATCHES " + Shown(filter)) : lines;
}
