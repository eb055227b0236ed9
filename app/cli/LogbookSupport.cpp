#include "LogbookSupport.h"

#include <QDir>
#include <QFileInfo>

#include "logbook/TrackNames.h"
#include "shell/DataFolder.h"

namespace orvanrx::cli {

namespace {

QString DataFolder() {
    return GetDataFolder(DataFolderBase(), QString::fromLatin1(kDataSubFolder));
}

}  // namespace

QString LogbookFileOf(const QString& option) {
    return option.isEmpty() ? LogbookPath(DataFolder()) : QFileInfo(option).absoluteFilePath();
}

std::unique_ptr<Logbook> OpenLogbookFor(const QString& option, Console& console) {
    const QString path = LogbookFileOf(option);
    Logbook::OpenResult opened = Logbook::Open(path);
    if (!opened.logbook) {
        console.err << QDir::toNativeSeparators(path) << ": " << opened.error << '\n';
    }
    return std::move(opened.logbook);
}

LiveLogbook::LiveLogbook(const QString& option, bool off, const SettingsStore& settings,
                         PollObserver& next)
    : next_(next) {
    if (off) {
        return;
    }
    const QString dataFolder = DataFolder();
    LogbookWriter::Setup setup;
    setup.path = LogbookFileOf(option);
    setup.importFolder = dataFolder == QLatin1String(kFolderNotValid) ? QString() : dataFolder;
    // The settings store opens its file per call, so the writer's thread reads it on its own.
    setup.trackOf = [&settings](int venue) { return TrackNameOf(settings, venue); };
    writer_ = std::make_unique<LogbookWriter>(std::move(setup));
    feed_ = std::make_unique<LogbookFeed>(next, *writer_);
}

PollObserver& LiveLogbook::Observer() {
    return feed_ ? static_cast<PollObserver&>(*feed_) : next_;
}

void LiveLogbook::Attach(const Station& station) {
    if (feed_) {
        feed_->Attach(station);
    }
}

void LiveLogbook::Finish(Console& console) {
    if (!writer_) {
        return;
    }
    writer_->Flush();
    const QString error = writer_->ErrorText();
    if (!error.isEmpty()) {
        console.err << "orvanrx-cli: warning: logbook: " << error << '\n';
    }
}

}  // namespace orvanrx::cli
