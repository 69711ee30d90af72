#pragma once

// Shared by the fuzz targets: a property check that stops the run with a
// readable message, so libFuzzer saves the input as a crash.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #cond);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

inline QByteArray Join(const QList<QByteArray> &pieces, QByteArrayView separator)
{
    QByteArray joined;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            joined += separator;
        joined += pieces[i];
    }
    return joined;
}

} // namespace fuzz
