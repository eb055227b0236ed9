#include <gtest/gtest.h>

#include "Arguments.h"

namespace orvanrx::cli {
namespace {

QStringList Args(std::initializer_list<const char*> items) {
    QStringList list{QStringLiteral("orvanrx-cli")};
    for (const char* item : items) {
        list.append(QString::fromLatin1(item));
    }
    return list;
}

TEST(PitViewArgumentsTest, PortIsOptionalAndChecked) {
    struct Case {
        QStringList args;
        std::optional<quint16> port;
        bool usage;
    };
    const Case cases[] = {
        {Args({"log"}), std::nullopt, false},
        {Args({"log", "--pit-view"}), 8400, false},
        {Args({"log", "--pit-view", "--quiet"}), 8400, false},
        {Args({"log", "--pit-view", "8500"}), 8500, false},
        {Args({"log", "--pit-view=8501", "--listen", "127.0.0.1"}), 8501, false},
        {Args({"log", "--pit-view", "70000"}), std::nullopt, true},
        {Args({"log", "--listen", "127.0.0.1"}), std::nullopt, true},
        {Args({"log", "--pit-view", "--listen", "not-an-address"}), std::nullopt, true},
        {Args({"replay", "day.trace", "--pit-view", "0", "--tick-ms", "5"}), 0, false},
        {Args({"replay", "day.trace", "--pit-view", "--tick-ms", "0"}), std::nullopt, true},
        {Args({"record", "t.trace", "--pit-view"}), std::nullopt, true},
    };
    for (const Case& c : cases) {
        const Invocation invocation = ParseCommandLine(c.args);
        const QString what = c.args.join(u' ');
        if (c.usage) {
            ASSERT_TRUE(std::holds_alternative<EarlyExit>(invocation)) << what.toStdString();
            EXPECT_EQ(std::get<EarlyExit>(invocation).code, kExitUsage) << what.toStdString();
            continue;
        }
        std::optional<quint16> port;
        if (const auto* log = std::get_if<LogOptions>(&invocation)) {
            port = log->pitView.port;
        } else if (const auto* replay = std::get_if<ReplayOptions>(&invocation)) {
            port = replay->pitView.port;
            EXPECT_EQ(replay->tickMs, c.args.contains(QStringLiteral("--tick-ms")) ? 5 : 30);
        } else {
            ADD_FAILURE() << what.toStdString();
        }
        EXPECT_EQ(port, c.port) << what.toStdString();
    }
}

TEST(PitViewArgumentsTest, KeyCommand) {
    const Invocation plain = ParseCommandLine(Args({"pit-view", "key"}));
    ASSERT_TRUE(std::holds_alternative<PitViewOptions>(plain));
    EXPECT_FALSE(std::get<PitViewOptions>(plain).renew);
    const Invocation renew = ParseCommandLine(Args({"pit-view", "key", "--new"}));
    ASSERT_TRUE(std::holds_alternative<PitViewOptions>(renew));
    EXPECT_TRUE(std::get<PitViewOptions>(renew).renew);
    for (const auto& bad :
         {Args({"pit-view"}), Args({"pit-view", "lock"}), Args({"pit-view", "key", "extra"})}) {
        ASSERT_TRUE(std::holds_alternative<EarlyExit>(ParseCommandLine(bad)));
        EXPECT_EQ(std::get<EarlyExit>(ParseCommandLine(bad)).code, kExitUsage);
    }
}

}  // namespace
}  // namespace orvanrx::cli
