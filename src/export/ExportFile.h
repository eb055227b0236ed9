#pragma once

#include <QByteArray>
#include <QString>

#include "export/LogExport.h"

namespace orvanrx {

// Replaces the file at `path` with `bytes`: the new file is written completely beside the old
// one and then takes its place, so a failed write leaves the old file as it was.
ExportResult WriteExportFile(const QString& path, const QByteArray& bytes);

}  // namespace orvanrx
