#include "shell/LogbookFeed.h"

#include <QFileInfo>

#include "shell/Station.h"

namespace orvanrx {

void LogbookFeed::Attach(const RunTables& tables, std::function<QString()> source,
                         std::function<int()> venue) {
    tables_ = &tables;
    source_ = std::move(source);
    venue_ = std::move(venue);
}

void LogbookFeed::Attach(const Station& station) {
    Attach(
        station.Tables(),
        // The path made absolute once per file name, not on every race.
        [&station, name = QString(), path = QString()]() mutable {
            if (station.LogFileName() != name) {
                name = station.LogFileName();
                path = QFileInfo(name).absoluteFilePath();
            }
            return path;
        },
        [&station] { return static_cast<int>(station.CurrentVenue()); });
}

void LogbookFeed::RunTablesChanged() {
    if (tables_ && source_) {
        const RunTable& all = tables_->AllRunsTable();
        auto left = all.SharedRow(all.LeftRow());
        auto right = all.SharedRow(all.RightRow());
        if (left && right) {
            writer_.Store(source_(), all.LeftRow() / 2, venue_ ? venue_() : 0, std::move(left),
                          std::move(right));
        }
    }
    next_.RunTablesChanged();
}

}  // namespace orvanrx
