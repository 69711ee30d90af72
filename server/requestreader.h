#pragma once

// Reassembles requests from a byte stream that arrives in arbitrary pieces.
// A request is a run of NUL-terminated fields closed by an empty field; zero
// bytes where a request would begin are padding of fixed-length requests and
// are skipped.

#include "session/framing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

struct ReadResult
{
    QList<CStringArray> requests;
    // Requests that outgrew the buffer limit; their bytes were dropped.
    int oversized = 0;
};

class RequestReader
{
public:
    explicit RequestReader(qsizetype maxRequestBytes) : m_maxRequestBytes(maxRequestBytes) {}

    ReadResult feed(QByteArrayView bytes);
    // Bytes held for the request that has not ended yet.
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    // Each returns how many of the bytes it consumed.
    qsizetype readRequest(QByteArrayView bytes, ReadResult &result);
    qsizetype skipUntilEnd(QByteArrayView bytes);

    const qsizetype m_maxRequestBytes;
    QByteArray m_pending;
    // Dropping the rest of an oversized request until its closing empty field.
    bool m_discarding = false;
    bool m_lastDiscardedWasNul = false;
};
