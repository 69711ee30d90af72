#include "session/framing.h"

int SplitFieldBlock(QByteArrayView block, CStringArray &list)
{
    qsizetype pos = 0;
    const qsizetype size = block.size();
    while (pos < size && block[pos] != '\0') {
        const qsizetype nul = block.indexOf('\0', pos);
        const qsizetype end = nul < 0 ? size : nul;
        list.append(block.sliced(pos, end - pos).toByteArray());
        pos = end + 1;
    }
    return int(list.size());
}

int SplitBySeparator(QByteArray text, CStringArray &list, QByteArray separator)
{
    QByteArray piece;
    QByteArray matched;
    bool matching = false;
    qsizetype k = 0;
    const qsizetype sepLen = separator.size();
    for (const char c : std::as_const(text)) {
        if (!matching) {
            if (sepLen > 0 && c == separator[0]) {
                matched = QByteArray(1, c);
                matching = true;
                k = 1;
            } else {
                piece.append(c);
            }
        } else if (k == sepLen) {
            list.append(piece);
            piece = QByteArray(1, c);
            matching = false;
        } else if (c == separator[k]) {
            matched.append(c);
            ++k;
        } else {
            piece.append(matched);
            piece.append(c);
            matching = false;
        }
    }
    list.append(piece);
    return int(list.size());
}

QByteArray ConvertConsoleText(QByteArrayView text, bool convertBackslashZero)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len; ++i) {
        const char c = text[i];
        if (c == '~') {
            out.append('\0');
        } else if (convertBackslashZero && c == '\\' && i + 1 < len && text[i + 1] == '0') {
            out.append('\0');
            ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray FieldsToNotation(const CStringArray &fields)
{
    QByteArray joined;
    for (const QByteArray &field : fields) {
        joined += field;
        joined += '~';
    }
    if (!joined.isEmpty())
        joined += '~';
    return joined;
}

RequestArea::RequestArea(qsizetype size, qsizetype trailingZeros)
    : m_area(size, '\0'), m_trailingZeros(trailingZeros)
{
}

void RequestArea::add(QByteArrayView field)
{
    const qsizetype end = m_used + field.size() + 1;
    if (end + m_trailingZeros <= m_area.size())
        std::copy(field.begin(), field.end(), m_area.begin() + m_used);
    m_used = end;
}
