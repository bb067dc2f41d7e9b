#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// The folder's tests share one Qt application object (Qt allows one per process), made before any
// test runs. Off screen unless the environment names a platform, so that no window or dialog ever
// waits for a person.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
