#include "bookingbook.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
constexpr int kKeyLength = 6;
constexpr quint32 kKeyMask = (1u << (5 * kKeyLength)) - 1;

// An affine map with an odd factor is a bijection modulo 2^30, so keys look
// random yet never repeat within a run.
QByteArray KeyFor(quint32 serial)
{
    quint32 code = (serial * 0x2545F491u + 0x09E3779Bu) & kKeyMask;
    QByteArray key(kKeyLength, ' ');
    for (char &c : key) {
        c = kAlphabet[code & 31];
        code >>= 5;
    }
    return key;
}

} // namespace

QByteArray BookingBook::add(const CStringArray &summary)
{
    const QByteArray key = KeyFor(++m_issued);
    m_bookings.insert(key, Booking{summary});
    return key;
}

BookingBook::CancelResult BookingBook::cancel(const QByteArray &fileKey)
{
    const auto found = m_bookings.find(fileKey.trimmed().toUpper());
    if (found == m_bookings.end())
        return CancelResult::Unknown;
    if (found->cancelled)
        return CancelResult::AlreadyCancelled;
    found->cancelled = true;
    return CancelResult::Cancelled;
}
