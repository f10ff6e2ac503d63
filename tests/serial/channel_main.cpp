#include <gtest/gtest.h>

#include <QApplication>

// Terminals are windows, so the channel tests need an application; test discovery runs
// without a display and must not make one.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
