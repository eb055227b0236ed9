#include "gui/frmTimeSlip.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "decoding/TimeSlipText.h"
#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/DialogKit.h"
#include "gui/Twips.h"
#include "settings/SettingsKeys.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

frmTimeSlip::frmTimeSlip(const ReceiveBuffer& buffer, const SettingsStore& settings,
                         QWidget* parent)
    : QWidget(parent), buffer_(buffer), settings_(settings), txtDisplay_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmTimeSlip"));
    setWindowTitle(QStringLiteral("Time Slip"));
    txtDisplay_->setObjectName(QStringLiteral("txtDisplay"));
    txtDisplay_->setAccessibleName(windowTitle());
    txtDisplay_->setReadOnly(true);
    txtDisplay_->setFont(MonospaceFont(18));
    txtDisplay_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDisplay_->setUndoRedoEnabled(false);
    txtDisplay_->setFrameShape(QFrame::NoFrame);
    txtDisplay_->document()->setDocumentMargin(2);
    // A slip is printed black on white paper, whatever the desktop's colours.
    QPalette paper = txtDisplay_->palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    txtDisplay_->setPalette(paper);
    txtDisplay_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtDisplay_);
    setFocusProxy(txtDisplay_);
}

void frmTimeSlip::Load(QMdiSubWindow& frame) {
    frame_ = &frame;
    open_ = true;
    frame.resize(TwipsToPixels(frame, kDesignWidthTwips), TwipsToPixels(frame, kDesignHeightTwips));
    RestoreWindowPlacement(settings_, kTimeSlipScreenSettingsKey, frame);
}

void frmTimeSlip::ParseMessage() {
    const std::optional<QString> text = TimeSlipText(buffer_);
    if (!text) {
        if (frame_ != nullptr) {
            frame_->close();
        } else {
            close();
        }
        return;
    }
    if (*text != shown_) {
        shown_ = *text;
        txtDisplay_->setPlainText(shown_);
        if (marked_.Any()) {
            ShowMarks();
        }
    }
}

void frmTimeSlip::SetMarkedLanes(MyCarLanes lanes) {
    if (lanes == marked_) {
        return;
    }
    marked_ = lanes;
    ShowMarks();
}

void frmTimeSlip::ShowMarks() {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat accent;
    accent.setBackground(ColorForValue(kAccentTintColor, {}));
    for (const QChar lane : {u'L', u'R'}) {
        if (!(lane == u'L' ? marked_.left : marked_.right)) {
            continue;
        }
        for (const TimeSlipSpan& span :
             TimeSlipLaneSpans(buffer_, lane).value_or(std::vector<TimeSlipSpan>())) {
            const QTextBlock line = txtDisplay_->document()->findBlockByNumber(span.line);
            const int lineLength = line.length() - 1;
            if (!line.isValid() || span.column >= lineLength) {
                continue;
            }
            QTextCursor cursor(line);
            cursor.setPosition(line.position() + span.column);
            cursor.setPosition(line.position() + std::min(span.column + span.length, lineLength),
                               QTextCursor::KeepAnchor);
            marks.append({cursor, accent});
        }
    }
    txtDisplay_->setExtraSelections(marks);
}

QStringList frmTimeSlip::MarkedSpans() const {
    QStringList spans;
    for (const QTextEdit::ExtraSelection& mark : txtDisplay_->extraSelections()) {
        const QTextBlock line = mark.cursor.block();
        spans << QStringLiteral("%1:%2+%3")
                     .arg(line.blockNumber())
                     .arg(mark.cursor.selectionStart() - line.position())
                     .arg(mark.cursor.selectionEnd() - mark.cursor.selectionStart());
    }
    return spans;
}

QString frmTimeSlip::Text() const {
    return txtDisplay_->toPlainText();
}

void frmTimeSlip::Unload() {
    if (!open_) {
        return;
    }
    open_ = false;
    if (frame_ != nullptr) {
        SaveWindowPlacement(settings_, kTimeSlipScreenSettingsKey, *frame_);
    }
    Q_EMIT Unloaded();
}

void frmTimeSlip::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

bool frmTimeSlip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDisplay_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (frame_ != nullptr) {
            frame_->close();
        } else {
            close();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvanrx
