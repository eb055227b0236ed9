#include "trace/TraceWriter.h"

#include <QtGlobal>
#include <string>

#include "trace/TraceFile.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvanrx {

TraceFileWriter::TraceFileWriter(MonotonicClock clock) : clock_(std::move(clock)) {}

TraceFileWriter::~TraceFileWriter() {
    Close();
}

bool TraceFileWriter::Open(const QString& path) {
    Close();
    error_.clear();
    lastSyncMs_.reset();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fail();
        return false;
    }
    return true;
}

void TraceFileWriter::Write(const trace::Step& step) {
    if (!file_.isOpen() || !Ok()) {
        return;
    }
    const std::string line = FormatTraceStep(step) + '\n';
    const auto length = static_cast<qint64>(line.size());
    if (file_.write(line.data(), length) != length || !file_.flush()) {
        Fail();
        return;
    }
    const std::int64_t now = clock_();
    if (!lastSyncMs_ || now - *lastSyncMs_ >= kSyncIntervalMs) {
        lastSyncMs_ = now;
        Sync();
    }
}

TraceSink TraceFileWriter::Sink() {
    return [this](const trace::Step& step) { Write(step); };
}

void TraceFileWriter::Close() {
    if (!file_.isOpen()) {
        return;
    }
    if (Ok() && !file_.flush()) {
        Fail();
    }
    Sync();
    file_.close();
}

void TraceFileWriter::Fail() {
    if (Ok()) {
        error_ = QStringLiteral("cannot write %1: %2").arg(file_.fileName(), file_.errorString());
    }
}

void TraceFileWriter::Sync() {
    // Pipes and some file systems cannot be synced; what was flushed is still written.
#ifdef Q_OS_WIN
    _commit(file_.handle());
#else
    ::fsync(file_.handle());
#endif
}

}  // namespace orvanrx
