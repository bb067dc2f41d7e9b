#pragma once

#include <fcntl.h>
#include <string>
#include <sys/fsuid.h>
#include <unistd.h>

// While it lives, this thread meets the file system as the user "nobody" (65534) would, where
// the tests run as root: permission bits stop its writes again, and root's power to pass them
// comes back at the end. Only the file system identity of the calling thread changes, so the
// process and its other threads keep theirs. Without root nothing changes: the bits already hold.
class AsNobody
{
public:
    static constexpr uid_t Nobody = 65534;

    AsNobody()
    {
        if (::geteuid() != 0)
            return;
        myOldGroup = ::setfsgid(Nobody);
        myOldUser = ::setfsuid(Nobody);
        myChanged = true;
    }
    ~AsNobody()
    {
        if (!myChanged)
            return;
        ::setfsuid(myOldUser);
        ::setfsgid(myOldGroup);
    }
    AsNobody(AsNobody const&) = delete;
    AsNobody& operator=(AsNobody const&) = delete;

    // Empty when a folder with no write permission refuses a new file now; else why it cannot
    // be shown here (to skip with).
    static std::string whyNotShown(std::string const& readOnlyFolder)
    {
        std::string const probe = readOnlyFolder + "/probe";
        int const fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return std::string();
        ::close(fd);
        ::unlink(probe.c_str());
        return "this thread may still write into a folder without write permission (" +
               readOnlyFolder + "); the system lets it act as nobody in name only";
    }

private:
    bool myChanged = false;
    uid_t myOldUser = 0;
    gid_t myOldGroup = 0;
};
