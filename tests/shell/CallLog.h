#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "receiver/StatusIndicators.h"
#include "shell/PollLoop.h"

namespace orvanrx::testing {

// Every effect on the status bar and the views, in order, one line of text each.
struct CallLog : StatusIndicators, PollObserver {
    void SetDevicePanelsActive(bool on) override { Add("panels ", on ? "on" : "off"); }
    void SetChannelCaption(const QString& caption) override {
        Add("caption ", caption.toStdString());
    }
    void ShowCDLamp(bool lit) override { Add("CD ", lit ? "lit" : "dark"); }
    void ShowEFLamp(bool lit) override { Add("EF ", lit ? "lit" : "dark"); }
    void ShowFFLamp(bool lit) override { Add("FF ", lit ? "lit" : "dark"); }
    void SetSignalLevel(int level) override { Add("signal ", std::to_string(level)); }
    void SetBufferPosition(int address) override { Add("buffer ", std::to_string(address)); }
    void SetScrollMessageVisible(bool on) override { Add("message ", on ? "shown" : "hidden"); }
    void SetScrollMessageText(const QString& text) override { Add("text ", text.toStdString()); }
    void SetStatusText(const QString& text) override { Add("status ", text.toStdString()); }
    void RunTablesChanged() override { calls.emplace_back("tables"); }
    void DataReplyStored() override {
        calls.emplace_back("stored");
        if (onStored) {
            onStored();
        }
    }

    void Add(const std::string& what, const std::string& value) { calls.push_back(what + value); }
    // The calls that start with `prefix`, without it.
    std::vector<std::string> With(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.starts_with(prefix)) {
                found.push_back(call.substr(prefix.size()));
            }
        }
        return found;
    }

    std::vector<std::string> calls;
    std::function<void()> onStored;  // called after each stored data reply
};

}  // namespace orvanrx::testing
