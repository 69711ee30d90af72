#pragma once

// Wire texts are single bytes of Windows-1252. The program converts between
// those bytes and QString with one lossless table: the five bytes that
// Windows-1252 leaves undefined map to the C1 control characters of the same
// value, so every byte shows and goes out unchanged.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

QString WireToText(QByteArrayView bytes);

// Converts text back to wire bytes. Returns false (and leaves out the
// offending characters) when the text holds a character outside the set.
bool TextToWire(const QString &text, QByteArray &bytes);
QByteArray TextToWire(const QString &text);

bool IsWireChar(QChar c);

// The capital of a letter where Windows-1252 has one; anything else unchanged.
QChar WireUpper(QChar c);
QString WireUpper(const QString &text);
