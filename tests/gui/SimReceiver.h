#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "receiver/Receiver.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx::test {

// A receiver link to a scripted receiver, for the dialogs' tests.
struct SimReceiver {
    // The receiver with the keyword steps applied; opened unless `open` is false.
    explicit SimReceiver(std::vector<trace::Step> steps, bool open = true)
        : sim(std::move(steps)), receiver(sim, indicators, sim.Clock()) {
        if (open) {
            receiver.OpenDevice();
        }
    }

    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    // Every frame written so far, as hex text ("1B 07 0C F3 BC 20").
    QStringList Frames() const {
        QStringList frames;
        for (const std::vector<std::uint8_t>& frame : sim.WrittenFrames()) {
            QStringList bytes;
            for (const std::uint8_t b : frame) {
                bytes << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
            }
            frames << bytes.join(QLatin1Char(' '));
        }
        return frames;
    }

    SimulatedXpress sim;
    StatusIndicators indicators;
    Receiver receiver;
};

}  // namespace orvanrx::test
