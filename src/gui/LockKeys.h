#pragma once

#include <functional>
#include <optional>

namespace orvanrx {

// The keyboard's Caps Lock and Num Lock states.
struct LockKeyStates {
    bool capsLock = false;
    bool numLock = false;
    friend bool operator==(const LockKeyStates&, const LockKeyStates&) = default;
};

// Reads the lock states now; nothing where the platform cannot tell.
using LockKeySource = std::function<std::optional<LockKeyStates>()>;

// The desktop's lock states: on X11 the keyboard extension's indicators ("Caps Lock",
// "Num Lock"); elsewhere (Wayland, no screen) nothing.
std::optional<LockKeyStates> ReadDesktopLockKeys();

}  // namespace orvanrx
