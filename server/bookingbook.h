#pragma once

// The bookings made on the server, shared by all connections. File keys are
// six characters of an alphabet without look-alikes (no 0/O, 1/I), so they
// survive being read aloud or typed in capitals.

#include "session/framing.h"

#include <QByteArray>
#include <QHash>

class BookingBook
{
public:
    enum class CancelResult { Cancelled, AlreadyCancelled, Unknown };

    // Records a booking and returns its new file key.
    QByteArray add(const CStringArray &summary);
    // The key is matched without regard to case.
    CancelResult cancel(const QByteArray &fileKey);
    qsizetype size() const { return m_bookings.size(); }

private:
    struct Booking
    {
        CStringArray summary;
        bool cancelled = false;
    };

    QHash<QByteArray, Booking> m_bookings;
    quint32 m_issued = 0;
};
