#pragma once

// The return day that an available-fares request asks for when the operator
// gave none: one month after the departure day.

#include <QByteArray>

// Departure days are DDMMYYYY. The leading number of the text is read like C
// atoi, 10000 is added (one month on) and the zero of days 1 to 9 restored.
// A December day rolls over to January of the following year.
QByteArray ComputeReturnDay(const QByteArray &depDate);
