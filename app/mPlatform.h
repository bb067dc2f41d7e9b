#pragma once

// What must be settled before the application object exists, since Qt reads it while the
// object is built.
class mPlatform
{
public:
    // In a Wayland session where neither the environment (QT_QPA_PLATFORM) nor the command line
    // (-platform) chose a platform, prefers X11 through XWayland, falling back to Wayland where
    // there is none: the pop-up editors place themselves at global screen positions, which a
    // Wayland client cannot do.
    static void beforeApplication(int argc, char** argv);

    // The platform list to set for that session, or null to leave Qt's choice alone.
    static char const* preferredPlatform(int argc, char** argv);
};
