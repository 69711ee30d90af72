#pragma once

// A hash that never changes between runs or platforms, so that the server's
// made-up data (fares, flight numbers, file keys) is the same every time.

#include <QByteArrayView>
#include <cstdint>
#include <initializer_list>

inline std::uint64_t StableHash(std::initializer_list<QByteArrayView> parts)
{
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (const QByteArrayView part : parts) {
        for (const char c : part) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        h ^= 0xff; // keeps ("AB","C") apart from ("A","BC")
        h *= 1099511628211ull;
    }
    // FNV's low bits mix poorly; fold the high half in.
    return h ^ (h >> 29);
}
