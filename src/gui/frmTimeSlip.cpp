#include "gui/frmTimeSlip.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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
    SetTextScale(1.0);
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

QSize frmTimeSlip::FittingFrameSize(const QMdiSubWindow& frame) const {
    // A whole race of the longest lines, laid out as the text box lays out its text: the
    // blank after a line break and a whole Packet's characters on each line, and the blank
    // line after the last line break.
    QTextDocument sample;
    auto* layout = new QPlainTextDocumentLayout(&sample);
    sample.setDocumentLayout(layout);
    sample.setDefaultFont(txtDisplay_->font());
    const double margin = txtDisplay_->document()->documentMargin();
    sample.setDocumentMargin(margin);
    QStringList lines(kSlipLines - 1, QString(kSlipColumns + 1, u'W'));
    lines << QStringLiteral(" ");
    sample.setPlainText(lines.join(u'\n'));
    double textHeight = 0;
    for (QTextBlock block = sample.begin(); block.isValid(); block = block.next()) {
        textHeight += layout->blockBoundingRect(block).height();
    }
    // The text box wants the margins and a pixel below the last line, and room for the caret
    // after the last character of a line, before it does without scroll bars.
    textHeight += 2 * margin + 2;
    const double textWidth = layout->documentSize().width() + txtDisplay_->cursorWidth() + 2;
    const QMargins text = txtDisplay_->contentsMargins();
    const QMargins decoration = frame.contentsMargins();
    return {static_cast<int>(std::ceil(textWidth)) + text.left() + text.right() +
                decoration.left() + decoration.right(),
            static_cast<int>(std::ceil(textHeight)) + text.top() + text.bottom() +
                decoration.top() + decoration.bottom()};
}

QSize frmTimeSlip::FitInto(const QMdiSubWindow& frame, QSize area) {
    QFont face = txtDisplay_->font();
    QSize size = FittingFrameSize(frame);
    while ((size.width() > area.width() || size.height() > area.height()) &&
           face.pointSizeF() - 1 >= kSmallestPoints) {
        face.setPointSizeF(face.pointSizeF() - 1);
        txtDisplay_->setFont(face);
        size = FittingFrameSize(frame);
    }
    return size.boundedTo(area);
}

void frmTimeSlip::SetTextScale(double scale) {
    constexpr int kSlipPointSize = 18;
    QFont face = MonospaceFont(kSlipPointSize);
    face.setPointSizeF(kSlipPointSize * std::max(scale, 0.5));
    txtDisplay_->setFont(face);
}

void frmTimeSlip::Load(QMdiSubWindow& frame) {
    frame_ = &frame;
    open_ = true;
    const QWidget* area = frame.parentWidget();
    frame.resize(area != nullptr ? FitInto(frame, area->size()) : FittingFrameSize(frame));
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
        // The racer may have scrolled or put the caret somewhere: both stay where they were.
        QScrollBar* across = txtDisplay_->horizontalScrollBar();
        QScrollBar* down = txtDisplay_->verticalScrollBar();
        const int acrossAt = across->value();
        const int downAt = down->value();
        const QTextCursor was = txtDisplay_->textCursor();
        const int anchor = was.anchor();
        const int position = was.position();
        txtDisplay_->setPlainText(shown_);
        const int end = static_cast<int>(txtDisplay_->document()->characterCount()) - 1;
        QTextCursor caret(txtDisplay_->document());
        caret.setPosition(std::min(anchor, end));
        caret.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        txtDisplay_->setTextCursor(caret);
        across->setValue(acrossAt);
        down->setValue(downAt);
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
