#include "views/FieldChoices.h"

#include <QString>
#include <utility>
#include <vector>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "views/LogGridModel.h"

namespace orvanrx {

namespace {

// The kept values in their order, each with its item and whether it is checked at start.
struct KeptChoice {
    QLatin1String value;
    QLatin1String item;
    bool checkedAtStart;
};

std::vector<KeptChoice> KeptChoices() {
    std::vector<KeptChoice> kept{{kAllCategoriesField, kAllCategoriesItem, false}};
    for (const QLatin1String value :
         {kClassField, kCarNumberField, kBumpField, kDialField, kReactionTimeField, k1000MphField,
          kMarginField, kOvrUndField, kWinField}) {
        for (const FieldChoice& choice : kFieldChoices) {
            if (choice.savedAs == value) {
                kept.push_back({value, choice.item, choice.checkedAtStart});
            }
        }
    }
    return kept;
}

}  // namespace

std::optional<FieldChoice> FindFieldChoice(QLatin1String item) {
    for (const FieldChoice& choice : kFieldChoices) {
        if (choice.item == item) {
            return choice;
        }
    }
    return std::nullopt;
}

void LoadFieldChoices(const SettingsStore& store,
                      const std::function<void(QLatin1String)>& toggle) {
    for (const KeptChoice& kept : KeptChoices()) {
        const QString text = store.QueryValue(kRaceLogFieldsKey, kept.value);
        if (text == (kept.checkedAtStart ? kFalseText : kTrueText)) {
            toggle(kept.item);
        }
    }
}

void SaveFieldChoices(const SettingsStore& store,
                      const std::function<bool(QLatin1String)>& checked) {
    std::vector<std::pair<QString, QVariant>> values;
    for (const KeptChoice& kept : KeptChoices()) {
        values.emplace_back(kept.value,
                            checked(kept.item) ? QString(kTrueText) : QString(kFalseText));
    }
    store.SetKeyValues(kRaceLogFieldsKey, values, ValueType::RegSz);
}

void ApplyFieldChoices(const SettingsStore& store, LogGridModel& grid) {
    LoadFieldChoices(store, [&grid](QLatin1String item) {
        if (const std::optional<FieldChoice> choice = FindFieldChoice(item)) {
            grid.SetHidden(choice->column, choice->checkedAtStart);
        }
    });
}

}  // namespace orvanrx
