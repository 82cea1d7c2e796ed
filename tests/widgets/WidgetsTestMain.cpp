#include <cstdlib>

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The real widgets, without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
