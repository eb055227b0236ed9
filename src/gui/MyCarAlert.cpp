#include "gui/MyCarAlert.h"

#include <QApplication>

#include "gui/ChildWindows.h"
#include "gui/DesktopNotifier.h"
#include "gui/frmMyCar.h"
#include "gui/frmRaceLog.h"
#include "gui/frmStats.h"
#include "gui/frmTimeSlip.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

MyCarAlert::MyCarAlert(ChildWindows& windows, const SettingsStore& settings)
    : windows_(windows), settings_(settings), notifier_(MakeDesktopNotifier()) {
    watch_.SetNumbers(ReadMyCarNumbers(settings));
}

MyCarAlert::~MyCarAlert() = default;

void MyCarAlert::SetNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    notifier_ = std::move(notifier);
}

void MyCarAlert::SetNumbers(const QStringList& numbers) {
    SaveMyCarNumbers(settings_, numbers);
    watch_.SetNumbers(numbers);
    if (frmRaceLog* raceLog = windows_.RaceLog()) {
        SetMyCarMark(raceLog->Grid(), numbers);
    }
    if (frmStats* stats = windows_.Stats()) {
        stats->SetMyCars(numbers);
    }
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
        windows_.ShowTimeSlip();
        const MyCarAlertText text = MyCarRaceText(table, result.lanes);
        if (notifier_) {
            notifier_->Notify(text.summary, text.body);
        }
        if (frmTimeSlip* slip = windows_.TimeSlip()) {
            QApplication::alert(slip->window());
        }
    }
    MarkTimeSlip();
}

void MyCarAlert::LogReplaced(const RunTable& table) {
    watch_.TakeAsSeen(table);
    if (frmTimeSlip* slip = windows_.TimeSlip(); slip && slip->IsOpen()) {
        slip->SetMarkedLanes({});
    }
}

void MyCarAlert::MarkTimeSlip() {
    if (frmTimeSlip* slip = windows_.TimeSlip(); slip && slip->IsOpen()) {
        slip->SetMarkedLanes(watch_.Lanes());
    }
}

}  // namespace orvanrx
