#include "gui/frmChangeChannel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/DialogKit.h"
#include "receiver/Receiver.h"

namespace orvanrx {

namespace {

constexpr int kIconSide = 48;
constexpr int kHintWidth = 280;

// List index of cboChannel for each channel.
constexpr int kChannel1Index = 0;
constexpr int kChannel2Index = 1;

}  // namespace

frmChangeChannel::frmChangeChannel(Receiver& receiver, QWidget* parent)
    : QDialog(parent), receiver_(receiver) {
    setObjectName(QStringLiteral("frmChangeChannel"));
    setWindowTitle(QStringLiteral("OrvanRX - Change Orvan USB Channel"));
    setFont(TahomaFont(9));

    auto* picIcon = NamedLabel("picIcon", {}, this);
    picIcon->setPixmap(AerialPixmap(kIconSide, devicePixelRatioF()));
    picIcon->setFixedSize(kIconSide, kIconSide);
    auto* lblHeading =
        NamedLabel("lblHeading", QStringLiteral("Please select a frequency channel..."), this);
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    lblHeading->setFont(headingFont);

    cboChannel_ = new QComboBox(this);
    cboChannel_->setObjectName(QStringLiteral("cboChannel"));
    cboChannel_->addItems({QStringLiteral("Channel 1"), QStringLiteral("Channel 2")});

    auto* lblHint = NamedLabel(
        "lblHint",
        QStringLiteral("Click OK to set the desired channel or cancel to exit without changes."),
        this);
    lblHint->setFont(SansSerifFont(8));
    lblHint->setWordWrap(true);
    lblHint->setFixedWidth(kHintWidth);

    cmdOK_ = NamedButton("cmdOK", QStringLiteral("&OK"), this);
    auto* cmdCancel = NamedButton("cmdCancel", QStringLiteral("Cancel"), this);
    connect(cmdOK_, &QPushButton::clicked, this, &frmChangeChannel::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(8);
    layout->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(lblHeading, 0, 1);
    layout->addWidget(cboChannel_, 1, 1, Qt::AlignLeft);
    layout->addWidget(lblHint, 2, 1);
    layout->setRowMinimumHeight(3, 4);
    layout->addLayout(ButtonRow(cmdOK_, cmdCancel), 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cboChannel_->setFocus();

    Form_Load();
}

void frmChangeChannel::Form_Load() {
    adjustSize();
    CentreOnScreen(*this);
    const std::int32_t frequency = receiver_.ReadFrequency();
    cboChannel_->setCurrentIndex(frequency == kChannel2Frequency ? kChannel2Index : kChannel1Index);
}

void frmChangeChannel::cmdOK_Click() {
    cmdOK_->setEnabled(false);
    switch (cboChannel_->currentIndex()) {
        case kChannel1Index:
            receiver_.WriteFrequency(kChannel1Frequency);
            break;
        case kChannel2Index:
            receiver_.WriteFrequency(kChannel2Frequency);
            break;
        default:
            break;
    }
    QCoreApplication::processEvents();
    accept();
}

}  // namespace orvanrx
