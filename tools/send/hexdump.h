#pragma once

#include "session/hexdump.h"

// A hex view of a line's bytes, so tabs, trailing blanks, stray control bytes
// and bytes above 127 can be told apart where plain text would hide them.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdio>

// One row of up to 16 bytes: offset, the bytes in hex (two groups of eight)
// and the printable ASCII text with every other byte shown as ".", ended by a
// newline. Short rows are padded so the text column lines up.
QByteArray HexDumpRow(QByteArrayView row, qsizetype offset);

// Writes the rows of the whole text, offsets counting from 0, one row at a
// time so a long line never needs a second copy of its dump in memory.
void WriteHexDump(QByteArrayView bytes, std::FILE *out);
