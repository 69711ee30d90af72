#pragma once

// The handlers of the individual commands, grouped by topic into the files
// farecommands.cpp, codecommands.cpp, bookingcommands.cpp and
// settingcommands.cpp.

#include "commands.h"
#include "requestfields.h"

CStringArray StartQuery(const RequestFields &request, SessionState &session);
CStringArray GetFareBlock(const RequestFields &request, const SessionState &session);
CStringArray GetFare(const RequestFields &request);
CStringArray GetFareFieldFromSet(const RequestFields &request);

CStringArray GetAirports(const RequestFields &request);
CStringArray GetAirlines(const RequestFields &request);

CStringArray CrsGetAvailability(const RequestFields &request);
CStringArray CrsBooking(const RequestFields &request, BookingBook &bookings);
CStringArray EmailBooking(const RequestFields &request, BookingBook &bookings);
CStringArray CrsCancelBooking(const RequestFields &request, BookingBook &bookings);

CStringArray GetAvailableFares(const RequestFields &request);
CStringArray SetOptions(const RequestFields &request, SessionState &session);
CStringArray SetOutputMask(const RequestFields &request, SessionState &session);

// An error answer: one line "ERROR=" and the text.
inline CStringArray Error(const QByteArray &text)
{
    return {"ERROR=" + text};
}

// A text from the request, fit for an answer line: never empty, never long.
inline QByteArray Shown(QByteArray text)
{
    if (text.size() > 60)
        text = text.first(60) + "...";
    return text.isEmpty() ? QByteArray("(EMPTY)") : text;
}
