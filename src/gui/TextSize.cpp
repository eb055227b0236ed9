#include "gui/TextSize.h"

#include <QActionGroup>
#include <QMenu>
#include <algorithm>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

namespace {

bool IsChoice(int percent) {
    return std::any_of(kTextSizes.begin(), kTextSizes.end(),
                       [percent](const TextSizeChoice& c) { return c.percent == percent; });
}

}  // namespace

int ReadTextSize(const SettingsStore& settings) {
    bool number = false;
    const int percent = settings.QueryValue(kMainScreenSettingsKey, kTextSizeValue).toInt(&number);
    return number && IsChoice(percent) ? percent : kNormalTextSize;
}

void SaveTextSize(const SettingsStore& settings, int percent) {
    settings.SetKeyValue(kMainScreenSettingsKey, kTextSizeValue, percent, ValueType::RegDword);
}

QMenu* AddTextSizeMenu(QMenu& view, int percent, std::function<void(int)> chosen) {
    QMenu* menu = view.addMenu(QMenu::tr("Te&xt Size"));
    menu->setObjectName(QStringLiteral("miTextSize"));
    menu->menuAction()->setObjectName(QStringLiteral("miTextSize"));
    auto* group = new QActionGroup(menu);
    for (const TextSizeChoice& choice : kTextSizes) {
        QAction* item = menu->addAction(QString::fromLatin1(choice.caption));
        item->setObjectName(QStringLiteral("miTextSize%1").arg(choice.percent));
        item->setCheckable(true);
        item->setChecked(choice.percent == percent);
        item->setStatusTip(
            QMenu::tr("Text of the race log, filter and time slip at %1%").arg(choice.percent));
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, menu,
                         [chosen, p = choice.percent] { chosen(p); });
    }
    return menu;
}

}  // namespace orvanrx
