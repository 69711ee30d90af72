#pragma once

// The wire framing: a message is a run of NUL-terminated fields closed by an
// empty field. Operators read and type messages with "~" standing for NUL.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// An ordered list of byte texts: request fields, answer lines, pieces.
using CStringArray = QList<QByteArray>;

// Appends each NUL-terminated text of the block, up to the first empty text,
// to the list and returns the list's size. The end of the view counts as an
// empty text, so a block without one is never read past.
int SplitFieldBlock(QByteArrayView block, CStringArray &list);

// Cuts the text at each occurrence of the separator (byte-wise, no look-back
// after a failed partial match; the byte after a complete separator always
// starts the next piece) and appends the pieces. Returns the list's size.
int SplitBySeparator(QByteArray text, CStringArray &list, QByteArray separator);

// Typed console text to request bytes: "~" and, when convertBackslashZero is
// set, a backslash followed by the digit zero each become one NUL byte.
// Nothing is appended.
QByteArray ConvertConsoleText(QByteArrayView text, bool convertBackslashZero = true);

// Each field followed by "~", and one more "~" after the last. An empty list
// gives an empty text.
QByteArray FieldsToNotation(const CStringArray &fields);

// A zero-filled request area of fixed size into which fields are laid end to
// end, each followed by its NUL. The area never grows: a field that does not
// fit is counted as overflow instead of being written.
class RequestArea
{
public:
    explicit RequestArea(qsizetype size, qsizetype trailingZeros = 1);

    void add(QByteArrayView field);

    // Bytes the fields, their NULs and the trailing zero bytes need.
    qsizetype needed() const { return m_used + m_trailingZeros; }
    qsizetype overflow() const { return needed() > m_area.size() ? needed() - m_area.size() : 0; }
    bool fits() const { return overflow() == 0; }
    // Fields and their NULs, without the trailing zero bytes.
    qsizetype used() const { return m_used; }
    const QByteArray &area() const { return m_area; }

private:
    QByteArray m_area;
    qsizetype m_used = 0;
    qsizetype m_trailingZeros;
};
