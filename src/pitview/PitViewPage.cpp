#include "pitview/PitViewPage.h"

#include <QFile>

namespace orvanrx {

QByteArray PitViewPage() {
    QFile file(QStringLiteral(":/pitview/pitview.html"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

}  // namespace orvanrx
