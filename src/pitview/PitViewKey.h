#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The pit view's access key: a random secret that is part of the page's address, so that only
// the people the racer shows the address (or its QR code) to can open the page.
namespace orvanrx {

class SettingsStore;

// 128 random bits from the system's generator, as 32 lower-case hex digits.
inline constexpr int kPitViewKeyBytes = 16;
QString NewPitViewKey();

// Whether `text` has the form of a key: 32 to 128 hex digits.
bool IsPitViewKey(const QString& text);

// The key kept in the settings; a new one is made and kept when none is kept or the kept one
// is not a key.
QString ReadPitViewKey(const SettingsStore& settings);
// A new key, kept in the settings (every address given out before stops working).
QString RenewPitViewKey(const SettingsStore& settings);

// Compares a key offered by a client with the right one in time that depends only on the
// right key's length, never on where the two first differ.
bool PitViewKeysEqual(QByteArrayView offered, QByteArrayView expected);

// The port kept in the settings (kDefaultPitViewPort when none or not a port), and whether
// the pit view is to run at start.
inline constexpr quint16 kDefaultPitViewPort = 8400;
quint16 ReadPitViewPort(const SettingsStore& settings);
void SavePitViewPort(const SettingsStore& settings, quint16 port);
bool ReadPitViewEnabled(const SettingsStore& settings);
void SavePitViewEnabled(const SettingsStore& settings, bool enabled);
// The racer has agreed once that the program listens on the network.
bool ReadPitViewNetworkAgreed(const SettingsStore& settings);
void SavePitViewNetworkAgreed(const SettingsStore& settings);

// A port given on a command line: 1..65535, or 0 for any free port (tests).
bool ParsePitViewPort(const QString& text, quint16& port);

}  // namespace orvanrx
