#include "hexdump.h"

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(QByteArray &out, unsigned char byte)
{
    out.append(kHexDigits[byte >> 4]);
    out.append(kHexDigits[byte & 0xf]);
}

bool IsPrintableAscii(unsigned char byte)
{
    return byte >= 0x20 && byte < 0x7f;
}

} // namespace

QByteArray HexDumpRow(QByteArrayView row, qsizetype offset)
{
    QByteArray out;
    out.reserve(80);
    out.append(QByteArray::number(offset, 16).rightJustified(8, '0'));
    out.append("  ");
    for (qsizetype i = 0; i < kHexDumpRowBytes; ++i) {
        if (i == kHexDumpRowBytes / 2)
            out.append(' ');
        if (i < row.size())
            AppendHexByte(out, static_cast<unsigned char>(row[i]));
        else
            out.append("  ");
        out.append(' ');
    }
    out.append(" |");
    for (const char c : row)
        out.append(IsPrintableAscii(static_cast<unsigned char>(c)) ? c : '.');
    out.append("|\n");
    return out;
}

void WriteHexDump(QByteArrayView bytes, std::FILE *out)
{
    for (qsizetype offset = 0; offset < bytes.size(); offset += kHexDumpRowBytes) {
        const QByteArray row = HexDumpRow(
            bytes.sliced(offset).first(std::min(kHexDumpRowBytes, bytes.size() - offset)), offset);
        std::fwrite(row.constData(), 1, size_t(row.size()), out);
    }
}
