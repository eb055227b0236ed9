#pragma once

#include <cstdint>

#include "decoding/ReceiveBuffer.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

// The receive state kept across a restart: the venue byte, the RunBlock pointer (mirror bytes
// 2..3) and the first 73 bytes of the latest race's RunBlock (Packets 0..2 and the first byte
// of Packet 3: the header and category, enough to show the race again at once).
//
//   SOFTWARE\OrvanRX\                     "Venue"        REG_SZ     venue as decimal text
//   SOFTWARE\OrvanRX\RaceLog\MemoryDump\  "2", "3"       REG_DWORD  mirror bytes 2 and 3
//   SOFTWARE\OrvanRX\RAM                  "H".."H+72"    REG_DWORD  mirror bytes H..H+72
//
// H is the RunBlock pointer when saving and, after LoadRunBlockPointer, when loading. Values
// of other offsets from earlier runs stay in the RAM key and are simply not read.
//
// Rules shared by the loads: a stored text counts when it is numeric (NumericTextValue), and
// it is rounded half to even. A numeric value that does not fit its target (a byte, a 16-bit
// venue), and an offset outside the mirror, end the routine there: what it restored before
// stays. A missing or non-numeric value is skipped and leaves its byte as it was (0 after
// the start-up clear). Nothing is reported.

// "Venue": when numeric, currentVenue becomes its value; otherwise it is left unchanged.
void LoadVenue(const SettingsStore& settings, std::int16_t& currentVenue);
void SaveVenue(const SettingsStore& settings, std::int16_t currentVenue);

// "2" and "3" into mirror bytes 2 and 3, each when present.
void LoadRunBlockPointer(const SettingsStore& settings, ReceiveBuffer& buffer);
void SaveRunBlockPointer(const SettingsStore& settings, const ReceiveBuffer& buffer);

// The 73 bytes at the mirror's RunBlock pointer, one value per offset.
void LoadRunBlock(const SettingsStore& settings, ReceiveBuffer& buffer);
void SaveRunBlock(const SettingsStore& settings, const ReceiveBuffer& buffer);

// How many bytes of the RunBlock are kept.
inline constexpr int kSavedRunBlockBytes = 73;

}  // namespace orvanrx
