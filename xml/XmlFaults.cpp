#include "XmlFaults.h"

#include <libxml/xmlerror.h>

#include <cctype>

namespace {

std::string withLine(long line, std::string what)
{
    while (!what.empty() && std::isspace(static_cast<unsigned char>(what.back())))
        what.pop_back();
    return line > 0 ? "line " + std::to_string(line) + ": " + what : what;
}

} // namespace

void XmlFaults::note(xmlError const* error)
{
    if (!error || error->level < XML_ERR_ERROR)
        return;
    std::string& kept = error->level == XML_ERR_FATAL ? myFatal : myError;
    if (!kept.empty())
        return;
    std::string const what =
        error->message && *error->message ? error->message : "error " + std::to_string(error->code);
    kept = withLine(error->line, what);
}

void XmlFaults::noteOwn(long line, std::string const& what)
{
    if (!myFatal.empty())
        return;
    myFatal = withLine(line, what);
}
