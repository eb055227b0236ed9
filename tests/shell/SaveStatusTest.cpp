#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/CallLog.h"
#include "shell/SaveStatus.h"

namespace orvanrx {
namespace {

using testing::CallLog;

// One save in a sequence: automatic (A) or the racer's own (O), and whether it worked.
struct Save {
    char who;
    RaceLogSaveOutcome outcome;
};

struct SequenceCase {
    const char* name;
    std::vector<Save> saves;
    // The status texts set, in order ("" for a cleared text).
    std::vector<std::string> texts;
};

constexpr auto kSaved = RaceLogSaveOutcome::Saved;
constexpr auto kFailed = RaceLogSaveOutcome::Failed;
constexpr auto kNothing = RaceLogSaveOutcome::NothingToSave;

std::string NotSaved(const char* path) {
    return RaceLogNotSavedText(QString::fromLatin1(path), QStringLiteral("disk full"))
        .toStdString();
}

TEST(SaveStatusTest, EachStreakSaysAFailureOnceAndClearsAsItsRuleSays) {
    const std::string a = NotSaved("auto.csv");
    const std::string o = NotSaved("own.csv");
    const SequenceCase cases[] = {
        {"automatic failures say it once", {{'A', kFailed}, {'A', kFailed}}, {a}},
        {"an automatic success clears", {{'A', kFailed}, {'A', kSaved}, {'A', kSaved}}, {a, ""}},
        {"nothing to save changes nothing", {{'A', kFailed}, {'A', kNothing}}, {a}},
        {"every own failure says it", {{'O', kFailed}, {'O', kFailed}}, {o, o}},
        {"an own success clears", {{'O', kFailed}, {'O', kSaved}, {'O', kSaved}}, {o, ""}},
        {"an own success keeps an automatic failure",
         {{'A', kFailed}, {'O', kFailed}, {'O', kSaved}},
         {a, o}},
        {"an automatic success clears an own failure too",
         {{'O', kFailed}, {'A', kFailed}, {'A', kSaved}},
         {o, a, ""}},
        {"successes alone say nothing", {{'A', kSaved}, {'O', kSaved}}, {}},
    };
    for (const SequenceCase& c : cases) {
        CallLog log;
        SaveStatus status(log);
        for (const Save& save : c.saves) {
            const RaceLogSaveResult result{
                save.outcome, save.outcome == kFailed ? QStringLiteral("disk full") : QString()};
            if (save.who == 'A') {
                status.AutomaticSave(QStringLiteral("auto.csv"), result);
            } else {
                status.OwnSave(QStringLiteral("own.csv"), result);
            }
        }
        EXPECT_EQ(log.With("status "), c.texts) << c.name;
    }
}

}  // namespace
}  // namespace orvanrx
