#include "hexdump.h"

namespace {

bool IsPrintableAscii(unsigned char byte)
{
    return byte >= 0x20 && byte < 0x7f;
}

} // namespace

QByteArray HexDumpRow(QByteArrayView row, qsizetype offset)
{
    QByteArray out = HexDumpColumns(row, offset);
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
