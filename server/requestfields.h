#pragma once

// Reading the parameters of a request: KEY=VALUE fields and bare words.
// Keys compare without regard to case, since the program's console sends
// everything in capitals while its fixed requests keep the case as typed.

#include "session/framing.h"

#include <QByteArray>
#include <optional>

class RequestFields
{
public:
    // fields[0] is the command; the rest are parameters.
    explicit RequestFields(const CStringArray &fields);

    const QByteArray &command() const { return m_command; }
    const CStringArray &parameters() const { return m_parameters; }

    // The value of the first KEY=VALUE field with this key.
    std::optional<QByteArray> value(QByteArrayView key) const;
    QByteArray valueOr(QByteArrayView key, const QByteArray &fallback = {}) const;
    // The values of every field with this key, in order.
    CStringArray values(QByteArrayView key) const;
    // A bare word such as "WANTCITYCODE".
    bool hasWord(QByteArrayView word) const;
    // The n-th parameter (0 = the one after the command), or an empty text.
    QByteArray parameter(qsizetype n) const { return m_parameters.value(n); }

private:
    QByteArray m_command;
    CStringArray m_parameters;
};

// The key of a KEY=VALUE field (empty for a bare word) and its value.
QByteArray KeyOf(const QByteArray &field);
QByteArray ValueOf(const QByteArray &field);

// A whole decimal number in the int range, or nothing.
std::optional<int> ParseInt(QByteArrayView text);
