#pragma once

#include <QString>
#include <optional>

namespace orvanrx {

class Receiver;

// The texts of the About box.

// The version line: "OrvanRX  " followed by AppVersionText(), e.g. "OrvanRX   v1.2.3".
QString AboutVersionText();

// What the About box shows while no receiver answers.
inline constexpr char kNoReceiverText[] = "** USB Device Not Present **";

// The receiver's firmware information from its three text replies (commands 0x00, 0x01 and
// 0x02), three lines joined by CR LF:
//   "- " + the first 34 characters of the name
//   "- Date: " + the date
//   "- Version: v<major>.<minor>" with the high and low four bits of the version reply's first
//   character in plain decimal; "- Version: unknown" when that reply is "** Error **" (a
//   short reply). An empty version reply (the byte 0x00) stands for version 0.0.
QString FirmwareInfoText(const QString& versionReply, const QString& nameReply,
                         const QString& dateReply);

// Asks the receiver for its version, name and date, in that order, and gives
// FirmwareInfoText of the replies; nothing, and nothing sent, when no receiver is open.
std::optional<QString> ReadFirmwareInfo(Receiver& receiver);

}  // namespace orvanrx
