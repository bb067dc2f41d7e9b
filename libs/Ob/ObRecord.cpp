#include "ObRecord.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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
    // atoi's reading, without its undefined overflow.
    errno = 0;
    long const v = std::strtol(text ? text : "", nullptr, 10);
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

} // namespace ObRecord
