#include "gui/MainStatusBar.h"

#include <QApplication>
#include <QDate>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <algorithm>

#include "gui/AirPanel.h"
#include "gui/ColorValue.h"
#include "gui/Marquee.h"
#include "gui/StatusLamp.h"

namespace orvanrx {

namespace {

// A level bar of the status bar: 110 pixels wide where there is room, narrower (down to a
// third of that) where the screen is small, so that the panels right of it stay in view.
class LevelBar final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QSize sizeHint() const override { return {kWidth, QProgressBar::sizeHint().height()}; }
    QSize minimumSizeHint() const override {
        return {kWidth / 3, QProgressBar::minimumSizeHint().height()};
    }

private:
    static constexpr int kWidth = 110;
};

QProgressBar* Bar(const char* name, int maximum, const QString& toolTip, QWidget* parent) {
    auto* bar = new LevelBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setToolTip(toolTip);
    bar->setAccessibleName(toolTip);
    bar->setMaximumWidth(bar->sizeHint().width());
    bar->setMaximumHeight(bar->fontMetrics().height());
    return bar;
}

// lblStatus: a text panel that gives way. Its wish is the whole text, but it can shrink down
// to a few characters, and then shows the text's start and end around an ellipsis (so both
// "Race log not saved" and the reason after the file's path stay in view; the whole text is
// its tool tip): a long message never widens the main window past the screen.
class ElidingLabel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override {
        const QSize whole = QLabel::minimumSizeHint();
        const QMargins m = contentsMargins();
        return {
            std::min(whole.width(), fontMetrics().horizontalAdvance(QStringLiteral("Ra\u2026")) +
                                        m.left() + m.right()),
            whole.height()};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("sbMain"));
    setWindowTitle(QStringLiteral("Status Bar"));
    setAccessibleName(windowTitle());

    // lblStatus: an empty text panel; it speaks up only when the race log could not be saved.
    lblStatus_ = new ElidingLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setContentsMargins(4, 0, 4, 0);
    QPalette warning = lblStatus_->palette();
    warning.setColor(QPalette::WindowText, QColor(176, 0, 0));
    lblStatus_->setPalette(warning);
    QFont bold = lblStatus_->font();
    bold.setBold(true);
    lblStatus_->setFont(bold);
    lblStatus_->hide();
    addWidget(lblStatus_);
    // scrMessage: the venue's message, running through the free width of the bar.
    scrMessage_ = new Marquee(this);
    scrMessage_->hide();
    // On a small screen the message gives its width up before any panel does.
    scrMessage_->setMinimumWidth(1);
    addWidget(scrMessage_, 1);

    picStatus_ = new QWidget(this);
    picStatus_->setObjectName(QStringLiteral("picStatus"));
    auto* lamps = new QHBoxLayout(picStatus_);
    lamps->setContentsMargins(2, 0, 2, 0);
    lamps->setSpacing(3);
    txtCD_ = new StatusLamp(QStringLiteral("txtCD"), QStringLiteral("Carrier Detect"),
                            RgbColorValue(0, 255, 0), RgbColorValue(0, 64, 0), picStatus_);
    txtEF_ = new StatusLamp(QStringLiteral("txtEF"), QStringLiteral("Buffer Empty"),
                            RgbColorValue(255, 255, 0), RgbColorValue(64, 64, 0), picStatus_);
    txtFF_ = new StatusLamp(QStringLiteral("txtFF"), QStringLiteral("Buffer Full"),
                            RgbColorValue(255, 0, 0), RgbColorValue(64, 0, 0), picStatus_);
    for (StatusLamp* lamp : {txtCD_, txtEF_, txtFF_}) {
        lamps->addWidget(lamp);
    }
    picStatus_->setStatusTip(QStringLiteral("USB Status"));
    picStatus_->setAccessibleName(QStringLiteral("USB Status"));

    usbSignal_ = Bar("usbSignal", kSignalMaximum, QStringLiteral("Signal Strength"), this);
    usbSignal_->setStatusTip(QStringLiteral("USB Signal Strength"));
    usbBuffer_ = Bar("usbBuffer", kBufferMaximum, QStringLiteral("Buffer Position"), this);
    usbBuffer_->setStatusTip(QStringLiteral("USB Buffer Position"));

    // The panels in their order; the hosted controls join at AttachStatusControls.
    lblFrequency_ = Panel("lblFrequency", QStringLiteral("Searching"), QStringLiteral("Frequency"),
                          QStringLiteral("USB Frequency"));
    lblOrvanUSB_ = Panel("lblOrvanUSB", QStringLiteral("Orvan USB"),
                         QStringLiteral("Device Status"), QStringLiteral("USB Device Status"));
    lblINS_ = Panel("lblINS", QStringLiteral("INS"), QStringLiteral("Insert Key"), {});
    lblCAPS_ = Panel("lblCAPS", QStringLiteral("CAPS"), QStringLiteral("Capital Lock"), {});
    lblNUM_ = Panel("lblNUM", QStringLiteral("NUM"), QStringLiteral("Number Lock"), {});
    lblDATE_ = Panel("lblDATE", {}, QStringLiteral("Date"), {});
    lblFrequency_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Searching")) +
                                   12);
    lblFrequency_->setEnabled(false);
    lblOrvanUSB_->setEnabled(false);
    lblINS_->setEnabled(false);

    UpdateDate();
    dateTimer_.setInterval(60 * 1000);
    connect(&dateTimer_, &QTimer::timeout, this, &MainStatusBar::UpdateDate);
    dateTimer_.start();
    lockKeys_ = ReadDesktopLockKeys;
    lockTimer_.setInterval(500);
    connect(&lockTimer_, &QTimer::timeout, this, &MainStatusBar::UpdateLockKeys);
    lockTimer_.start();
    UpdateLockKeys();
    connect(this, &QStatusBar::messageChanged, this, &MainStatusBar::FollowMessage);
    if (qApp != nullptr) {
        qApp->installEventFilter(this);
    }
}

QLabel* MainStatusBar::Panel(const char* name, const QString& caption, const QString& toolTip,
                             const QString& description) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(toolTip);
    label->setStatusTip(description);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

void MainStatusBar::AddSpace() {
    auto* space = new QWidget(this);
    space->setObjectName(QStringLiteral("lblSpace"));
    space->setFixedWidth(4);
    addPermanentWidget(space);
}

void MainStatusBar::AttachStatusControls() {
    if (attached_) {
        return;
    }
    attached_ = true;
    addPermanentWidget(picStatus_);     // ctrlStatus
    addPermanentWidget(lblFrequency_);  // lblFrequency
    addPermanentWidget(usbSignal_);     // ctrlSignal
    AddSpace();
    addPermanentWidget(lblOrvanUSB_);
    addPermanentWidget(usbBuffer_);  // ctrlBuffer
    AddSpace();
    addPermanentWidget(lblINS_);
    addPermanentWidget(lblCAPS_);
    addPermanentWidget(lblNUM_);
    AddSpace();
    addPermanentWidget(lblDATE_);
    PlaceStatusText();
    // Assistive technology reads a widget's children in the order they were made; raised in
    // the order shown, they are read left to right as the bar shows them.
    for (QWidget* shown :
         {static_cast<QWidget*>(lblStatus_), static_cast<QWidget*>(scrMessage_), picStatus_,
          static_cast<QWidget*>(lblFrequency_), static_cast<QWidget*>(usbSignal_),
          static_cast<QWidget*>(lblOrvanUSB_), static_cast<QWidget*>(usbBuffer_),
          static_cast<QWidget*>(lblINS_), static_cast<QWidget*>(lblCAPS_),
          static_cast<QWidget*>(lblNUM_), static_cast<QWidget*>(lblDATE_)}) {
        shown->raise();
    }
}

void MainStatusBar::SetDevicePanelsActive(bool active) {
    lblOrvanUSB_->setEnabled(active);
    lblFrequency_->setEnabled(active);
}

void MainStatusBar::SetChannelCaption(const QString& caption) {
    lblFrequency_->setText(caption);
}

void MainStatusBar::ShowCDLamp(bool lit) {
    txtCD_->SetLit(lit);
}

void MainStatusBar::ShowEFLamp(bool lit) {
    txtEF_->SetLit(lit);
}

void MainStatusBar::ShowFFLamp(bool lit) {
    txtFF_->SetLit(lit);
}

void MainStatusBar::SetSignalLevel(int level) {
    usbSignal_->setValue(std::clamp(level, 0, kSignalMaximum));
}

void MainStatusBar::SetBufferPosition(int address) {
    usbBuffer_->setValue(std::clamp(address, 0, kBufferMaximum));
}

void MainStatusBar::SetScrollMessageVisible(bool visible) {
    scrollWanted_ = visible;
    FollowMessage();
}

void MainStatusBar::FollowMessage() {
    // A hovered command's description (the bar's temporary message) has the left of the bar to
    // itself: the scroll message and lblStatus step aside until it goes, also when they change
    // meanwhile. (On its own row lblStatus is out of the description's way, and stays.)
    const bool free = currentMessage().isEmpty();
    scrMessage_->setVisible(scrollWanted_ && free);
    lblStatus_->setVisible(!lblStatus_->text().isEmpty() && (free || ownRow_));
    if (lblAir_ != nullptr) {
        lblAir_->SetGivingWay(!lblStatus_->text().isEmpty());
    }
}

void MainStatusBar::SetScrollMessageText(const QString& text) {
    scrMessage_->SetText(text);
}

void MainStatusBar::SetStatusText(const QString& text) {
    lblStatus_->setText(text);
    lblStatus_->setToolTip(text);
    FollowMessage();  // the air panel gives way first
    PlaceStatusText();
}

int MainStatusBar::PanelsLeft() const {
    // The left edge of the panels: the bar's width less what the shown panels (and the size
    // grip) want, each with the gap the bar leaves around it.
    constexpr int kGap = 6;
    int left = width() - 2 * kGap;
    for (const QWidget* panel : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (panel != lblStatus_ && panel != scrMessage_ && panel->isVisibleTo(this)) {
            left -= panel->sizeHint().width() + kGap;
        }
    }
    return left;
}

void MainStatusBar::PlaceStatusText() {
    const bool ownRow = !lblStatus_->text().isEmpty() &&
                        lblStatus_->sizeHint().width() > PanelsLeft() - scrMessage_->minimumWidth();
    if (ownRow != ownRow_) {
        ownRow_ = ownRow;
        if (ownRow_) {
            removeWidget(lblStatus_);
            setContentsMargins(0, lblStatus_->sizeHint().height() + 2, 0, 0);
        } else {
            setContentsMargins(0, 0, 0, 0);
            insertWidget(0, lblStatus_);
        }
        FollowMessage();
    }
    if (ownRow_) {
        lblStatus_->setGeometry(0, 1, width(), contentsMargins().top() - 1);
    }
}

void MainStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    PlaceStatusText();
}

void MainStatusBar::paintEvent(QPaintEvent* event) {
    if (!ownRow_ || currentMessage().isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // The bar would centre a hovered command's description on its whole height, across both
    // rows; with lblStatus on the top row it goes on the panels' row, left of the panels.
    const QRect row = contentsRect();
    int right = row.right();
    for (const QWidget* panel : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (panel != lblStatus_ && panel != scrMessage_ && panel->isVisible()) {
            right = std::min(right, panel->x() - 2);
        }
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(6, row.top(), right - 6, row.height()),
                     Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, currentMessage());
}

void MainStatusBar::ShowSimulatedReceiver(const QString& kind) {
    if (lblSimulated_ == nullptr) {
        lblSimulated_ = Panel("lblSimulated", {}, {}, {});
        QFont bold = lblSimulated_->font();
        bold.setBold(true);
        lblSimulated_->setFont(bold);
        // Left of the lamps, whether they have joined the bar yet or not.
        if (attached_) {
            insertPermanentWidget(0, lblSimulated_);
        } else {
            addPermanentWidget(lblSimulated_);
        }
    }
    lblSimulated_->setText(kind);
    lblSimulated_->setToolTip(kind + QStringLiteral(": a simulated receiver, not the track"));
    lblSimulated_->setStatusTip(lblSimulated_->toolTip());
    lblSimulated_->setVisible(!kind.isEmpty());
    PlaceStatusText();
}

void MainStatusBar::AddAirPanel(AirPanel* panel) {
    lblAir_ = panel;
    // The bar counts its panels from the left across both kinds: lblStatus and scrMessage,
    // then the permanent ones.
    constexpr int kFirstPermanentPanel = 2;
    insertPermanentWidget(kFirstPermanentPanel, panel);
    // Read before the panels right of it, as it is shown.
    panel->stackUnder(lblSimulated_ != nullptr ? static_cast<QWidget*>(lblSimulated_) : picStatus_);
    FollowMessage();
}

QString MainStatusBar::StatusText() const {
    return lblStatus_->text();
}

void MainStatusBar::RedrawStatusBar() {
    update();
}

void MainStatusBar::SetInsertMode(bool on) {
    insertMode_ = on;
    lblINS_->setEnabled(on);
}

void MainStatusBar::SetLockKeySource(LockKeySource source) {
    lockKeys_ = std::move(source);
    UpdateLockKeys();
}

void MainStatusBar::UpdateLockKeys() {
    const std::optional<LockKeyStates> states = lockKeys_ ? lockKeys_() : std::nullopt;
    lblCAPS_->setEnabled(states && states->capsLock);
    lblNUM_->setEnabled(states && states->numLock);
}

bool MainStatusBar::eventFilter(QObject* watched, QEvent* event) {
    // A lock key pressed in any window of the program shows at once.
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        (static_cast<QKeyEvent*>(event)->key() == Qt::Key_CapsLock ||
         static_cast<QKeyEvent*>(event)->key() == Qt::Key_NumLock)) {
        UpdateLockKeys();
    }
    // The Insert key toggles overwrite mode in the program's own text fields; the panel
    // follows presses that reach any of its windows.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert &&
        !static_cast<QKeyEvent*>(event)->isAutoRepeat() &&
        watched == (QApplication::focusWidget() != nullptr
                        ? static_cast<QObject*>(QApplication::focusWidget())
                        : static_cast<QObject*>(QApplication::activeWindow()))) {
        SetInsertMode(!insertMode_);
    }
    return QStatusBar::eventFilter(watched, event);
}

void MainStatusBar::UpdateDate() {
    lblDATE_->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

}  // namespace orvanrx
