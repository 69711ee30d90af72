// Fare queries and their results: "##STARTQUERY", "##GETFAREBLOCK",
// "##GETFARE" and "##GETFAREFIELDFROMSET".

#include "commandhandlers.h"
#include "farequery.h"

#include <algorithm>

namespace {

int BlockCount(const SessionState &session)
{
    const int per = std::max(1, session.faresPerBlock);
    return std::max(1, int((session.lastFares.size() + per - 1) / per));
}

// Lines of a block end in "@B<block>/<blocks>", and in "-5" as well when
// there is more than one block: the client offers Next and Previous for a
// one-line answer only when its first line ends so.
CStringArray BlockLines(const SessionState &session, int block)
{
    const int blocks = BlockCount(session);
    const QByteArray suffix = "@B" + QByteArray::number(block) + '/' + QByteArray::number(blocks) +
                              (blocks > 1 ? "-5" : "");
    const qsizetype per = std::max(1, session.faresPerBlock);
    CStringArray lines;
    for (const Fare &fare : session.lastFares.mid((block - 1) * per, per))
        lines.append(fare.line() + suffix);
    return lines;
}

} // namespace

CStringArray StartQuery(const RequestFields &request, SessionState &session)
{
    const auto read = ReadFareQuery(request);
    if (const QByteArray *error = std::get_if<QByteArray>(&read))
        return {*error};
    const FareQuery &query = std::get<FareQuery>(read);
    session.hasQuery = true;
    session.lastFares = FindFares(query, session.maxHits);
    if (session.lastFares.isEmpty())
        return Error("NO FARES FOUND");
    if (query.blockMode)
        return BlockLines(session, 1);
    CStringArray lines;
    for (const Fare &fare : std::as_const(session.lastFares))
        lines.append(fare.line());
    return lines;
}

CStringArray GetFareBlock(const RequestFields &request, const SessionState &session)
{
    const QByteArray given = ValueOf(request.parameter(0));
    const std::optional<int> block = ParseInt(given);
    if (!block)
        return Error("BAD BLOCK NUMBER " + Shown(given));
    if (!session.hasQuery)
        return Error("NO QUERY ON THIS CONNECTION");
    if (session.lastFares.isEmpty())
        return Error("NO FARES FOUND");
    const int blocks = BlockCount(session);
    if (*block < 1 || *block > blocks) {
        return Error("BLOCK " + QByteArray::number(*block) + " DOES NOT EXIST, BLOCKS 1 TO " +
                     QByteArray::number(blocks));
    }
    return BlockLines(session, *block);
}

CStringArray GetFare(const RequestFields &request)
{
    const QByteArray line = request.parameter(0);
    if (line.isEmpty())
        return Error("NO FARE LINE GIVEN");
    const std::optional<Fare> fare = ParseFareLine(line);
    if (!fare)
        return Error("UNKNOWN FARE " + Shown(line));
    return FareDetails(*fare);
}

CStringArray GetFareFieldFromSet(const RequestFields &request)
{
    const QByteArray line = request.parameter(0);
    const QByteArray field = request.parameter(1).toUpper();
    if (line.isEmpty())
        return Error("NO FARE LINE GIVEN");
    const std::optional<Fare> fare = ParseFareLine(line);
    if (!fare)
        return Error("UNKNOWN FARE " + Shown(line));
    if (field.isEmpty())
        return Error("NO FIELD NAME GIVEN");
    if (field == "REMARKS")
        return FareRemarks(*fare);
    for (const QByteArray &detail : FareDetails(*fare)) {
        if (KeyOf(detail) == field)
            return {detail};
    }
    return Error("UNKNOWN FIELD " + Shown(field));
}
