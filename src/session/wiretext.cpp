#include "session/wiretext.h"

#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the undefined bytes keep their C1 code point.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int WireByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        if (kHighTable[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString WireToText(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = (u >= 0x80 && u < 0xA0) ? QChar(kHighTable[u - 0x80]) : QChar(u);
    }
    return text;
}

bool TextToWire(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    bytes.reserve(text.size());
    bool ok = true;
    for (const QChar c : text) {
        const int b = WireByte(c);
        if (b < 0)
            ok = false;
        else
            bytes.append(char(b));
    }
    return ok;
}

QByteArray TextToWire(const QString &text)
{
    QByteArray bytes;
    TextToWire(text, bytes);
    return bytes;
}

bool IsWireChar(QChar c)
{
    return WireByte(c) >= 0;
}

QChar WireUpper(QChar c)
{
    // Letters whose capital lies outside the set (ß, µ) stay as they are.
    const QChar upper = c.toUpper();
    if (upper == c || !IsWireChar(upper) || QString(c).toUpper().size() != 1)
        return c;
    return upper;
}

QString WireUpper(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = WireUpper(c);
    return out;
}
