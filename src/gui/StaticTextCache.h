#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

class QPainter;
class QRect;

namespace orvanrx {

// Texts laid out once and kept for drawing (QStaticText): a table refresh mostly draws the same
// texts again, and laying out text is most of what drawing a table costs. At `most` texts the
// cache starts afresh.
class StaticTextCache {
public:
    explicit StaticTextCache(qsizetype most) : most_(most) {}

    // `text` laid out in `font`; `fontKey` tells the fonts apart (the caller keeps it, e.g.
    // QFont::key(), so that it is not built for every cell).
    const QStaticText& Laid(const QString& text, const QFont& font, const QString& fontKey);

    // Draws `text` in `room` as aligned, with the painter's font (`font`) and pen: from the
    // kept layout, or elided at the right when it does not fit.
    void Draw(QPainter& painter, const QRect& room, Qt::Alignment alignment, const QString& text,
              const QFont& font, const QString& fontKey);

private:
    qsizetype most_;
    QHash<QString, QStaticText> laid_;
};

}  // namespace orvanrx
