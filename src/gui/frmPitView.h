#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace orvanrx {

class PitViewService;
class SettingsStore;

// Tools > Pit View...: turns the pit view on and off and sets its port (both kept in the
// settings), shows the page's address with a QR code to scan, makes a new key, and lists the
// phones connected. The first start asks before the program listens on the network.
class frmPitView final : public QDialog {
    Q_OBJECT
public:
    // `askNetwork` asks the racer whether the program may listen on the network (a message
    // box in the program; tests answer it).
    using Question = std::function<bool(QWidget* parent, quint16 port)>;
    frmPitView(PitViewService& service, const SettingsStore& settings, QWidget* parent = nullptr,
               Question askNetwork = {});

    QCheckBox& chkServe() { return *chkServe_; }
    QSpinBox& spnPort() { return *spnPort_; }
    QLabel& lblAddress() { return *lblAddress_; }
    QLabel& picCode() { return *picCode_; }
    QListWidget& lstPhones() { return *lstPhones_; }

private:
    void chkServe_Toggled(bool on);
    void spnPort_EditingFinished();
    void cmdNewKey_Click();
    bool StartServing();
    void ShowState();
    void ShowPhones();

    PitViewService& service_;
    const SettingsStore& settings_;
    Question askNetwork_;
    QCheckBox* chkServe_;
    QSpinBox* spnPort_;
    QLabel* lblAddress_;
    QLabel* picCode_;
    QLabel* lblState_;
    QListWidget* lstPhones_;
    QPushButton* cmdNewKey_;
};

}  // namespace orvanrx
