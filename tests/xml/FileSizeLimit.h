#pragma once

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

// Files cannot grow beyond the size while it lives, also for root: a write past it fails with
// EFBIG ("File too large") instead of ending the process with SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::fflush(stdout);
        getrlimit(RLIMIT_FSIZE, &myOld);
        myOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = myOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &myOld);
        std::signal(SIGXFSZ, myOldHandler);
    }
    FileSizeLimit(FileSizeLimit const&) = delete;
    FileSizeLimit& operator=(FileSizeLimit const&) = delete;

private:
    rlimit myOld {};
    void (*myOldHandler)(int) = nullptr;
};
