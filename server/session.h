#pragma once

// What one connection remembers between its requests.

#include "fare.h"

#include <QList>
#include <utility>

struct SessionState
{
    bool hasQuery = false;
    // The result of the last "##STARTQUERY", paged by "##GETFAREBLOCK".
    QList<Fare> lastFares;
    // Set with "##SETOPTIONS".
    int faresPerBlock = 10;
    int maxHits = 500;
    QList<std::pair<QByteArray, QByteArray>> options;
    // Set with "##SETOUTPUTMASK".
    QByteArray maskType;
    CStringArray outputMask;
};
