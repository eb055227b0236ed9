#include <QCommandLineParser>

#include "Commands.h"
#include "settings/SettingsStore.h"

namespace orvanrx::cli {

int SettingsCommand(const QStringList& args, Console& console) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads or writes one value of the settings store.\n"
                       "  settings get KEY NAME          prints the value, or \"No Key Value\"\n"
                       "  settings set KEY NAME VALUE    writes a text value (REG_SZ)\n"
                       "KEY is a key path such as 'SOFTWARE\\OrvanRX\\RaceLog\\Fields\\'."));
    parser.addPositionalArgument(QStringLiteral("get|set"), QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("KEY"), QStringLiteral("The key path."));
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The value name."));
    parser.addPositionalArgument(QStringLiteral("[VALUE]"), QStringLiteral("For set."));
    const QCommandLineOption dwordOption(
        QStringLiteral("dword"), QStringLiteral("Write the value as a number (REG_DWORD)."));
    parser.addOption(dwordOption);

    // get takes 3 positional arguments, set 4.
    const bool isSet = args.size() > 1 && args.at(1) == QStringLiteral("set");
    if (const auto exit = ParseArguments(parser, args, isSet ? 4 : 3, console)) {
        return *exit;
    }
    const QStringList positional = parser.positionalArguments();
    const QString& action = positional.at(0);
    const SettingsStore store = SettingsStore::ForCurrentUser();
    if (action == QStringLiteral("get")) {
        if (parser.isSet(dwordOption)) {
            console.err << "--dword goes with set.\n";
            return kExitUsage;
        }
        console.out << store.QueryValue(positional.at(1), positional.at(2)) << '\n';
        return kExitOk;
    }
    if (action == QStringLiteral("set")) {
        const ValueType type = parser.isSet(dwordOption) ? ValueType::RegDword : ValueType::RegSz;
        store.SetKeyValue(positional.at(1), positional.at(2), positional.at(3), type);
        return kExitOk;
    }
    console.err << "Unknown settings action '" << action << "': use get or set.\n\n"
                << parser.helpText();
    return kExitUsage;
}

}  // namespace orvanrx::cli
