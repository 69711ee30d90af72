#pragma once

// Finding result lines by text, case-insensitively, on the stored wire bytes:
// the needle is turned into wire bytes once and every line is compared byte
// by byte through a folding table, so no line is converted to a QString.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class ResultListModel;

class LineMatcher
{
public:
    explicit LineMatcher(const QString &text);
    // False when the text is empty or holds a character no line can contain.
    bool isValid() const { return m_valid; }
    bool matches(QByteArrayView line) const;

private:
    QByteArray m_folded;
    bool m_valid = false;
};

// Every wire byte mapped to the byte of its capital where Windows-1252 has
// one (a→A, ä→Ä, ÿ→Ÿ, š→Š), every other byte to itself.
unsigned char FoldWireByte(unsigned char byte);

// The first matching line at or after from, continuing at the top when the
// end is reached (a from past the end starts at the top); -1 when no line
// matches.
qsizetype FindLine(const ResultListModel &lines, const LineMatcher &matcher, qsizetype from);
