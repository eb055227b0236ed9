#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

#include "settings/TestFiles.h"
#include "trace/TraceFile.h"

namespace orvanrx {
namespace {

using trace::Step;

// Every kind of step, with defaults, blank lines, comments, a byte-order mark and CR LF.
const std::string kEveryStep =
    "\xEF\xBB\xBF# a session\r\n"
    "\n"
    "  FA 01 02 00 53 55 50 45 52 20 50 52  \r\n"
    "fa 0b\n"
    "idle\n"
    "idle 3\n"
    "none 2\n"
    "unplug\n"
    "unplug 40\n"
    "unplug 2 after 3\n"
    "status\n"
    "status 7\n"
    "signal -512\n"
    "signal\n"
    "frequency 217300000\n"
    "frequency\n"
    "version 1a\n"
    "name Lane Radio #7 \n"
    "date\n"
    "product  ORVAN01 USB Receiver\n"
    "   # indented comment";

TEST(TraceFile, ReadsEveryStepWithDefaults) {
    const TraceReadResult result = ReadTrace(kEveryStep);
    ASSERT_TRUE(result.Ok()) << result.error;
    const std::vector<Step> expected = {
        trace::Reply{{0xFA, 0x01, 0x02, 0x00, 0x53, 0x55, 0x50, 0x45, 0x52, 0x20, 0x50, 0x52}},
        trace::Reply{{0xFA, 0x0B}},
        trace::Idle{1},
        trace::Idle{3},
        trace::None{2},
        trace::Unplug{1},
        trace::Unplug{40},
        trace::Unplug{2, 3},
        trace::Status{0x00},
        trace::Status{0x07},
        trace::Signal{-512},
        trace::Signal{0},
        trace::Frequency{217300000},
        trace::Frequency{217600000},
        trace::Version{0x1A},
        trace::Name{"Lane Radio #7 "},
        trace::Date{""},
        trace::Product{" ORVAN01 USB Receiver"},
    };
    EXPECT_EQ(result.steps, expected);
    std::string bad = kEveryStep;
    bad.insert(bad.find("none 2\n"), "none\tnone 2\n");
    EXPECT_EQ(ReadTrace(bad).error, "line 7: unexpected '2' after the none value");
}

TEST(TraceFile, NamesTheFirstBadLine) {
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"FA 01\nhello\n",
         "line 2: unknown step 'hello' (expected hex byte pairs or a keyword: "
         "idle, none, unplug, status, signal, frequency, version, name, date, "
         "product)"},
        {"Idle 2",
         "line 1: unknown step 'Idle' (expected hex byte pairs or a keyword: idle, "
         "none, unplug, status, signal, frequency, version, name, date, product)"},
        {"\n\nFA 1 02", "line 3: '1' is not a byte as two hex digits"},
        {"FA 0G", "line 1: '0G' is not a byte as two hex digits"},
        {std::string(64 * 3, ' ') + "\n" + QByteArray("00 ").repeated(65).toStdString(),
         "line 2: a reply holds 1 to 64 bytes, this one 65"},
        {"idle 0", "line 1: idle takes a count from 1 to 2147483647, not '0'"},
        {"unplug 2147483648",
         "line 1: unplug takes a count from 1 to 2147483647, not '2147483648'"},
        {"unplug 2 after",
         "line 1: unplug takes a count and then 'after' and a number of "
         "flushes from 0 to 2147483647, not '2 after'"},
        {"unplug 2 before 1",
         "line 1: unplug takes a count and then 'after' and a number of "
         "flushes from 0 to 2147483647, not '2 before 1'"},
        {"unplug 2 after 1 2",
         "line 1: unplug takes a count and then 'after' and a number of "
         "flushes from 0 to 2147483647, not '2 after 1 2'"},
        {"status 100", "line 1: status takes one byte in hex (00 to FF), not '100'"},
        {"version -1", "line 1: version takes one byte in hex (00 to FF), not '-1'"},
        {"signal 32768", "line 1: signal takes a reading from -32768 to 32767, not '32768'"},
        {"frequency 2e8",
         "line 1: frequency takes hertz from -2147483648 to 2147483647, not '2e8'"},
        {"status 07 # lit", "line 1: unexpected '# lit' after the status value"},
        {"# ok\nname caf\xC3\n", "line 2: not UTF-8 text"},
    };
    for (const Case& c : cases) {
        const TraceReadResult result = ReadTrace(c.text);
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_TRUE(result.steps.empty());
    }
}

TEST(TraceFile, WritingThenReadingGivesTheSameSteps) {
    // With the steps of the test above, the extremes.
    std::vector<Step> steps = {
        trace::Reply{{0xFA, 0x00, 0x7F, 0xF8, 1, 2, 3, 4, 5, 6, 7, 8}},
        trace::Reply{std::vector<std::uint8_t>(64, 0xAB)},
        trace::Idle{2147483647},
        trace::Signal{-32768},
        trace::Signal{32767},
        trace::Frequency{-2147483647 - 1},
        trace::Name{"  two blanks before, one after "},
        trace::Product{"Prodüct #1\t"},
    };
    const std::vector<Step> others = ReadTrace(kEveryStep).steps;
    steps.insert(steps.end(), others.begin(), others.end());
    steps.push_back(trace::Comment{"dropped\nover two lines"});
    const std::string text = FormatTrace(steps);
    EXPECT_NE(text.find("FA 00 7F F8 01 02"), std::string::npos);
    EXPECT_NE(text.find("# dropped\n# over two lines\n"), std::string::npos);
    const TraceReadResult back = ReadTrace(text);
    ASSERT_TRUE(back.Ok()) << back.error;
    steps.pop_back();
    EXPECT_EQ(back.steps, steps);

    EXPECT_EQ(FormatTraceStep(trace::Name{"a\r\nb"}), "name a  b");
}

TEST(TraceFile, ReadsAFileAndNamesOneItCannotRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.trace"));
    ASSERT_TRUE(testing::WriteBytes(path, "status 05\nFA 01 00 00\n"));
    const TraceReadResult read = ReadTraceFile(path);
    ASSERT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(read.steps, (std::vector<Step>{trace::Status{5}, trace::Reply{{0xFA, 1, 0, 0}}}));

    const TraceReadResult missing = ReadTraceFile(dir.filePath(QStringLiteral("none.trace")));
    EXPECT_EQ(
        missing.error.rfind(
            "cannot read " + dir.filePath(QStringLiteral("none.trace")).toStdString() + ": ", 0),
        0u);
}

}  // namespace
}  // namespace orvanrx
