#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "receiver/ReceiverProduct.h"

// One step of a receiver trace: what a scripted receiver does next. A trace file holds one step
// a line (UTF-8, "#" starts a comment, blank lines ignored):
//
//   FA 01 02 00 53 55 50 45 52 20 50 52   the whole reply to the next poll command (1..64 bytes)
//   idle N        the next N polls (default 1) answered with 12 bytes of 0x00
//   none N        the next N polls (default 1) get no answer at all
//   unplug N      the receiver is detached for the next N ticks (default 1)
//   unplug N after K   the same, once K more flushes have gone through (a receiver lost in
//                 the middle of a status refresh, after its first exchanges were answered)
//   status HH     byte 0 of every later reply to 0x05 (default 00)
//   signal N      raw signed 16-bit reading of every later reply to 0x0A (default 0)
//   frequency HZ  frequency of every later reply to 0x06 (default 217600000)
//   version HH    byte 0 of the reply to 0x00
//   name TEXT     the reply to 0x01 (51 bytes, text then 0x00 padding)
//   date TEXT     the reply to 0x02 (16 bytes)
//   product TEXT  the product text enumeration reports (default "ORVAN01 USB Receiver")
namespace orvanrx::trace {

struct Reply {
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const Reply&, const Reply&) = default;
};
struct Idle {
    int count = 1;
    friend bool operator==(const Idle&, const Idle&) = default;
};
struct None {
    int count = 1;
    friend bool operator==(const None&, const None&) = default;
};
struct Unplug {
    int ticks = 1;
    // Flushes that still go through before the receiver is detached.
    int afterFlushes = 0;
    friend bool operator==(const Unplug&, const Unplug&) = default;
};
struct Status {
    std::uint8_t flags = 0;
    friend bool operator==(const Status&, const Status&) = default;
};
struct Signal {
    std::int16_t raw = 0;
    friend bool operator==(const Signal&, const Signal&) = default;
};
struct Frequency {
    std::int32_t hertz = kChannel1Frequency;
    friend bool operator==(const Frequency&, const Frequency&) = default;
};
struct Version {
    std::uint8_t value = 0;
    friend bool operator==(const Version&, const Version&) = default;
};
struct Name {
    std::string text;
    friend bool operator==(const Name&, const Name&) = default;
};
struct Date {
    std::string text;
    friend bool operator==(const Date&, const Date&) = default;
};
struct Product {
    std::string text;
    friend bool operator==(const Product&, const Product&) = default;
};
// A "#" line: kept when a trace is written, never produced by reading one.
struct Comment {
    std::string text;
    friend bool operator==(const Comment&, const Comment&) = default;
};

using Step = std::variant<Reply, Idle, None, Unplug, Status, Signal, Frequency, Version, Name, Date,
                          Product, Comment>;

}  // namespace orvanrx::trace
