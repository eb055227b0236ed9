#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <csignal>
#include <optional>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace orvanrx::testing {

inline QString L1(const char* text) {
    return QString::fromLatin1(text);
}

// gtest prints std::string well and QString not at all.
inline std::string S(const QString& text) {
    return text.toStdString();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Ways to make the file `name` in the folder `dir` unusable.
enum class Blocker {
    ReadOnlyFolder,
    ReadOnlyFile,
    UnreadableFile,
    FileInPlaceOfTheFolder,  // the file is to go in dir/sub, and sub is a file
    FolderInPlaceOfTheFile,
};
inline constexpr Blocker kBlockers[] = {Blocker::ReadOnlyFolder, Blocker::ReadOnlyFile,
                                        Blocker::UnreadableFile, Blocker::FileInPlaceOfTheFolder,
                                        Blocker::FolderInPlaceOfTheFile};

// Blocks the file (which may exist already) and gives the path to use. Nothing when the
// blocker relies on permission bits and this process runs as root, which they do not stop.
inline std::optional<QString> Block(const QString& dir, const QString& name, Blocker how) {
    const QString path = dir + u'/' + name;
    const bool permissions = how == Blocker::ReadOnlyFolder || how == Blocker::ReadOnlyFile ||
                             how == Blocker::UnreadableFile;
    if (permissions && geteuid() == 0) {
        return std::nullopt;
    }
    switch (how) {
        case Blocker::ReadOnlyFolder:
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
            return path;
        case Blocker::ReadOnlyFile:
            QFile::setPermissions(path, QFile::ReadOwner);
            return path;
        case Blocker::UnreadableFile:
            QFile::setPermissions(path, QFile::WriteOwner);
            return path;
        case Blocker::FileInPlaceOfTheFolder:
            WriteBytes(dir + QStringLiteral("/sub"), "not a folder");
            return dir + QStringLiteral("/sub/") + name;
        case Blocker::FolderInPlaceOfTheFile:
            QFile::remove(path);
            QDir().mkpath(path);
            return path;
    }
    return std::nullopt;
}

// Gives back the permissions Block took, so that the folder can be removed.
inline void Unblock(const QString& dir, const QString& path) {
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

// For its lifetime no file of this process can grow past `bytes` bytes: writes beyond fail
// as on a full disk (root included). Print nothing while one is alive: the test output may be
// a file too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace orvanrx::testing
