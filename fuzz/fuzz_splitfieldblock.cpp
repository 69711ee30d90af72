// SplitFieldBlock on a zero-terminated area, and on the bare bytes, whose
// end must count as the empty field. Input: byte 0 is the number of items
// already in the list (mod 4), the rest is the block.

#include "fuzzcheck.h"
#include "session/framing.h"

#include <cstdint>

namespace {

// The block up to its first empty field: fields start at 0 and after each
// NUL, so the first empty one is at 0 or right after the first NUL pair.
QByteArray PrefixBeforeEmptyField(const QByteArray &block)
{
    if (block.isEmpty() || block[0] == '\0')
        return {};
    const qsizetype pair = block.indexOf(QByteArrayView("\0\0", 2));
    return pair < 0 ? block : block.left(pair);
}

CStringArray Split(QByteArrayView block, const CStringArray &earlier)
{
    CStringArray list = earlier;
    const int count = SplitFieldBlock(block, list);
    FUZZ_CHECK(count == list.size());
    FUZZ_CHECK(list.size() >= earlier.size());
    FUZZ_CHECK(list.first(earlier.size()) == earlier);
    return list.sliced(earlier.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    CStringArray earlier;
    for (int i = 0; i < data[0] % 4; ++i)
        earlier.append(QByteArray(i, 'x'));
    const QByteArray raw(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    QByteArray area = raw;
    area.append('\0').append('\0');

    const CStringArray fields = Split(area, earlier);
    const QByteArray prefix = PrefixBeforeEmptyField(area);
    for (const QByteArray &field : fields) {
        FUZZ_CHECK(!field.isEmpty());
        FUZZ_CHECK(!field.contains('\0'));
    }
    FUZZ_CHECK(fields.size() == (prefix.isEmpty() ? 0 : prefix.count('\0') + 1));
    FUZZ_CHECK(fuzz::Join(fields, QByteArrayView("\0", 1)) == prefix);

    // The bare bytes are an exactly sized heap buffer: any read past the end
    // is an AddressSanitizer report, and the end reads as the empty field.
    const CStringArray bare = Split(QByteArrayView(data + 1, qsizetype(size - 1)), earlier);
    FUZZ_CHECK(bare == fields);
    return 0;
}
