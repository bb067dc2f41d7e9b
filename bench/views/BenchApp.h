#pragma once

#include <QApplication>

#include <cstdlib>

// The one application object of a painting benchmark, made on first use: fonts need one, and the
// component's scene needs the widgets' one. Off screen unless the environment names a platform.
inline void ensureBenchApp()
{
    static QApplication* ourApp = nullptr;
    if (ourApp)
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_views";
    static char* argv[] = {name, nullptr};
    ourApp = new QApplication(argc, argv);
}
