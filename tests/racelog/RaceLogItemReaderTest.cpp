#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "racelog/RaceLogItemReader.h"

namespace orvanrx {
namespace {

// Every item up to the end of the data, joined with "|".
std::string Items(const char* data) {
    RaceLogItemReader reader{QByteArrayView(data)};
    QStringList items;
    while (auto item = reader.NextItem()) {
        items << *item;
    }
    return items.join(QLatin1Char('|')).toStdString();
}

TEST(RaceLogItemReader, SplitsTheStreamIntoItems) {
    struct Case {
        const char* data;
        const char* items;
    };
    const std::vector<Case> cases = {
        {"a,b,c", "a|b|c"},
        {"\"x,y\",z", "x,y|z"},
        {"  a,\t \"b\"", "a|b"},
        {"a ,b", "a |b"},                         // trailing blanks of a bare item stay
        {"\"ab\"cd,e", "ab|e"},                   // text after a closing quote is dropped
        {"\"Bob \"Bubba\" Smith\",x", "Bob |x"},  // no escape for quotes inside
        {"a,\r\nb", "a||b"},                      // comma before a line end: empty item
        {"a\r\n\r\nb", "a||b"},                   // a blank line is one empty item
        {"a\nb\rc\r\nd", "a|b|c|d"},              // LF, CR and CR LF each end a line
        {"\"open\r\nb", "open|b"},                // an open quote ends at the line end
        {"\"\",,\"\"", "||"},
        {"\xC9t\xE9", "\xC3\x89t\xC3\xA9"},  // 8-bit text is Latin-1
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Items(c.data), c.items) << c.data;
    }
}

TEST(RaceLogItemReader, EndsWhereOnlyBlankLinesRemain) {
    RaceLogItemReader reader{QByteArrayView("a,\"b\"\r\n \r\n\t\r\n")};
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.NextItem(), QStringLiteral("a"));
    EXPECT_EQ(reader.NextItem(), QStringLiteral("b"));
    EXPECT_TRUE(reader.AtEnd());

    RaceLogItemReader noLineEnd{QByteArrayView("a")};
    EXPECT_EQ(noLineEnd.NextItem(), QStringLiteral("a"));
    EXPECT_TRUE(noLineEnd.AtEnd());
    EXPECT_EQ(noLineEnd.NextItem(), std::nullopt);
}

}  // namespace
}  // namespace orvanrx
