#include "gui/DesktopNotifier.h"

#ifdef ORVANRX_DBUS_NOTIFIER
#include "gui/DbusNotifier.h"
#endif

namespace orvanrx {

namespace {

class NoNotifier final : public DesktopNotifier {
public:
    void Notify(const QString&, const QString&) override {}
};

}  // namespace

std::unique_ptr<DesktopNotifier> MakeDesktopNotifier() {
#ifdef ORVANRX_DBUS_NOTIFIER
    return std::make_unique<DbusNotifier>(QDBusConnection::sessionBus());
#else
    return std::make_unique<NoNotifier>();
#endif
}

}  // namespace orvanrx
