#include "support/Support.h"

#include <cmath>

#include "support/Version.h"

namespace orvanrx {

QString PrintableChar(std::uint8_t b) {
    return IsPrintableByte(b) ? QString(QChar(char16_t{b})) : QString();
}

QString NumericChar(std::uint8_t b) {
    return IsNumericByte(b) ? QString(QChar(char16_t{b})) : QString();
}

QString WinChar(std::uint8_t b) {
    return IsWinByte(b) ? QStringLiteral("W") : QString();
}

double RoundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

QString LogFileStamp(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyy-MM-dd HHmm"));
}

QString TextBefore(const QString& text, const QString& part) {
    const qsizetype at = text.indexOf(part);
    return at < 0 ? text : text.left(at);
}

QString BytesToText(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kMaxCharacters = 256;
    QString text;
    for (std::size_t i = 0; i < bytes.size() && i < kMaxCharacters; ++i) {
        const std::uint8_t b = bytes[i];
        if (b == 0x00 || b == 0x06) {
            break;
        }
        text += QChar::fromLatin1(static_cast<char>(b));
    }
    return text;
}

QString AppVersionText() {
    return QStringLiteral(" v%1.%2.%3")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kRevision);
}

bool WriteAllAndFlush(QFileDevice& file, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<qsizetype>(written);
    }
    return file.flush();
}

}  // namespace orvanrx
