#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

// A fresh directory of the test's own under the temporary folder, removed with everything in it
// when the test ends. When none can be made the test stops there: files meant for it must never
// land beside an empty path (in "/", as root).
struct ScratchDir
{
    std::string path;

    ScratchDir()
    {
        char const* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-test-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::system_error(errno, std::generic_category(), "no scratch directory " + pattern);
        path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        if (ec)
            ADD_FAILURE() << "could not remove " << path << ": " << ec.message();
    }
    ScratchDir(ScratchDir const&) = delete;
    ScratchDir& operator=(ScratchDir const&) = delete;

    std::string file(char const* name) const { return path + "/" + name; }
};

inline std::string readFile(std::string const& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(std::string const& path, std::string const& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// The names of what a folder holds, hidden ones included, in order.
inline std::vector<std::string> listing(std::string const& dir)
{
    std::vector<std::string> names;
    for (auto const& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The descriptors the process has open now.
inline std::size_t openDescriptors()
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator()));
}
