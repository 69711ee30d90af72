// SplitBySeparator against a reference that reads ahead instead of keeping
// a matching state. Input: byte 0 picks the separator's length (most often
// one byte) and how many items the list holds already; the separator's
// bytes follow, then the text.

#include "fuzzcheck.h"
#include "session/framing.h"

#include <algorithm>
#include <cstdint>

namespace {

// At a byte equal to the separator's first, look ahead: a complete
// separator ends the piece and the byte after it starts the next one
// untested; a separator cut off by the end of the text is dropped; a
// mismatch keeps the bytes read so far, the mismatching one included.
CStringArray Reference(const QByteArray &text, const QByteArray &sep)
{
    CStringArray pieces;
    QByteArray piece;
    const qsizetype n = text.size();
    const qsizetype m = sep.size();
    qsizetype pos = 0;
    while (pos < n) {
        if (m == 0 || text[pos] != sep[0]) {
            piece += text[pos++];
            continue;
        }
        qsizetype j = 1;
        while (j < m && pos + j < n && text[pos + j] == sep[j])
            ++j;
        if (pos + j == n)
            break; // whole or partial separator at the very end
        if (j == m) {
            pieces.append(piece);
            piece = QByteArray(1, text[pos + m]);
            pos += m + 1;
        } else {
            piece += text.mid(pos, j + 1);
            pos += j + 1;
        }
    }
    pieces.append(piece);
    return pieces;
}

CStringArray Split(const QByteArray &text, const QByteArray &sep, const CStringArray &earlier)
{
    CStringArray list = earlier;
    const int count = SplitBySeparator(text, list, sep);
    FUZZ_CHECK(count == list.size());
    FUZZ_CHECK(list.size() > earlier.size());
    FUZZ_CHECK(list.first(earlier.size()) == earlier);
    return list.sliced(earlier.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static constexpr qsizetype kSepLength[8] = {0, 1, 1, 1, 1, 2, 3, 4};
    const auto *bytes = reinterpret_cast<const char *>(data);
    const qsizetype sepLen = std::min<qsizetype>(kSepLength[data[0] % 8], qsizetype(size - 1));
    const QByteArray sep(bytes + 1, sepLen);
    const QByteArray text(bytes + 1 + sepLen, qsizetype(size) - 1 - sepLen);
    CStringArray earlier;
    for (int i = 0; i < (data[0] >> 3) % 4; ++i)
        earlier.append(QByteArray(i, '@'));

    const CStringArray pieces = Split(text, sep, {});
    FUZZ_CHECK(pieces == Reference(text, sep));
    // Appending adds exactly the pieces, whatever the list held before.
    FUZZ_CHECK(Split(text, sep, earlier) == pieces);

    if (sep.isEmpty() || (sep.size() == 1 && !text.contains(sep[0]))) {
        FUZZ_CHECK(pieces.size() == 1 && pieces[0] == text);
    }
    if (sep.size() == 1) {
        // Joined again, the pieces give the text back, but for a separator
        // in the last byte, which is dropped unless it began a piece.
        const QByteArray joined = fuzz::Join(pieces, sep);
        FUZZ_CHECK(joined == text || (text.endsWith(sep[0]) && joined == text.chopped(1)));
        for (qsizetype i = 1; i < pieces.size(); ++i)
            FUZZ_CHECK(!pieces[i].isEmpty());
    }
    return 0;
}
