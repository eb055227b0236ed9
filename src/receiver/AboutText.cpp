#include "receiver/AboutText.h"

#include "receiver/Receiver.h"
#include "receiver/ReceiverProtocol.h"
#include "support/Support.h"

namespace orvanrx {

namespace {

constexpr qsizetype kShownNameLength = 34;
constexpr char kLineBreak[] = "\r\n";

QString VersionLine(const QString& versionReply) {
    if (versionReply == QLatin1String(kReceiverTextError)) {
        return QStringLiteral("- Version: unknown");
    }
    const int v = versionReply.isEmpty() ? 0 : versionReply.at(0).unicode() & 0xFF;
    return QStringLiteral("- Version: v%1.%2").arg((v & 0xF0) / 16).arg(v & 0x0F);
}

}  // namespace

QString AboutVersionText() {
    return QStringLiteral("OrvanRX  ") + AppVersionText();
}

QString FirmwareInfoText(const QString& versionReply, const QString& nameReply,
                         const QString& dateReply) {
    return QStringLiteral("- ") + nameReply.left(kShownNameLength) + QLatin1String(kLineBreak) +
           QStringLiteral("- Date: ") + dateReply + QLatin1String(kLineBreak) +
           VersionLine(versionReply);
}

std::optional<QString> ReadFirmwareInfo(Receiver& receiver) {
    if (!receiver.DeviceOpen()) {
        return std::nullopt;
    }
    const auto read = [&receiver](std::uint8_t code) {
        return receiver.ReadReceiverText(code, static_cast<std::int16_t>(ReplyLength(code)));
    };
    const QString version = read(kCommandVersion);
    const QString name = read(kCommandName);
    const QString date = read(kCommandDate);
    return FirmwareInfoText(version, name, date);
}

}  // namespace orvanrx
