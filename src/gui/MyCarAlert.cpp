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

void MyCarAlert::ShowDialog(QWidget* parent) {
    frmMyCar dialog(Numbers(), parent);
    if (dialog.exec() == QDialog::Accepted) {
        SetNumbers(dialog.Numbers());
    }
}

void MyCarAlert::RaceStored(const RunTable& table) {
    const MyCarWatch::Result result = watch_.Check(table);
    if (result.arrived) {
        QWidget* slip = views_.showTimeSlip();
        const MyCarAlertText text = MyCarRaceText(table, result.lanes);
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
