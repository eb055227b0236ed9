#include "gui/frmAbout.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/DialogKit.h"
#include "receiver/AboutText.h"

namespace orvanrx {

namespace {

constexpr int kLogoSide = 64;
constexpr int kFirmwareColumns = 40;  // characters across the firmware box
constexpr int kFirmwareLines = 3;

// The firmware box: white monospace text on black, read-only, sized for its three lines.
QPlainTextEdit* FirmwareBox(QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QStringLiteral("txtUSB"));
    box->setReadOnly(true);
    box->setFont(MonospaceFont(9));
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = box->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, Qt::black);
        palette.setColor(group, QPalette::Text, Qt::white);
    }
    box->setPalette(palette);
    const QFontMetrics metrics(box->font());
    const int margins =
        2 * (box->frameWidth() + static_cast<int>(box->document()->documentMargin()));
    box->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('M')) * kFirmwareColumns + margins);
    box->setFixedHeight(metrics.lineSpacing() * (kFirmwareLines + 1) + margins);
    box->setPlainText(QString::fromLatin1(kNoReceiverText));
    return box;
}

}  // namespace

frmAbout::frmAbout(Receiver& receiver, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("OrvanRX - About"));
    setFont(TahomaFont(9));

    auto* Frame1 = new QGroupBox(QStringLiteral("OrvanRX Software"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* picLogo = NamedLabel("picLogo", {}, Frame1);
    picLogo->setPixmap(ChequeredFlagPixmap(kLogoSide, devicePixelRatioF()));
    picLogo->setFixedSize(kLogoSide, kLogoSide);
    auto* Label1 = NamedLabel("Label1", QStringLiteral("Version:"), Frame1);
    lblVersion_ = NamedLabel("lblVersion", QStringLiteral("OrvanRX  v0.0.X"), Frame1);
    QFont versionFont = lblVersion_->font();
    versionFont.setBold(true);
    lblVersion_->setFont(versionFont);

    auto* frameLayout = new QGridLayout(Frame1);
    frameLayout->setHorizontalSpacing(16);
    frameLayout->addWidget(picLogo, 0, 0, 2, 1, Qt::AlignCenter);
    frameLayout->addWidget(Label1, 0, 1, Qt::AlignBottom);
    frameLayout->addWidget(lblVersion_, 1, 1, Qt::AlignTop);
    frameLayout->setColumnStretch(1, 1);

    auto* lblFirmwareTitle =
        NamedLabel("lblFirmwareTitle", QStringLiteral("USB Firmware Information..."), this);
    txtUSB_ = FirmwareBox(this);

    auto* cmdOK = NamedButton("cmdOK", QStringLiteral("&OK"), this);
    auto* cmdCancel = NamedButton("cmdCancel", QStringLiteral("&Cancel"), this);
    // Both buttons just close the box.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(Frame1);
    layout->addSpacing(6);
    layout->addWidget(lblFirmwareTitle);
    layout->addWidget(txtUSB_);
    layout->addSpacing(6);
    layout->addLayout(ButtonRow(cmdOK, cmdCancel));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The box opens on its default button, not in the firmware text above it.
    cmdOK->setFocus();

    Form_Load(receiver);
}

void frmAbout::Form_Load(Receiver& receiver) {
    adjustSize();
    CentreOnScreen(*this);
    lblVersion_->setText(AboutVersionText());
    if (const std::optional<QString> firmware = ReadFirmwareInfo(receiver)) {
        QString shown = *firmware;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        txtUSB_->setPlainText(shown);
    }
}

}  // namespace orvanrx
