#include <gtest/gtest.h>

#include <QCoreApplication>

// Every test program gets a Qt application, so sockets, timers and locales work.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
