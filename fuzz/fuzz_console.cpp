// The console conversion, the notation echo of a field list and the
// Windows-1252 table. Input: byte 0 holds the flags, the rest is the text.

#include "fuzzcheck.h"
#include "session/framing.h"
#include "session/wiretext.h"

#include <QString>

#include <cstdint>
#include <string>

namespace {

const std::string kNul(1, '\0');

// Replaces backslash-zero pairs left to right, then every "~": the pairs
// cannot overlap a "~", so the order does not matter. Counts the pairs.
std::string Reference(std::string text, bool convertBackslashZero, qsizetype &pairs)
{
    pairs = 0;
    if (convertBackslashZero) {
        for (size_t at = text.find("\\0"); at != std::string::npos; at = text.find("\\0", at + 1)) {
            text.replace(at, 2, kNul);
            ++pairs;
        }
    }
    for (char &c : text) {
        if (c == '~')
            c = '\0';
    }
    return text;
}

void CheckConversion(const QByteArray &text, bool convertBackslashZero)
{
    const QByteArray out = ConvertConsoleText(text, convertBackslashZero);
    qsizetype pairs = 0;
    const std::string ref = Reference(text.toStdString(), convertBackslashZero, pairs);
    FUZZ_CHECK(out.toStdString() == ref);
    FUZZ_CHECK(out.size() == text.size() - pairs);
    if (!text.contains('~') && (!convertBackslashZero || !text.contains("\\0")))
        FUZZ_CHECK(out == text);

    // Echoing the fields the server would read and converting the echo
    // again gives those fields followed by the closing empty field.
    CStringArray fields;
    SplitFieldBlock(out, fields);
    const QByteArray notation = FieldsToNotation(fields);
    FUZZ_CHECK(notation.isEmpty() == fields.isEmpty());
    if (!fields.isEmpty()) {
        const QByteArray again = ConvertConsoleText(notation, false);
        FUZZ_CHECK(again == fuzz::Join(fields, QByteArrayView("\0", 1)) + QByteArray(2, '\0'));
    }
}

// Fields cut from the input at "~" and NUL: their notation converts back to
// exactly these fields, closed by the empty field, with nothing after it.
void CheckNotationRoundTrip(const QByteArray &text)
{
    CStringArray fields;
    for (const QByteArray &piece : QByteArray(text).replace('\0', '~').split('~')) {
        if (!piece.isEmpty())
            fields.append(piece);
    }
    const QByteArray notation = FieldsToNotation(fields);
    if (fields.isEmpty()) {
        FUZZ_CHECK(notation.isEmpty());
        return;
    }
    FUZZ_CHECK(notation.endsWith("~~"));
    const QByteArray bytes = ConvertConsoleText(notation, false);
    FUZZ_CHECK(bytes.size() == notation.size());
    FUZZ_CHECK(bytes.endsWith(QByteArrayView("\0\0", 2)));
    CStringArray back;
    FUZZ_CHECK(SplitFieldBlock(bytes, back) == fields.size());
    FUZZ_CHECK(back == fields);
    // Typed with the backslash-zero rule, only fields without the pair
    // survive unchanged: the notation cannot carry one.
    if (!notation.contains("\\0"))
        FUZZ_CHECK(ConvertConsoleText(notation) == bytes);
}

void CheckWireText(const QByteArray &bytes)
{
    const QString text = WireToText(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    for (const QChar c : text)
        FUZZ_CHECK(IsWireChar(c));
    QByteArray back;
    FUZZ_CHECK(TextToWire(text, back));
    FUZZ_CHECK(back == bytes);
    FUZZ_CHECK(TextToWire(text) == bytes);

    const QString upper = WireUpper(text);
    FUZZ_CHECK(upper.size() == text.size());
    for (const QChar c : upper)
        FUZZ_CHECK(IsWireChar(c));
    FUZZ_CHECK(WireUpper(upper) == upper);
}

// The same bytes read as UTF-16: converts exactly when every character is
// in the table, and what converts reads back as the same text.
void CheckArbitraryText(const QByteArray &bytes)
{
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8));
    bool allWire = true;
    QString wireOnly;
    for (const QChar c : text) {
        if (IsWireChar(c))
            wireOnly += c;
        else
            allWire = false;
    }
    QByteArray out;
    FUZZ_CHECK(TextToWire(text, out) == allWire);
    FUZZ_CHECK(WireToText(out) == wireOnly);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray text(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    CheckConversion(text, (data[0] & 1) != 0);
    CheckConversion(text, (data[0] & 1) == 0);
    CheckNotationRoundTrip(text);
    CheckWireText(text);
    CheckArbitraryText(text);
    return 0;
}
