#include <QCoreApplication>
#include <gtest/gtest.h>

// Qt's serial ports want an application object in the thread that uses them.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
