#include "mPlatform.h"

#include <cstdlib>
#include <cstring>

namespace {

bool isSet(char const* name)
{
    char const* value = std::getenv(name);
    return value && *value;
}

bool platformOnCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc && argv[i]; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0)
            return true;
    return false;
}

bool waylandSession()
{
    char const* type = std::getenv("XDG_SESSION_TYPE");
    return isSet("WAYLAND_DISPLAY") || (type && std::strcmp(type, "wayland") == 0);
}

} // namespace

char const* mPlatform::preferredPlatform(int argc, char** argv)
{
    if (!waylandSession() || isSet("QT_QPA_PLATFORM") || platformOnCommandLine(argc, argv))
        return nullptr;
    return "xcb;wayland";
}

void mPlatform::beforeApplication(int argc, char** argv)
{
    if (char const* platform = preferredPlatform(argc, argv))
        setenv("QT_QPA_PLATFORM", platform, 1);
}
