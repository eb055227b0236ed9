#pragma once

#include <string>
#include <vector>

#include "receiver/StatusIndicators.h"

namespace orvanrx::test {

// Records every status-bar effect as a line of text, in order.
class RecordingIndicators : public StatusIndicators {
public:
    std::vector<std::string> calls;

    void SetDevicePanelsActive(bool active) override {
        calls.push_back(active ? "panels on" : "panels off");
    }
    void SetChannelCaption(const QString& caption) override {
        calls.push_back("caption " + caption.toStdString());
    }
    void ShowCDLamp(bool lit) override { calls.push_back(Lamp("CD", lit)); }
    void ShowEFLamp(bool lit) override { calls.push_back(Lamp("EF", lit)); }
    void ShowFFLamp(bool lit) override { calls.push_back(Lamp("FF", lit)); }

private:
    static std::string Lamp(const char* name, bool lit) {
        return std::string(name) + (lit ? " lit" : " dark");
    }
};

}  // namespace orvanrx::test
