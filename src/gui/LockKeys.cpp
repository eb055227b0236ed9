#include "gui/LockKeys.h"

#include <QGuiApplication>

#ifdef ORVANRX_X11_LOCK_KEYS
#include <X11/XKBlib.h>
#endif

namespace orvanrx {

#ifdef ORVANRX_X11_LOCK_KEYS
namespace {

// The named indicator's state; nothing when the keyboard has no such indicator.
std::optional<bool> NamedIndicator(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
        return std::nullopt;
    }
    return on == True;
}

}  // namespace
#endif

std::optional<LockKeyStates> ReadDesktopLockKeys() {
#ifdef ORVANRX_X11_LOCK_KEYS
    auto* guiApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (guiApp == nullptr) {
        return std::nullopt;
    }
    const auto* x11 = guiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return std::nullopt;
    }
    const std::optional<bool> caps = NamedIndicator(display, "Caps Lock");
    const std::optional<bool> num = NamedIndicator(display, "Num Lock");
    if (!caps && !num) {
        return std::nullopt;
    }
    return LockKeyStates{caps.value_or(false), num.value_or(false)};
#else
    return std::nullopt;
#endif
}

}  // namespace orvanrx
