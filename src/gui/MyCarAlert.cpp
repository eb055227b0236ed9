#include "gui/MyCarAlert.h"

#include <QApplication>

#include "gui/DesktopNotifier.h"
#include "gui/frmMyCar.h"

namespace orvanrx {

MyCarAlert::MyCarAlert(const SettingsStore& settings, Views views)
    : settings_(settings), views_(std::move(views)), notifier_(MakeDesktopNotifier()) {
    watch_.SetNumbers(ReadMyCarNumbers(settings));
}

MyCarAlert::~MyCarAlert() = default;

void MyCarAlert::SetNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    notifier_ = std::move(notifier);
}

void MyCarAlert::SetNumbers(const QStringList& numbers) {
    SaveMyCarNumbers(settings_, numbers);
    watch_.SetNumbers(numbers);
    views_.markNumbers(numbers);
}

QStringList MyCarAlert::DialInLines(const QStringList& cars, const QString& at, bool named,
                                    bool withoutPrediction) const {
    QStringList lines;
    if (!views_.nextDialIn) {
        return lines;
    }
    for (const QString& car : cars) {
        const std::optional<CarDialIn> dialIn = views_.nextDialIn(car, at);
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
    dialog.SetDialIns(DialInLines(Numbers(), {}, true, true));
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
        const QStringList dialIns = DialInLines(cars, at, cars.size() > 1, false);
        if (!dialIns.isEmpty()) {
            text.body += QLatin1Char('\n') + dialIns.join(QLatin1Char('\n'));
        }
        if (notifier_) {
            notifier_->Notify(text.summary, text.body);
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
