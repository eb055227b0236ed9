#pragma once

#include <QByteArray>

namespace orvanrx {

// The pit view's page: one HTML file with its style and script inline, built into the
// program as a resource.
QByteArray PitViewPage();

}  // namespace orvanrx
