#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace orvanrx {

// Turns Ctrl-C, SIGTERM and SIGHUP (the terminal or the desktop session ending) into a Qt
// signal, so the program can end its event loop and shut down in order (the race log saved,
// the receive memory kept) instead of dying mid-tick. On Linux the signals are blocked and read
// from a signalfd watched by the event loop: no handler runs asynchronously and no global state is
// involved. Block() must run in main() before any thread is started, so that every thread inherits
// the mask.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    static void Block();

    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    bool Active() const { return fd_ >= 0; }

Q_SIGNALS:
    void Received(int signalNumber);

private:
    void Read();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace orvanrx
