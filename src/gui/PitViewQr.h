#pragma once

#include <QImage>
#include <QString>

namespace orvanrx {

// `text` as a QR code (libqrencode, error correction M): black modules on white with the
// quiet zone of four modules, each module `scale` pixels. A null image when the text cannot
// be encoded.
QImage PitViewQrImage(const QString& text, int scale);

}  // namespace orvanrx
