#pragma once

#include <QString>

#include "receiver/StatusIndicators.h"
#include "shell/PollLoop.h"

namespace orvanrx {

// What a station reports to, for a program whose windows come after the station: main() builds
// the forwarders and the station on them, then the main window, which points them at its status
// bar and its child windows for as long as it lives. Until then (and after) the reports go
// nowhere, as they would to a bare StatusIndicators or PollObserver.
class IndicatorForwarder final : public StatusIndicators {
public:
    void ForwardTo(StatusIndicators* target) { target_ = target != nullptr ? target : &none_; }

    void SetDevicePanelsActive(bool active) override { target_->SetDevicePanelsActive(active); }
    void SetChannelCaption(const QString& caption) override { target_->SetChannelCaption(caption); }
    void ShowCDLamp(bool lit) override { target_->ShowCDLamp(lit); }
    void ShowEFLamp(bool lit) override { target_->ShowEFLamp(lit); }
    void ShowFFLamp(bool lit) override { target_->ShowFFLamp(lit); }
    void SetSignalLevel(int level) override { target_->SetSignalLevel(level); }
    void SetBufferPosition(int address) override { target_->SetBufferPosition(address); }
    void SetScrollMessageVisible(bool visible) override {
        target_->SetScrollMessageVisible(visible);
    }
    void SetScrollMessageText(const QString& text) override { target_->SetScrollMessageText(text); }
    void RedrawStatusBar() override { target_->RedrawStatusBar(); }
    void SetStatusText(const QString& text) override { target_->SetStatusText(text); }

private:
    StatusIndicators none_;
    StatusIndicators* target_ = &none_;
};

class ObserverForwarder final : public PollObserver {
public:
    void ForwardTo(PollObserver* target) { target_ = target != nullptr ? target : &none_; }

    void RunTablesChanged() override { target_->RunTablesChanged(); }
    void DataReplyStored() override { target_->DataReplyStored(); }

private:
    PollObserver none_;
    PollObserver* target_ = &none_;
};

// The pair a desktop program's station is built on.
struct StationForwarders {
    IndicatorForwarder indicators;
    ObserverForwarder observer;
};

}  // namespace orvanrx
