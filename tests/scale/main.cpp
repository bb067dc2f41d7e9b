#include <QGuiApplication>

#include <gtest/gtest.h>

#include "Ob.h"

// The toolkit's font metrics need an application object; the platform is the offscreen one.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Ob::ourTrace = false;
    return RUN_ALL_TESTS();
}
