#include <gtest/gtest.h>

#include <QCoreApplication>

// The fetcher and the test's server run on an event loop: one application object for every
// test.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
