#include "shell/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace orvanrx {

#ifdef Q_OS_LINUX

namespace {
sigset_t TerminationSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}
}  // namespace

void TerminationSignals::Block() {
    const sigset_t set = TerminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    const sigset_t set = TerminationSet();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::Read);
    }
}

TerminationSignals::~TerminationSignals() {
    notifier_.reset();
    if (fd_ >= 0) {
        close(fd_);
    }
}

void TerminationSignals::Read() {
    signalfd_siginfo info{};
    while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        Q_EMIT Received(static_cast<int>(info.ssi_signo));
    }
}

#else

// Elsewhere the default handling stays: Ctrl-C ends the program, and the automatic save of
// the poll loop bounds what is lost to the last 30 seconds.
void TerminationSignals::Block() {}
TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::Read() {}

#endif

}  // namespace orvanrx
