#include "ObRecord.h"

#include "XmlWriter.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace ObRecord {

char const* dataTypeName(ObAttrKind kind)
{
    switch (kind) {
    case ObAttrKind::Str: return "rtl::str";
    case ObAttrKind::Int: return "int";
    case ObAttrKind::Float: return "float";
    case ObAttrKind::Double: return "double";
    case ObAttrKind::Bool: return "bool";
    }
    return "";
}

void intText(int v, rtl::str& out)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%i", v);
    out = buf;
}

void realText(double v, rtl::str& out)
{
    out = ObAttr::realText(v);
}

char const* boolText(bool v)
{
    return v ? "True" : "False";
}

int intValue(char const* text)
{
    // atoi's reading, without its undefined overflow. Plain digits (what the writer writes)
    // read without the C library.
    if (!text)
        return 0;
    int fast = 0;
    std::size_t const length = std::strlen(text);
    auto const res = std::from_chars(text, text + length, fast);
    if (res.ec == std::errc() && res.ptr == text + length && length > 0)
        return fast;
    errno = 0;
    long const v = std::strtol(text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

bool realValue(char const* text, double& v)
{
    double const read = ObAttr::realValue(text ? text : "");
    if (!std::isfinite(read))
        return false;
    v = read;
    return true;
}

bool boolValue(char const* text)
{
    if (!text)
        return false;
    return std::strcmp(text, "T") == 0 || std::strcmp(text, "True") == 0 || std::strcmp(text, "t") == 0 ||
           std::strcmp(text, "true") == 0;
}

float toFloat(double v)
{
    constexpr double Max = std::numeric_limits<float>::max();
    if (v > Max)
        return static_cast<float>(Max);
    if (v < -Max)
        return static_cast<float>(-Max);
    return static_cast<float>(v);
}

void setText(rtl::str& s, char const* text)
{
    if (text && *text)
        s = text;
    else
        s = rtl::str();
}

bool startField(XmlWriter& w, char const* name, ObAttrKind kind)
{
    return w.startElement("attr") && w.addNameAttribute("_id", name) &&
           w.addNameAttribute("_t", dataTypeName(kind));
}

// The same texts as the generic writing gives (intText, realText, boolText): the writer formats
// numbers as "%i" and "%f" in the C locale, and writes "True" and "False".
bool endField(XmlWriter& w, rtl::str const& value)
{
    // A string without text is stored as the empty value.
    return w.addAttribute("value", value.cs()) && w.endElement();
}

bool endField(XmlWriter& w, int value)
{
    return w.addAttribute("value", value) && w.endElement();
}

bool endField(XmlWriter& w, double value)
{
    return w.addAttribute("value", value) && w.endElement();
}

bool endField(XmlWriter& w, bool value)
{
    return w.addAttribute("value", value) && w.endElement();
}

} // namespace ObRecord
