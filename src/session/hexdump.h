#pragma once

// The hex columns of a dump row, shared by the byte view and fareprobe-send.

#include <QByteArray>
#include <QByteArrayView>

inline constexpr qsizetype kHexDumpRowBytes = 16;

// "00000010  41 42 43 ...  " for up to 16 bytes: the offset, the bytes in hex
// in two groups of eight, padded so the text column of a short last row lines
// up with the rows above it.
QByteArray HexDumpColumns(QByteArrayView row, qsizetype offset);
