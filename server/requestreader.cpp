#include "requestreader.h"

namespace {

qsizetype SkipZeros(QByteArrayView bytes, qsizetype pos)
{
    while (pos < bytes.size() && bytes[pos] == '\0')
        ++pos;
    return pos;
}

} // namespace

ReadResult RequestReader::feed(QByteArrayView bytes)
{
    ReadResult result;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        if (m_discarding) {
            pos += skipUntilEnd(bytes.sliced(pos));
            continue;
        }
        if (m_pending.isEmpty())
            pos = SkipZeros(bytes, pos);
        if (pos < bytes.size())
            pos += readRequest(bytes.sliced(pos), result);
    }
    return result;
}

qsizetype RequestReader::readRequest(QByteArrayView bytes, ReadResult &result)
{
    // Index in bytes of the NUL that closes the request, if it is there. The
    // closing pair may straddle the previous piece and this one.
    qsizetype end = -1;
    if (m_pending.endsWith('\0') && bytes[0] == '\0') {
        end = 0;
    } else if (const qsizetype pair = bytes.indexOf(QByteArrayView("\0\0", 2)); pair >= 0) {
        end = pair + 1;
    }
    const qsizetype room = m_maxRequestBytes - m_pending.size();
    const qsizetype available = end >= 0 ? end + 1 : bytes.size();
    if (available > room) {
        ++result.oversized;
        m_pending.clear();
        if (end >= 0)
            return end + 1;
        m_discarding = true;
        m_lastDiscardedWasNul = bytes.endsWith('\0');
        return bytes.size();
    }
    m_pending.append(bytes.first(available));
    if (end >= 0) {
        CStringArray fields;
        SplitFieldBlock(m_pending, fields);
        result.requests.append(fields);
        m_pending.clear();
    }
    return available;
}

// The rest of a dropped request runs up to its closing empty field, which is
// dropped with it.
qsizetype RequestReader::skipUntilEnd(QByteArrayView bytes)
{
    if (m_lastDiscardedWasNul && bytes[0] == '\0') {
        m_discarding = false;
        return 1;
    }
    const qsizetype pair = bytes.indexOf(QByteArrayView("\0\0", 2));
    if (pair >= 0) {
        m_discarding = false;
        return pair + 2;
    }
    m_lastDiscardedWasNul = bytes.endsWith('\0');
    return bytes.size();
}
