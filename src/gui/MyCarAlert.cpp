#include "gui/MyCarAlert.h"

#include <QApplication>

#include "gui/DesktopNotifier.h"
#include "gui/frmMyCar.h"

namespace orvanrx {

MyCarAlert::MyCarAlert(const SettingsStore& settings, Views views)
    : settings_(settings), views_(std::move(views)), notifier_(MakeDesktopNotifier()) {
    watch_.SetNumbers(ReadMyCarNumbers(settings));
}

MyCarAlert::~MyCarAlert() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        lookups_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void MyCarAlert::SetNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    notifier_ = std::move(notifier);
}

void MyCarAlert::SetDialInLookup(std::function<DialInLookup()> lookup) {
    views_.nextDialIn = std::move(lookup);
}

void MyCarAlert::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return lookups_.empty() && !busy_; });
}

void MyCarAlert::RunLookups() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !lookups_.empty(); });
        if (stopping_) {
            return;
        }
        std::function<void()> lookup = std::move(lookups_.front());
        lookups_.pop_front();
        busy_ = true;
        lock.unlock();
        lookup();
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

void MyCarAlert::Notify(const QString& summary, const QString& body) {
    if (notifier_) {
        notifier_->Notify(summary, body);
    }
}

void MyCarAlert::SetNumbers(const QStringList& numbers) {
    SaveMyCarNumbers(settings_, numbers);
    watch_.SetNumbers(numbers);
    views_.markNumbers(numbers);
}

QStringList MyCarAlert::DialInLines(const DialInLookup& lookup, const QStringList& cars,
                                    const QString& at, bool named, bool withoutPrediction) {
    QStringList lines;
    if (!lookup) {
        return lines;
    }
    for (const QString& car : cars) {
        const std::optional<CarDialIn> dialIn = lookup(car, at);
        if (!dialIn || (!dialIn->prediction.et && !withoutPrediction)) {
            continue;
        }
        lines << (named ? QStringLiteral("%1: %2").arg(car, DialInText(*dialIn))
                        : DialInText(*dialIn));
    }
    return lines;
}

void MyCarAlert::ShowDialog(QWidget* parent) {
    frmMyCar dialog(Numbers(), parent);
    // Asked on the racer's click: read here, a current logbook never waits for a writer.
    const DialInLookup lookup = views_.nextDialIn ? views_.nextDialIn() : DialInLookup();
    dialog.SetDialIns(DialInLines(lookup, Numbers(), {}, true, true));
    if (dialog.exec() == QDialog::Accepted) {
        SetNumbers(dialog.Numbers());
    }
}

void MyCarAlert::RaceStored(const RunTable& table) {
    const MyCarWatch::Result result = watch_.Check(table);
    if (result.arrived) {
        QWidget* slip = views_.showTimeSlip();
        MyCarAlertText text = MyCarRaceText(table, result.lanes);
        QStringList cars;
        if (result.lanes.left) {
            cars << table.Cell(table.LeftRow(), RunColumn::Car).trimmed();
        }
        if (result.lanes.right) {
            cars << table.Cell(table.RightRow(), RunColumn::Car).trimmed();
        }
        // The dial-in for the run about to be made: from the runs before the race's time.
        const QString at = table.Cell(table.LeftRow(), RunColumn::DateTime).trimmed();
        if (!views_.nextDialIn) {
            Notify(text.summary, text.body);
        } else {
            // Read off the tick; the notification follows with the dial-in.
            std::function<void()> job = [this, lookup = views_.nextDialIn(), cars, at, text]() {
                QString body = text.body;
                const QStringList dialIns = DialInLines(lookup, cars, at, cars.size() > 1, false);
                if (!dialIns.isEmpty()) {
                    body += QLatin1Char('\n') + dialIns.join(QLatin1Char('\n'));
                }
                QMetaObject::invokeMethod(
                    &context_, [this, summary = text.summary, body] { Notify(summary, body); },
                    Qt::QueuedConnection);
            };
            {
                const std::lock_guard lock(mutex_);
                lookups_.push_back(std::move(job));
                if (!thread_.joinable()) {
                    thread_ = std::thread([this] { RunLookups(); });
                }
            }
            wake_.notify_one();
        }
        if (slip != nullptr) {
            QApplication::alert(slip->window());
        }
    }
    views_.markTimeSlip(watch_.Lanes());
}

void MyCarAlert::LogReplaced(const RunTable& table) {
    watch_.TakeAsSeen(table);
    views_.markTimeSlip({});
}

}  // namespace orvanrx
