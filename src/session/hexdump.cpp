#include "session/hexdump.h"

QByteArray HexDumpColumns(QByteArrayView row, qsizetype offset)
{
    static constexpr char kHexDigits[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(60);
    out.append(QByteArray::number(offset, 16).rightJustified(8, '0'));
    out.append("  ");
    for (qsizetype i = 0; i < kHexDumpRowBytes; ++i) {
        if (i == kHexDumpRowBytes / 2)
            out.append(' ');
        if (i < row.size()) {
            const auto byte = static_cast<unsigned char>(row[i]);
            out.append(kHexDigits[byte >> 4]);
            out.append(kHexDigits[byte & 0xf]);
        } else {
            out.append("  ");
        }
        out.append(' ');
    }
    return out;
}
