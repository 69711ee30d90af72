#pragma once

// The service requests that the main window composes from the form and from
// result lines, in console notation ("~" ends a field, "~~" ends the
// request). They go out through the console's send step like typed text.

#include "form/queryform.h"
#include "requests/returnday.h"
#include "requests/scriptedtexts.h"

#include <QByteArray>

// "##GETAIRPORTS" filtered by the departure airport.
QByteArray ComposeAirportCodes(const QueryForm &form);
// "##GETAIRLINES" filtered by airline 1.
QByteArray ComposeAirlineCodes(const QueryForm &form);

// Before an availability request: a round trip needs a stay of one to three
// characters; anything else (empty, or a date typed there) becomes "14".
// Changes the form, so the operator sees the value that went out.
void ApplyDurationRule(QueryForm &form);
// "##CRSGETAVAILABILITY" for a result line. Expects the duration rule to
// have been applied already.
QByteArray ComposeAvailability(const QueryForm &form, const QByteArray &currentLine);

// "##EMAILBOOKING" for the line of the last availability request, with the
// outbound identifier from the availability answer's second line. Its
// passenger field holds a backslash before a zero; send it without the
// console's backslash-zero conversion.
QByteArray ComposeEmailBooking(const QByteArray &availRecordset, const QByteArray &secondLine);

// The second "=" piece of a booking answer line, else the whole line.
QByteArray FileKeyOf(const QByteArray &line);
// "##CRSCANCELBOOKING" for the booking named by a result line.
QByteArray ComposeCancelBooking(const QueryForm &form, const QByteArray &currentLine);

// "##GETAVAILABLEFARES" for one passenger, one leg, and a return leg for a
// round trip.
QByteArray ComposeAvailableFares(const QueryForm &form);
