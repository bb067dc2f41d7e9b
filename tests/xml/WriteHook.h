#pragma once

#include "XmlWriter.h"

#include <cerrno>
#include <functional>
#include <unistd.h>
#include <utility>

// The writes of every XmlWriter go through the function given, for as long as this lives: a
// test stands in for the file system there. system() is the real call.
class WriteHook
{
public:
    using Write = std::function<ssize_t(int fd, void const* bytes, size_t size, bool direct)>;

    explicit WriteHook(Write write) : myOld(XmlWriter::ourWriteCall)
    {
        current() = std::move(write);
        XmlWriter::ourWriteCall = &call;
    }
    ~WriteHook()
    {
        XmlWriter::ourWriteCall = myOld;
        current() = nullptr;
    }
    WriteHook(WriteHook const&) = delete;
    WriteHook& operator=(WriteHook const&) = delete;

    static ssize_t system(int fd, void const* bytes, size_t size)
    {
        return ::write(fd, bytes, size);
    }

    // Writes that much more, then fails every write with the error given, as a full disk does.
    static Write failingAfter(size_t room, int error)
    {
        return [room, error](int fd, void const* bytes, size_t size, bool) mutable -> ssize_t {
            if (room == 0) {
                errno = error;
                return -1;
            }
            ssize_t const n = system(fd, bytes, std::min(size, room));
            if (n > 0)
                room -= static_cast<size_t>(n);
            return n;
        };
    }

private:
    static Write& current()
    {
        static Write write;
        return write;
    }
    static ssize_t call(int fd, void const* bytes, size_t size, bool direct)
    {
        return current()(fd, bytes, size, direct);
    }

    XmlWriter::WriteCall myOld;
};
