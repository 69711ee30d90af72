#pragma once

// The requests that go out as fixed blocks rather than console text: the fare
// query, fare browsing, the CRS booking and the close request. Every builder
// is pure: values in, the exact bytes for the wire out. Callers that echo a
// request split the bytes with SplitFieldBlock themselves.

#include "form/queryform.h"

#include <QByteArray>

// A request laid into its fixed area. When the fields do not fit, nothing may
// go out (never cut short, never past the area): bytes is then empty and
// overflow tells by how many bytes the request is too long.
struct BuiltRequest
{
    QByteArray bytes;
    qsizetype overflow = 0;
    bool fits() const { return overflow == 0; }
};

// What a fare query is built from. Texts are wire bytes, taken as they are;
// a flag counts as set when it is non-zero.
struct StartQueryParams
{
    QByteArray departure;
    QByteArray ojDeparture;
    QByteArray ojArrival;
    QByteArray arrival;
    QByteArray depDate;
    QByteArray airline1;
    QByteArray airline2;
    QByteArray airline3;
    QByteArray stops1;
    QByteArray stops2;
    QByteArray stops3;
    QByteArray tolerance;
    QByteArray duration;
    int economy = 0;
    int business = 0;
    int first = 0;
    int roundTrip = 0;
    int ttNormal = 0;
    int ttYouth = 0;
    int ttSenior = 0;
    int ttPartner = 0;
    int ttEthnic = 0;
    int ttAgent = 0;
    int resultMode = 0;
    int flightQuery = 1;
    QByteArray supplier;
    QByteArray currency;
};

// "Flight query": stops 1 starting with "*" means "any", so it is not sent.
StartQueryParams FlightQueryParams(const QueryForm &form);
// "Charter query": charters have no supplier or currency selection.
StartQueryParams CharterQueryParams(const QueryForm &form);

inline constexpr qsizetype kQueryAreaSize = 8192;
inline constexpr qsizetype kBrowseAreaSize = 100;

// "##STARTQUERY": exactly 8192 bytes when it fits.
BuiltRequest BuildStartQuery(const StartQueryParams &params);

// "##GETFAREBLOCK" with the number in decimal; always fits, 100 bytes.
BuiltRequest BuildFareBlockRequest(int blockNumber);
// "##GETFARE" for a result line; 100 bytes, fits for lines of up to 88 bytes.
BuiltRequest BuildFareRequest(const QByteArray &line);
// "##GETFAREFIELDFROMSET" for a line's remarks; 100 bytes, lines up to 68.
// An empty line is laid as it is: the server then sees the request end
// right after the command, with "REMARKS" behind the closing empty field.
BuiltRequest BuildRemarksRequest(const QByteArray &line);

// "##CLOSECONNECTION": always 8192 bytes.
BuiltRequest BuildCloseRequest();

// What a CRS booking carries beyond its fixed passenger and agency block:
// the availability lines as listed, the CRS code, and the dialog's values.
struct CrsBookingValues
{
    QByteArray outLine;
    QByteArray crs;
    QByteArray inLine; // empty for a one-way booking
    QByteArray resClassOut;
    QByteArray resClassIn;
    QByteArray tariffOut;
    QByteArray tariffIn;
};

// The ninth "@" piece of an availability line, else "Y".
QByteArray ReservationClass(const QByteArray &availabilityLine);
// The second "=" piece of the availability answer's first line, else the
// whole line.
QByteArray InboundTariff(const QByteArray &firstLine);
// The values the booking dialog opens with. A one-way booking (no inbound
// line) offers an empty inbound class.
CrsBookingValues BookingPresets(const QByteArray &outLine, const QByteArray &crs,
                                const QByteArray &inLine, const QByteArray &inboundTariff);

// "##CRSBOOKING": the fields, the closing empty field and one further zero
// byte, all within an area of 8192 bytes.
BuiltRequest BuildCrsBooking(const CrsBookingValues &values);
