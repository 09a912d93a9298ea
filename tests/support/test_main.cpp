#include <gtest/gtest.h>

#include <QCoreApplication>

// Every test program gets a Qt application, so sockets, timers and locales work.
int main(int argc, char** argv) {
    // No test, nor any program a test runs, may reach the desktop's own keyring.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
