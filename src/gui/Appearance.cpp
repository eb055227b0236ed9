#include "gui/Appearance.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "gui/ColorValue.h"
#include "gui/Twips.h"
#include "settings/NumericText.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

namespace {

enum class StoredWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The value of a numeric settings text as a 32-bit integer, a half rounded to even.
std::optional<int> StoredInteger(const QString& text) {
    const std::optional<double> number = NumericTextValue(text);
    if (!number) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> rounded =
        RoundedInRange(*number, std::numeric_limits<std::int32_t>::min(),
                       std::numeric_limits<std::int32_t>::max());
    if (!rounded) {
        return std::nullopt;
    }
    return static_cast<int>(*rounded);
}

void StoreText(const SettingsStore& store, const QString& keyPath, const QString& valueName,
               const QString& text) {
    store.SetKeyValue(keyPath, valueName, text, ValueType::RegSz);
}

StoredWindowState StateOf(const QMdiSubWindow& window) {
    if (window.isMinimized()) {
        return StoredWindowState::Minimized;
    }
    return window.isMaximized() ? StoredWindowState::Maximized : StoredWindowState::Normal;
}

// What the window's position is kept within: the MDI area's viewport, or while the area is
// not shown yet, the available size of its screen.
std::optional<QSize> ViewportSize(const QMdiSubWindow& window) {
    const QMdiArea* area = window.mdiArea();
    if (area == nullptr) {
        return std::nullopt;
    }
    if (area->isVisible()) {
        return area->viewport()->size();
    }
    const QScreen* screen = area->screen();
    if (screen == nullptr) {
        return std::nullopt;
    }
    return screen->availableGeometry().size();
}

// One of the four stored measures of a window placement: how to read it from the window in
// pixels and how to apply a new value.
struct Measure {
    QLatin1String valueName;
    int (*current)(const QWidget&);
    void (*apply)(QWidget&, int pixels);
};

constexpr Measure kMeasures[] = {
    {kWidthValue, [](const QWidget& w) { return w.width(); },
     [](QWidget& w, int px) { w.resize(px, w.height()); }},
    {kHeightValue, [](const QWidget& w) { return w.height(); },
     [](QWidget& w, int px) { w.resize(w.width(), px); }},
    {kTopValue, [](const QWidget& w) { return w.y(); },
     [](QWidget& w, int px) { w.move(w.x(), px); }},
    {kLeftValue, [](const QWidget& w) { return w.x(); },
     [](QWidget& w, int px) { w.move(px, w.y()); }},
};

}  // namespace

void SaveWindowPlacement(const SettingsStore& store, const QString& keyPath,
                         const QMdiSubWindow& window) {
    const StoredWindowState state = StateOf(window);
    std::vector<std::pair<QString, QVariant>> values{
        {kWindowStateValue, QString::number(static_cast<int>(state))}};
    if (state == StoredWindowState::Normal) {
        for (const Measure& measure : kMeasures) {
            values.emplace_back(measure.valueName,
                                QString::number(PixelsToTwips(window, measure.current(window))));
        }
    }
    store.SetKeyValues(keyPath, values, ValueType::RegSz);
}

void RestoreWindowPlacement(const SettingsStore& store, const QString& keyPath,
                            QMdiSubWindow& window, MissingValues missing) {
    const bool writeBack = missing == MissingValues::WriteBack;
    const std::optional<double> state =
        NumericTextValue(store.QueryValue(keyPath, kWindowStateValue));
    if (!state) {
        if (writeBack) {
            StoreText(store, keyPath, kWindowStateValue, QStringLiteral("0"));
        }
    } else if (*state == static_cast<int>(StoredWindowState::Normal)) {
        window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    } else if (*state == static_cast<int>(StoredWindowState::Minimized)) {
        window.setWindowState((window.windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
        return;
    } else if (*state == static_cast<int>(StoredWindowState::Maximized)) {
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        return;
    }

    for (const Measure& measure : kMeasures) {
        const std::optional<int> twips =
            StoredInteger(store.QueryValue(keyPath, measure.valueName));
        if (twips) {
            measure.apply(window, TwipsToPixels(window, *twips));
        } else if (writeBack) {
            StoreText(store, keyPath, measure.valueName,
                      QString::number(PixelsToTwips(window, measure.current(window))));
        }
    }

    if (const std::optional<QSize> viewport = ViewportSize(window)) {
        const QRect inView = PulledIntoView(window.geometry(), *viewport);
        if (inView != window.geometry()) {
            window.setGeometry(inView);
        }
    }
}

QRect PulledIntoView(const QRect& window, const QSize& viewport) {
    if (viewport.isEmpty()) {
        return window;
    }
    const QRect area(QPoint(0, 0), viewport);
    const int stripHeight = std::min(window.height(), kTitleStripHeight);
    const int overlap = std::min(window.right(), area.right()) - std::max(window.left(), 0) + 1;
    const bool reachable = window.top() >= 0 && window.top() + stripHeight <= viewport.height() &&
                           overlap >= std::min(window.width(), kMinVisibleWidth);
    if (reachable) {
        return window;
    }
    const QSize size = window.size().boundedTo(viewport);
    const int left = std::clamp(window.left(), 0, viewport.width() - size.width());
    const int top = std::clamp(window.top(), 0, viewport.height() - size.height());
    return QRect(QPoint(left, top), size);
}

void SaveBackColor(const SettingsStore& store, const QString& keyPath, int value) {
    StoreText(store, keyPath, kBackColorValue, QString::number(value));
}

int RestoreBackColor(const SettingsStore& store, const QString& keyPath, int currentValue) {
    if (const std::optional<int> stored =
            StoredInteger(store.QueryValue(keyPath, kBackColorValue))) {
        return *stored;
    }
    StoreText(store, keyPath, kBackColorValue, QString::number(currentValue));
    return currentValue;
}

void ApplyBackColor(QMdiArea& area, int value) {
    area.setBackground(ColorForValue(value, area.palette()));
}

}  // namespace orvanrx
