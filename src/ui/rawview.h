#pragma once

// A read-only window with one result line as hex and text side by side, so
// tabs, trailing blanks and bytes above 127 can be seen exactly.

#include <QByteArrayView>
#include <QDialog>
#include <QString>

class CRawView : public QDialog
{
    Q_OBJECT
public:
    // line is the line's index, counted from 0 as everywhere in the program.
    CRawView(qsizetype line, QByteArrayView bytes, QWidget *parent);

    // Rows of 16 bytes: offset, the bytes in hex (two groups of eight) and
    // the bytes as text, every byte without a visible glyph shown as ".".
    static QString HexDump(QByteArrayView bytes);
};
