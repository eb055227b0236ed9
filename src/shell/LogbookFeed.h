#pragma once

#include <functional>

#include "decoding/RunTables.h"
#include "logbook/LogbookWriter.h"
#include "shell/PollLoop.h"

// Between the poll loop and a program's own observer: passes every notice on and hands each
// race the decoder writes or rewrites (always the last pair of rows) to the logbook writer.
namespace orvanrx {

class Station;

class LogbookFeed final : public PollObserver {
public:
    LogbookFeed(PollObserver& next, LogbookWriter& writer) : next_(next), writer_(writer) {}

    // The tables the decoder writes, this start's race-log file (absolute) and the venue.
    void Attach(const RunTables& tables, std::function<QString()> source,
                std::function<int()> venue);
    // The same, from the station: its tables, its race-log file and the venue it last heard.
    void Attach(const Station& station);

    void RunTablesChanged() override;
    void DataReplyStored() override { next_.DataReplyStored(); }

private:
    PollObserver& next_;
    LogbookWriter& writer_;
    const RunTables* tables_ = nullptr;
    std::function<QString()> source_;
    std::function<int()> venue_;
};

}  // namespace orvanrx
