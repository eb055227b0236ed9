#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include "racelog/LogExport.h"

namespace orvanrx {

// Replaces the file at `path` with `bytes`: the new file is written completely beside the old
// one and then takes its place, so a failed write leaves the old file as it was.
ExportResult WriteExportFile(const QString& path, const QByteArray& bytes);

// Writes all of `bytes` to `file` (opened Unbuffered) and flushes them; false when that fails,
// with the system's reason in file.errorString() ("No space left on device"). A write that
// stops part way (the disk filled up during it) is carried on, so that the call that fails
// names why: a buffered file would report a short write as "Unknown error".
bool WriteAllAndFlush(QFileDevice& file, const QByteArray& bytes);

}  // namespace orvanrx
