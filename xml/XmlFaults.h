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

private:
    std::string myFatal;
    std::string myError;
};
