#pragma once

// The bytes of one answer, read front to back by the transmitter. Answers
// are NUL-terminated fields closed by an empty field, so every body ends in
// two NUL bytes.

#include "session/framing.h"

#include <QByteArray>
#include <memory>

class AnswerBody
{
public:
    virtual ~AnswerBody() = default;
    // All bytes, the closing empty field included.
    virtual qint64 size() const = 0;
    // Bytes of the first field, without its NUL.
    virtual qint64 firstFieldSize() const = 0;
    // The next bytes, at most maxBytes of them.
    virtual QByteArray read(qint64 maxBytes) = 0;
};

// An answer of the given lines, none of them empty.
std::unique_ptr<AnswerBody> MakeLinesBody(const CStringArray &lines);

// A generated answer of this many fare-like lines of kHugeLineBytes bytes
// each, NUL included, made piece by piece as it is read.
std::unique_ptr<AnswerBody> MakeHugeBody(qint64 lines);
inline constexpr qint64 kHugeLineBytes = 120;
