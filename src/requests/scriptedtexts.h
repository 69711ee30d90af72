#pragma once

// The fixed requests of the scripted test run, in console notation ("~" for
// each NUL byte). They go through the console's send step like typed text.

#include <QByteArray>

extern const QByteArray kSpecialTestOptions;
// "##SETOUTPUTMASK", "MASKTYPE=8", 80 column names, the same 80 names with
// "IN_" in front: 162 fields, then the closing empty field.
extern const QByteArray kSpecialTestOutputMask;
// Sent as the run's start query when the message field is empty.
extern const QByteArray kDefaultStartQuery;
extern const QByteArray kCloseConnectionText;

// "##GETFAREBLOCK~n~~".
QByteArray FareBlockText(int n);
