#pragma once

#include <QString>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "trace/TraceStep.h"

// Receiver trace files: UTF-8 text, one step a line.
//
//   line                     step      argument (when left out)
//   FA 01 02 00 53 ...       Reply     1 to 64 bytes, two hex digits each, blank-separated
//   idle N                   Idle      count 1..2147483647 (1)
//   none N                   None      count 1..2147483647 (1)
//   unplug N                 Unplug    ticks 1..2147483647 (1)
//   unplug N after K         Unplug    and flushes 0..2147483647 that go through first (0)
//   status HH                Status    one byte in hex, 0..FF (00)
//   signal N                 Signal    -32768..32767 (0)
//   frequency HZ             Frequency -2147483648..2147483647 (217600000)
//   version HH               Version   one byte in hex, 0..FF (00)
//   name TEXT                Name      the rest of the line after one blank or tab ("")
//   date TEXT                Date      likewise
//   product TEXT             Product   likewise
//   # anything               a comment: skipped when read
//
// Keywords are lower case, hex digits either case. Blanks and tabs around a line are ignored,
// except that a TEXT keeps every character after its separator. Blank lines and comment
// lines (the first non-blank character is "#") are skipped; "#" inside a step line is not a
// comment. A UTF-8 byte-order mark at the start and a carriage return at each line's end are
// ignored. Anything else is an error "line N: reason", N counting from 1.
namespace orvanrx {

struct TraceReadResult {
    std::vector<trace::Step> steps;  // empty when there is an error
    std::string error;               // empty when the whole text was read
    bool Ok() const { return error.empty(); }
};

// Steps from trace text; stops at the first bad line.
TraceReadResult ReadTrace(std::string_view text);
// Steps from a trace file; an unreadable file is the error "cannot read PATH: reason".
TraceReadResult ReadTraceFile(const QString& path);

// One step as its line, without the line break. Reply bytes are written as upper-case hex
// pairs; a count, byte or number always with its value. A line break inside a TEXT becomes a
// blank (a line holds one step); a Comment gives one "# " line for each of its lines.
// Reading the line back gives the same step, except that comments are skipped.
std::string FormatTraceStep(const trace::Step& step);
// The steps as a trace file, each line ended by "\n".
std::string FormatTrace(std::span<const trace::Step> steps);

}  // namespace orvanrx
