#pragma once

#include "aObj.h"

// Finds out whether a newer version of the program has been published.
class AutoUpdater : public aObj
{
public:
    ~AutoUpdater() override;

    // A check in the background, as at every start: it never delays anything and shows nothing;
    // its answer goes to the log.
    virtual void checkForUpdates() = 0;
    // A check the user asked for: the same, and its answer is also shown to the user.
    virtual void checkForUpdatesAndShow() = 0;
};
