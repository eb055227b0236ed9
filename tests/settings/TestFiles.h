#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>
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

// Permission bits do not stop root, so tests that rely on them skip under root.
inline bool RunningAsRoot() {
    return geteuid() == 0;
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
