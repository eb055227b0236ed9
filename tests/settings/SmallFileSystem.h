#pragma once

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <string>

namespace orvanrx::testing {

// A small memory file system mounted on a fresh folder for the object's lifetime, nearly
// filled so that only `room` bytes are left. Mounting needs the right to mount (root, or a
// user namespace of its own); without it `skipReason` says why.
class SmallFileSystem {
public:
    explicit SmallFileSystem(qint64 room) {
        if (!folder_.isValid()) {
            skipReason_ = "no temporary folder";
            return;
        }
        const QByteArray path = QFile::encodeName(folder_.path());
        if (mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") != 0) {
            skipReason_ =
                std::string("cannot mount a small file system here: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
        struct statvfs free {};
        if (statvfs(path.constData(), &free) != 0) {
            skipReason_ = "statvfs failed";
            return;
        }
        const qint64 available = static_cast<qint64>(free.f_bavail) * free.f_bsize;
        QFile filler(Path(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly) ||
            filler.write(QByteArray(available - room, 'f')) != available - room ||
            !filler.flush()) {
            skipReason_ = "cannot fill the small file system";
        }
    }
    ~SmallFileSystem() {
        if (mounted_) {
            umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
        }
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    const std::string& SkipReason() const { return skipReason_; }
    QString Path(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
    std::string skipReason_;
    bool mounted_ = false;
};

}  // namespace orvanrx::testing
