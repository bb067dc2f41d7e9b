#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// A scratch directory removed with its files at the end of a test.
struct ScratchDir
{
    std::string path;
    ScratchDir()
    {
        char tmpl[] = "/tmp/vantrel-test-XXXXXX";
        char* p = mkdtemp(tmpl);
        path = p ? p : "";
    }
    ~ScratchDir()
    {
        std::string cmd = "rm -rf '" + path + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", path.c_str());
    }
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
