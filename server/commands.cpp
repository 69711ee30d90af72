#include "commands.h"

#include "commandhandlers.h"

namespace {

CStringArray Dispatch(const RequestFields &request, ReplyContext &context)
{
    const QByteArray command = request.command().toUpper();
    if (command == "##STARTQUERY")
        return StartQuery(request, context.session);
    if (command == "##GETFAREBLOCK")
        return GetFareBlock(request, context.session);
    if (command == "##GETFARE")
        return GetFare(request);
    if (command == "##GETFAREFIELDFROMSET")
        return GetFareFieldFromSet(request);
    if (command == "##GETAIRPORTS")
        return GetAirports(request);
    if (command == "##GETAIRLINES")
        return GetAirlines(request);
    if (command == "##CRSGETAVAILABILITY")
        return CrsGetAvailability(request);
    if (command == "##CRSBOOKING")
        return CrsBooking(request, context.bookings);
    if (command == "##EMAILBOOKING")
        return EmailBooking(request, context.bookings);
    if (command == "##CRSCANCELBOOKING")
        return CrsCancelBooking(request, context.bookings);
    if (command == "##GETAVAILABLEFARES")
        return GetAvailableFares(request);
    if (command == "##SETOPTIONS")
        return SetOptions(request, context.session);
    if (command == "##SETOUTPUTMASK")
        return SetOutputMask(request, context.session);
    return Error("UNKNOWN COMMAND " + Shown(request.command()));
}

} // namespace

Reply Respond(const CStringArray &request, ReplyContext &context)
{
    const RequestFields fields(request);
    const QByteArray command = fields.command().toUpper();
    if (command == "##CLOSECONNECTION")
        return Reply{{}, 0, true};
    if (command == "##STARTQUERY" && context.hugeAnswerLines > 0)
        return Reply{{}, context.hugeAnswerLines, false};
    Reply reply{Dispatch(fields, context)};
    for (QByteArray &line : reply.lines) {
        // A NUL would split the line, an empty line would end the answer.
        line.replace('\0', ' ');
        if (line.isEmpty())
            line = "-";
    }
    if (reply.lines.isEmpty())
        reply.lines = Error("NOTHING TO ANSWER");
    return reply;
}

Reply OversizedReply(qsizetype limit)
{
    return Reply{Error("REQUEST TOO LONG, MORE THAN " + QByteArray::number(limit) +
                       " BYTES WITHOUT ITS CLOSING EMPTY FIELD; DROPPED")};
}
