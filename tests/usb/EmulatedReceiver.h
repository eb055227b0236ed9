#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decoding/ReceiveBuffer.h"
#include "decoding/RunTables.h"
#include "receiver/LibusbXpress.h"
#include "receiver/Receiver.h"
#include "shell/CallLog.h"
#include "shell/PollLoop.h"

namespace orvanrx::testing {

// The emulated receiver (tests/usb/emulated-receiver) that this test program runs under: the
// request log it writes and the commands that change it. Each test runs in a program of its
// own, so each test starts with one freshly plugged-in receiver that has seen no request.
class EmulatedReceiver {
public:
    // Nothing when the program was not started by the emulated receiver.
    static std::optional<EmulatedReceiver> Find() {
        const QByteArray log = qgetenv("ORVANRX_RECEIVER_LOG");
        const QByteArray control = qgetenv("ORVANRX_RECEIVER_CONTROL");
        if (log.isEmpty() || control.isEmpty()) {
            return std::nullopt;
        }
        return EmulatedReceiver(QString::fromLocal8Bit(log), QString::fromLocal8Bit(control));
    }

    // Gives the receiver `command` (see emulated-receiver) and waits until it has taken effect.
    bool Do(const std::string& command) const {
        const std::size_t from = Log().size();
        QFile control(control_);
        if (!control.open(QIODevice::Append) ||
            control.write(QByteArray::fromStdString(command + "\n")) < 0) {
            return false;
        }
        control.close();
        return WaitFor("# ok " + command, 5000, from);
    }

    // Every line of the request log so far.
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        QFile file(log_);
        if (!file.open(QIODevice::ReadOnly)) {
            return lines;
        }
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                lines.push_back(line.toStdString());
            }
        }
        return lines;
    }

    // The host's requests logged from line `from` on: the receiver's own "#" lines and the
    // queue checks that found nothing ("in timeout") left out; with `name`, only that
    // receiver's requests, without its name.
    std::vector<std::string> Requests(std::size_t from, const std::string& name = "1-1") const {
        std::vector<std::string> requests;
        const std::vector<std::string> lines = Log();
        for (std::size_t i = from; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.starts_with("#") || line.ends_with(" in timeout")) {
                continue;
            }
            if (name.empty()) {
                requests.push_back(line);
            } else if (line.starts_with(name + " ")) {
                requests.push_back(line.substr(name.size() + 1));
            }
        }
        return requests;
    }

    // Waits until a line equal to `line` is logged at or after line `from`.
    bool WaitFor(const std::string& line, int timeoutMs, std::size_t from = 0) const {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            const std::vector<std::string> lines = Log();
            for (std::size_t i = from; i < lines.size(); ++i) {
                if (lines[i] == line) {
                    return true;
                }
            }
            if (timer.elapsed() > timeoutMs) {
                return false;
            }
            QThread::msleep(5);
        }
    }

private:
    EmulatedReceiver(QString log, QString control)
        : log_(std::move(log)), control_(std::move(control)) {}

    QString log_;
    QString control_;
};

// The programs' poll loop over the real USB path, every status-bar and view effect going to
// `log`.
struct UsbLoop {
    UsbLoop()
        : receiver(usb, log, SteadyMilliseconds()),
          loop({receiver, buffer, venue, tables, log, log, SteadyMilliseconds(), {}}) {}

    std::vector<TickOutcome> Run(int ticks) {
        std::vector<TickOutcome> outcomes;
        while (static_cast<int>(outcomes.size()) < ticks) {
            outcomes.push_back(loop.RunPollCycle());
        }
        return outcomes;
    }

    LibusbXpress usb;
    CallLog log;
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    RunTables tables;
    Receiver receiver;
    PollLoop loop;
};

}  // namespace orvanrx::testing

// Skips the test when the program runs without the emulated receiver around it.
#define ORVANRX_NEEDS_EMULATED_RECEIVER(name)                                              \
    const auto name##Found = ::orvanrx::testing::EmulatedReceiver::Find();                 \
    if (!name##Found) {                                                                    \
        GTEST_SKIP() << "no emulated receiver around this program: ctest starts it under " \
                        "tests/usb/emulated-receiver";                                     \
    }                                                                                      \
    const ::orvanrx::testing::EmulatedReceiver& name = *name##Found
