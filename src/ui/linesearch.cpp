#include "ui/linesearch.h"

#include "session/wiretext.h"
#include "ui/resultlistmodel.h"

#include <array>

namespace {

const std::array<unsigned char, 256> &FoldTable()
{
    // Built from WireUpper so the search folds exactly as the upper-case
    // edits do.
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString upper = WireUpper(WireToText(QByteArrayView(&byte, 1)));
            QByteArray wire;
            const bool ok = TextToWire(upper, wire);
            t[size_t(b)] = ok && wire.size() == 1 ? static_cast<unsigned char>(wire[0])
                                                  : static_cast<unsigned char>(b);
        }
        return t;
    }();
    return table;
}

} // namespace

unsigned char FoldWireByte(unsigned char byte)
{
    return FoldTable()[byte];
}

LineMatcher::LineMatcher(const QString &text)
{
    QByteArray wire;
    m_valid = TextToWire(text, wire) && !wire.isEmpty();
    const auto &fold = FoldTable();
    for (char &c : wire)
        c = char(fold[static_cast<unsigned char>(c)]);
    m_folded = wire;
}

bool LineMatcher::matches(QByteArrayView line) const
{
    if (!m_valid || line.size() < m_folded.size())
        return false;
    const auto &fold = FoldTable();
    const auto *hay = reinterpret_cast<const unsigned char *>(line.data());
    const auto *needle = reinterpret_cast<const unsigned char *>(m_folded.constData());
    const qsizetype n = m_folded.size();
    const qsizetype last = line.size() - n;
    for (qsizetype i = 0; i <= last; ++i) {
        if (fold[hay[i]] != needle[0])
            continue;
        qsizetype k = 1;
        while (k < n && fold[hay[i + k]] == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

qsizetype FindLine(const ResultListModel &lines, const LineMatcher &matcher, qsizetype from)
{
    const qsizetype count = lines.lineCount();
    if (!matcher.isValid() || count == 0)
        return -1;
    from = (from % count + count) % count;
    for (qsizetype step = 0; step < count; ++step) {
        const qsizetype i = (from + step) % count;
        if (matcher.matches(lines.lineView(i)))
            return i;
    }
    return -1;
}
