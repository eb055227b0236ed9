#include "gui/frmMyCar.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "analysis/MyCar.h"
#include "gui/DialogKit.h"

namespace orvanrx {

namespace {

constexpr int kIconSide = 48;
constexpr int kTextWidth = 340;

}  // namespace

frmMyCar::frmMyCar(const QStringList& numbers, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMyCar"));
    setWindowTitle(QStringLiteral("My Car"));
    setFont(TahomaFont(9));

    auto* picIcon = NamedLabel("picIcon", {}, this);
    picIcon->setPixmap(ChequeredFlagPixmap(kIconSide, devicePixelRatioF()));
    picIcon->setFixedSize(kIconSide, kIconSide);
    auto* lblHeading = NamedLabel("lblHeading", QStringLiteral("Your car numbers:"), this);
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    lblHeading->setFont(headingFont);

    txtNumbers_ = new QLineEdit(MyCarNumbersText(numbers), this);
    txtNumbers_->setObjectName(QStringLiteral("txtNumbers"));
    txtNumbers_->setPlaceholderText(QStringLiteral("e.g. 1234, 77A"));
    txtNumbers_->setFixedWidth(kTextWidth);
    txtNumbers_->setClearButtonEnabled(true);

    lblCheck_ = NamedLabel("lblCheck", {}, this);
    lblCheck_->setWordWrap(true);
    lblCheck_->setFixedWidth(kTextWidth);

    auto* lblHint = NamedLabel(
        "lblHint",
        QStringLiteral("Separate several numbers with commas, and write them as the race log "
                       "shows them. When one of them races, the time slip comes to the front "
                       "with its lane marked, the race log marks its rows and the desktop "
                       "shows a notice."),
        this);
    lblHint->setFont(SansSerifFont(8));
    lblHint->setWordWrap(true);
    lblHint->setFixedWidth(kTextWidth);

    lblDialIns_ = NamedLabel("lblDialIns", {}, this);
    lblDialIns_->setWordWrap(true);
    lblDialIns_->setFixedWidth(kTextWidth);
    lblDialIns_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDialIns_->hide();

    cmdOK_ = NamedButton("cmdOK", QStringLiteral("&OK"), this);
    auto* cmdCancel = NamedButton("cmdCancel", QStringLiteral("Cancel"), this);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(txtNumbers_, &QLineEdit::textChanged, this, &frmMyCar::txtNumbers_Change);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(8);
    layout->addWidget(picIcon, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(lblHeading, 0, 1);
    layout->addWidget(txtNumbers_, 1, 1);
    layout->addWidget(lblCheck_, 2, 1);
    layout->addWidget(lblHint, 3, 1);
    layout->addWidget(lblDialIns_, 4, 1);
    layout->setRowMinimumHeight(5, 4);
    layout->addLayout(ButtonRow(cmdOK_, cmdCancel), 6, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    txtNumbers_->setFocus();
    txtNumbers_Change();
    adjustSize();
    CentreOnScreen(*this);
}

QStringList frmMyCar::Numbers() const {
    return ParseMyCarNumbers(txtNumbers_->text()).numbers;
}

void frmMyCar::SetDialIns(const QStringList& lines) {
    lblDialIns_->setText(lines.join(QLatin1Char('\n')));
    lblDialIns_->setVisible(!lines.isEmpty());
    adjustSize();
}

void frmMyCar::txtNumbers_Change() {
    const MyCarNumbers parsed = ParseMyCarNumbers(txtNumbers_->text());
    cmdOK_->setEnabled(parsed.rejected.isEmpty());
    QPalette palette = lblCheck_->palette();
    palette.setColor(QPalette::WindowText, parsed.rejected.isEmpty()
                                               ? this->palette().color(QPalette::WindowText)
                                               : QColor(180, 0, 0));
    lblCheck_->setPalette(palette);
    if (!parsed.rejected.isEmpty()) {
        lblCheck_->setText(
            QStringLiteral("Not a car number: %1").arg(parsed.rejected.join(QStringLiteral("  "))));
    } else if (parsed.numbers.isEmpty()) {
        lblCheck_->setText(QStringLiteral("No car: no alerts."));
    } else {
        lblCheck_->setText(QStringLiteral("Alerts for %1.").arg(MyCarNumbersText(parsed.numbers)));
    }
}

}  // namespace orvanrx
