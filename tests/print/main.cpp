#include <gtest/gtest.h>

#include <QGuiApplication>

#include "print/PrintFonts.h"

// Fonts need a QGuiApplication; without a display it runs offscreen.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    orvanrx::UseFaceStandIns();  // as both programs have them
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
