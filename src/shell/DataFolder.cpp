#include "shell/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "support/Support.h"

namespace orvanrx {

QString GetDataFolder(const QString& base, const QString& subFolder) {
    const QString notValid = QString::fromLatin1(kFolderNotValid);
    if (base.isEmpty()) {
        return notValid;
    }
    QString sub = subFolder;
    if (!sub.startsWith(u'/') && !sub.startsWith(u'\\')) {
        sub.prepend(u'/');
    }
    const QString path = QDir::cleanPath(base + sub);
    return QDir().mkpath(path) ? path : notValid;
}

QString DataFolderBase() {
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("ProgramData"));
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

QString StartLogFileName(const QString& dataFolderBase, const Clock& now) {
    return RaceLogFileName(GetDataFolder(dataFolderBase, QString::fromLatin1(kDataSubFolder)),
                           QCoreApplication::applicationDirPath(), now());
}

QString RaceLogFileName(const QString& dataFolder, const QString& programFolder,
                        const QDateTime& now) {
    const QString folder =
        dataFolder == QString::fromLatin1(kFolderNotValid) ? programFolder : dataFolder;
    return folder + u'/' + LogFileStamp(now) + QStringLiteral(".csv");
}

}  // namespace orvanrx
