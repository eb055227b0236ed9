#include "Commands.h"
#include "settings/SettingsStore.h"

namespace orvanrx::cli {

int RunSettings(const SettingsOptions& options, Console& console) {
    const SettingsStore store = SettingsStore::ForCurrentUser();
    if (!options.set) {
        console.out << store.QueryValue(options.key, options.name) << '\n';
        return kExitOk;
    }
    const ValueType type = options.dword ? ValueType::RegDword : ValueType::RegSz;
    store.SetKeyValue(options.key, options.name, options.value, type);
    return kExitOk;
}

}  // namespace orvanrx::cli
