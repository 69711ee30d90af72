#pragma once

// Turns one request into the reply the server gives to it.

#include "session.h"
#include "session/framing.h"

class BookingBook;

struct Reply
{
    // The answer's fields; never empty, none of them empty.
    CStringArray lines;
    // Instead of lines: a generated answer of this many lines.
    qint64 hugeLines = 0;
    // Close the connection once the answers before this one are out.
    bool close = false;
};

struct ReplyContext
{
    SessionState &session;
    BookingBook &bookings;
    // Non-zero: every query is answered with this many generated lines.
    qint64 hugeAnswerLines = 0;
};

Reply Respond(const CStringArray &request, ReplyContext &context);

// The reply to a request that was too long to be read.
Reply OversizedReply(qsizetype limit);
