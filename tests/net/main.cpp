#include <gtest/gtest.h>

#include <QCoreApplication>

// Sockets deliver their events through the Qt event loop, so the tests need an application.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
