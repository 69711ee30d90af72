#include "requests/returnday.h"

#include <climits>
#include <cstdint>

namespace {

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal number as C atoi reads it: blanks skipped, an optional
// sign, digits up to the first non-digit, 0 without digits. Out-of-range
// values saturate at INT_MIN / INT_MAX, as strtol does where long has 32 bits
// (the platform the day format comes from), instead of being undefined.
std::int64_t LeadingNumber(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t(INT_MAX) + 1)
            break; // saturated either way; the rest cannot bring it back
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return value;
}

// A day of seven or eight digits is DDMMYYYY, the seven-digit form having
// lost the zero of days 1 to 9 to the conversion.
bool IsDecemberDay(std::int64_t day)
{
    return day >= 1000000 && day <= 99999999 && day / 10000 % 100 == 12;
}

// Adding 10000 to a December day would give month 13; the return day is
// January of the next year instead. The year is not capped at four digits:
// December 9999 returns in January 10000.
QByteArray JanuaryAfter(std::int64_t day)
{
    const QByteArray dd = QByteArray::number(day / 1000000).rightJustified(2, '0');
    const QByteArray yyyy = QByteArray::number(day % 10000 + 1).rightJustified(4, '0');
    return dd + "01" + yyyy;
}

} // namespace

QByteArray ComputeReturnDay(const QByteArray &depDate)
{
    const std::int64_t day = LeadingNumber(depDate);
    if (IsDecemberDay(day))
        return JanuaryAfter(day);
    // Done in 64 bits, so INT_MAX + 10000 is written as the true sum rather
    // than overflowing.
    const std::int64_t sum = day + 10000;
    const QByteArray digits = QByteArray::number(qint64(sum));
    return sum < 10000000 ? "0" + digits : digits;
}
