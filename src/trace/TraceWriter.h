#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>

#include "receiver/WaitClock.h"
#include "trace/TraceRecorder.h"
#include "trace/TraceStep.h"

namespace orvanrx {

// Writes a receiver trace to a file while it is recorded, one line a step (FormatTraceStep).
// Each line goes to the system as soon as it is written, so it survives the program crashing.
// The file is also forced onto the disk (where the system can) by a write that comes at least
// kSyncIntervalMs of `clock` after the last time it was, and by Close(), so that a power cut
// loses little. The first write that fails stops the writing for good (the file then holds a
// whole trace up to that point) and is kept in ErrorString().
class TraceFileWriter {
public:
    static constexpr std::int64_t kSyncIntervalMs = 1000;

    explicit TraceFileWriter(MonotonicClock clock = SteadyMilliseconds());
    ~TraceFileWriter();
    TraceFileWriter(const TraceFileWriter&) = delete;
    TraceFileWriter& operator=(const TraceFileWriter&) = delete;

    // Creates the file, or empties it; false (with ErrorString()) when it cannot.
    bool Open(const QString& path);
    void Write(const trace::Step& step);
    // Writes to this writer; valid while it lives.
    TraceSink Sink();
    // Forces what was written onto the disk and closes the file.
    void Close();

    bool Ok() const { return error_.isEmpty(); }
    // Empty while every write succeeded; else "cannot write PATH: reason".
    const QString& ErrorString() const { return error_; }

private:
    void Fail();
    void Sync();

    QFile file_;
    MonotonicClock clock_;
    std::optional<std::int64_t> lastSyncMs_;
    QString error_;
};

}  // namespace orvanrx
