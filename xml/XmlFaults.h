#pragma once

#include <string>

struct _xmlError;

// The errors a parse reports, kept for the message that tells a user why a file did not open:
// the first fatal one, else the first error, each as "line N: what libxml2 says".
class XmlFaults
{
public:
    void note(_xmlError const* error);
    // A fault the reader finds itself, where the parser would have raised one of its own.
    void noteOwn(long line, std::string const& what);
    std::string const& reason() const { return myFatal.empty() ? myError : myFatal; }
    bool empty() const { return reason().empty(); }
    // Whether the reason is one the reader found itself.
    bool own() const { return myOwn; }

    // The reason one parse of the whole file gives, without handing on a node: a parse resumed
    // inside a file names its prefix's lines where a fault points back at a start tag.
    static std::string ofWholeFile(int fd, std::string const& path);

private:
    std::string myFatal;
    std::string myError;
    bool myOwn = false;
};
