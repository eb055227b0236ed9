#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Shared by the fuzz targets. Each target is one translation unit that defines
// LLVMFuzzerTestOneInput; built in the fuzz preset it links libFuzzer's main(), in a test build
// it links FuzzReplayMain.cpp, which runs it over the target's corpus as a CTest test.
//
// A broken promise of the code under test aborts with a line naming it, so libFuzzer (and the
// corpus replay) report the input as a finding, exactly like a crash.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: FUZZ_CHECK failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

namespace orvanrx::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// True when every character is one the race log and the time slip may show: 20..126, the
// range the receive path's character filter lets through.
inline bool AllPrintable(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 20 || c.unicode() > 126) {
            return false;
        }
    }
    return true;
}

}  // namespace orvanrx::fuzz
