#include "gui/frmPitView.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/PitViewQr.h"
#include "pitview/PitViewKey.h"
#include "pitview/PitViewService.h"

namespace orvanrx {

namespace {

bool AskByMessageBox(QWidget* parent, quint16 port) {
    return QMessageBox::question(
               parent, QStringLiteral("Pit View"),
               QStringLiteral("The pit view lets phones on this computer's networks (the "
                              "trailer's Wi-Fi) open the live time slip at port %1. Only "
                              "phones with the address and its key get in, and nothing can be "
                              "changed from them.\n\nListen on the network?")
                   .arg(port)) == QMessageBox::Yes;
}

}  // namespace

frmPitView::frmPitView(PitViewService& service, const SettingsStore& settings, QWidget* parent,
                       Question askNetwork)
    : QDialog(parent),
      service_(service),
      settings_(settings),
      askNetwork_(askNetwork ? std::move(askNetwork) : Question(AskByMessageBox)),
      chkServe_(new QCheckBox(QStringLiteral("Serve the pit view to phones"), this)),
      spnPort_(new QSpinBox(this)),
      lblAddress_(new QLabel(this)),
      picCode_(new QLabel(this)),
      lblState_(new QLabel(this)),
      lstPhones_(new QListWidget(this)),
      cmdNewKey_(new QPushButton(QStringLiteral("New Key..."), this)) {
    setObjectName(QStringLiteral("frmPitView"));
    setWindowTitle(QStringLiteral("Pit View"));
    chkServe_->setObjectName(QStringLiteral("chkServe"));
    spnPort_->setObjectName(QStringLiteral("spnPort"));
    lblAddress_->setObjectName(QStringLiteral("lblAddress"));
    picCode_->setObjectName(QStringLiteral("picCode"));
    lstPhones_->setObjectName(QStringLiteral("lstPhones"));
    cmdNewKey_->setObjectName(QStringLiteral("cmdNewKey"));

    auto* intro = new QLabel(
        QStringLiteral("Phones on the trailer's Wi-Fi open the race on track, the day's races "
                       "and your own runs with the next dial-in. Scan the code with the phone's "
                       "camera."),
        this);
    intro->setWordWrap(true);
    spnPort_->setRange(1024, 65535);
    spnPort_->setValue(service_.Running() ? service_.Port() : ReadPitViewPort(settings_));
    lblAddress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAddress_->setWordWrap(true);
    QFont big = lblAddress_->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    big.setBold(true);
    lblAddress_->setFont(big);
    picCode_->setAlignment(Qt::AlignCenter);
    picCode_->setMinimumSize(300, 300);
    lstPhones_->setMaximumHeight(110);

    auto* form = new QFormLayout;
    form->addRow(chkServe_);
    form->addRow(QStringLiteral("Port:"), spnPort_);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(lblState_, 1);
    keyRow->addWidget(cmdNewKey_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(picCode_);
    layout->addWidget(lblAddress_);
    layout->addLayout(keyRow);
    layout->addWidget(new QLabel(QStringLiteral("Phones connected:"), this));
    layout->addWidget(lstPhones_);
    layout->addWidget(buttons);
    chkServe_->setFocus();

    {
        const QSignalBlocker block(chkServe_);
        chkServe_->setChecked(service_.Running());
    }
    connect(chkServe_, &QCheckBox::toggled, this, &frmPitView::chkServe_Toggled);
    connect(spnPort_, &QSpinBox::editingFinished, this, &frmPitView::spnPort_EditingFinished);
    connect(cmdNewKey_, &QPushButton::clicked, this, &frmPitView::cmdNewKey_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&service_.Server(), &PitViewServer::LivePeersChanged, this, &frmPitView::ShowPhones);
    ShowState();
    ShowPhones();
    resize(440, 680);
}

bool frmPitView::StartServing() {
    const auto port = static_cast<quint16>(spnPort_->value());
    if (!ReadPitViewNetworkAgreed(settings_)) {
        if (!askNetwork_(this, port)) {
            return false;
        }
        SavePitViewNetworkAgreed(settings_);
    }
    SavePitViewPort(settings_, port);
    if (!service_.Start(port)) {
        lblState_->setText(
            QStringLiteral("Port %1 cannot be used: %2").arg(port).arg(service_.ErrorString()));
        return false;
    }
    return true;
}

void frmPitView::chkServe_Toggled(bool on) {
    if (on) {
        const bool started = StartServing();
        if (!started) {
            const QSignalBlocker block(chkServe_);
            chkServe_->setChecked(false);
        }
        SavePitViewEnabled(settings_, started);
        ShowState();
        return;
    }
    service_.Stop();
    SavePitViewEnabled(settings_, false);
    ShowState();
}

void frmPitView::spnPort_EditingFinished() {
    const auto port = static_cast<quint16>(spnPort_->value());
    if (service_.Running() && service_.Port() != port) {
        const bool started = StartServing();
        if (!started) {
            const QSignalBlocker block(chkServe_);
            chkServe_->setChecked(false);
            SavePitViewEnabled(settings_, false);
        }
        ShowState();
    } else if (!service_.Running()) {
        SavePitViewPort(settings_, port);
    }
}

void frmPitView::cmdNewKey_Click() {
    if (QMessageBox::question(this, QStringLiteral("Pit View"),
                              QStringLiteral("Make a new key? Phones with the old address lose "
                                             "the pit view and must scan the new code.")) !=
        QMessageBox::Yes) {
        return;
    }
    service_.RenewKey();
    ShowState();
    ShowPhones();
}

void frmPitView::ShowState() {
    const bool running = service_.Running();
    cmdNewKey_->setEnabled(running);
    if (!running) {
        lblAddress_->setText(QStringLiteral("Off: phones cannot open the pit view."));
        picCode_->setPixmap({});
        if (!lblState_->text().startsWith(QStringLiteral("Port"))) {
            lblState_->clear();
        }
        return;
    }
    const QString address = service_.Address();
    lblAddress_->setText(address);
    const QImage code = PitViewQrImage(address, 6);
    picCode_->setPixmap(QPixmap::fromImage(code));
    const QStringList hosts = PitViewHosts();
    lblState_->setText(
        hosts.size() > 1
            ? QStringLiteral("Also at: %1").arg(hosts.mid(1).join(QStringLiteral(", ")))
            : QString());
}

void frmPitView::ShowPhones() {
    lstPhones_->clear();
    for (const PitViewServer::Peer& peer : service_.Server().LivePeers()) {
        lstPhones_->addItem(QStringLiteral("%1 since %2")
                                .arg(peer.address, peer.since.toString(QStringLiteral("HH:mm"))));
    }
    if (lstPhones_->count() == 0) {
        lstPhones_->addItem(QStringLiteral("None"));
    }
}

}  // namespace orvanrx
