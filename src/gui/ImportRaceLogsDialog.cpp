// File > Import Race Logs...: the files, the track, the progress and what came in.
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

#include "gui/frmLogbook.h"
#include "logbook/LogbookImport.h"
#include "shell/DataFolder.h"

namespace orvanrx {

void ImportRaceLogsWithDialog(QWidget* parent, const QString& logbookPath) {
    const QString folder = GetDataFolder(DataFolderBase(), QString::fromLatin1(kDataSubFolder));
    const QStringList files = QFileDialog::getOpenFileNames(
        parent, QStringLiteral("Import Race Logs"), folder,
        QStringLiteral("OrvanRX Race Log Files (*.csv);;All Files (*)"));
    if (files.isEmpty()) {
        return;
    }
    bool ok = false;
    const QString track =
        QInputDialog::getText(parent, QStringLiteral("Import Race Logs"),
                              QStringLiteral("Track of these races (empty when not known):"),
                              QLineEdit::Normal, QString(), &ok);
    if (!ok) {
        return;
    }
    Logbook::OpenResult opened = Logbook::Open(logbookPath);
    if (!opened.logbook) {
        QMessageBox::warning(parent, QStringLiteral("Import Race Logs"),
                             QStringLiteral("The logbook cannot be opened:\n") + opened.error);
        return;
    }
    std::atomic<int> done = 0;
    std::atomic<bool> finished = false;
    ImportReport report;
    std::thread worker([&] {
        report =
            ImportRaceLogs(*opened.logbook, files, track.trimmed(), [&](int d, int) { done = d; });
        finished = true;
    });
    QProgressDialog progress(QStringLiteral("Importing race logs..."), QString(), 0,
                             static_cast<int>(files.size()), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        progress.setValue(done);
        if (finished) {
            progress.reset();
            progress.close();
        }
    });
    poll.start(50);
    if (!finished) {
        progress.exec();
    }
    worker.join();
    QString text = QStringLiteral(
                       "%1 of %2 files read, %3 races: %4 new, %5 already in the "
                       "logbook.")
                       .arg(report.filesRead)
                       .arg(files.size())
                       .arg(report.races)
                       .arg(report.inserted)
                       .arg(report.duplicates + report.updated);
    if (!report.skipped.isEmpty()) {
        text += QStringLiteral("\n\nNot imported:\n") + report.skipped.join(u'\n');
    }
    QMessageBox::information(parent, QStringLiteral("Import Race Logs"), text);
}

}  // namespace orvanrx
