#include "AutoUpdaterFeed.h"
#include "CocoaInitializer.h"
#include "mApp.h"
#include "mPlatform.h"
#include "mTrace.h"

#include <QDir>
#include <QTimer>

#include <cstdio>

#ifndef VANTREL_UPDATE_FEED_URL
#error "VANTREL_UPDATE_FEED_URL: the update feed's address comes from the build"
#endif

int main(int argc, char** argv)
{
    // The trace reaches a pipe or a file line by line, as it reaches a terminal: what led up to
    // a crash or a kill is never lost in a buffer.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    mPlatform::beforeApplication(argc, argv);
    mApp app(argc, argv);
    mApp::setIdentity();

    // Plug-ins shipped beside the program: "lib" beside its folder (the parent itself when
    // there is none).
    QDir lib(QCoreApplication::applicationDirPath());
    lib.cdUp();
    lib.cd("lib");
    QCoreApplication::addLibraryPath(lib.absolutePath());

    CocoaInitializer platform;
    mApp::ourAutoUpdater = new AutoUpdaterFeed(VANTREL_UPDATE_FEED_URL);
    mApp::ourAutoUpdater->checkForUpdates();

    // The documents named on the command line arrive as the system's open requests would.
    app.postFileArguments();
    M_TRACE("Trigger launch CB...\n");
    QTimer::singleShot(1000, &app, &mApp::launchCb);
    return app.run();
}
