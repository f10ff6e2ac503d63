#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

// The desktop launcher needs a GUI application; discovery (--gtest_list_tests) must not.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
