#include "gui/SingleInstance.h"

#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

#include "shell/TerminationSignals.h"

namespace orvanrx {

namespace {

QString LockPath(const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    QDir().mkpath(dir);
    return QDir(dir).filePath(QStringLiteral("orvanrx.lock"));
}

}  // namespace

SingleInstance::SingleInstance(const QString& folder) : path_(LockPath(folder)), lock_(path_) {
    // Never stale by age: only a lock whose process is gone is taken over.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::Acquire() {
    // A lock whose process no longer runs counts as stale and tryLock takes it over.
    return lock_.tryLock(0);
}

void ShowPreviousInstanceMessage(TerminationSignals& termination) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("OrvanRX"),
                    QStringLiteral("A previous instance of OrvanRX has been detected."),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.setObjectName(QStringLiteral("PreviousInstanceMessage"));
    QObject::connect(&termination, &TerminationSignals::Received, &box, &QMessageBox::reject);
    box.exec();
}

}  // namespace orvanrx
