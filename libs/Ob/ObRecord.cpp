#include "ObRecord.h"

#include "XmlWriter.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Whether the text is wholly a decimal number: a sign, digits, and for a real a point and an
// exponent, with nothing before or after (a blank, a unit, a decimal comma).
bool numberText(char const* p, bool real)
{
    auto sign = [&p] {
        if (*p == '+' || *p == '-')
            ++p;
    };
    auto digits = [&p] {
        char const* const from = p;
        while (*p >= '0' && *p <= '9')
            ++p;
        return p != from;
    };
    sign();
    bool const whole = digits();
    if (!real)
        return whole && *p == '\0';
    bool fraction = false;
    if (*p == '.') {
        ++p;
        fraction = digits();
    }
    if (!whole && !fraction)
        return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        sign();
        if (!digits())
            return false;
    }
    return *p == '\0';
}

} // namespace

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

bool intValue(char const* text, int& v)
{
    // Plain digits (what the writer writes) read without the C library.
    if (!text)
        return false;
    int fast = 0;
    std::size_t const length = std::strlen(text);
    auto const res = std::from_chars(text, text + length, fast);
    if (res.ec == std::errc() && res.ptr == text + length && length > 0) {
        v = fast;
        return true;
    }
    // A leading "+", or digits beyond the range (strtol's reading, clamped).
    if (!numberText(text, false))
        return false;
    long const read = std::strtol(text, nullptr, 10);
    v = read > INT_MAX ? INT_MAX : read < INT_MIN ? INT_MIN : static_cast<int>(read);
    return true;
}

bool realValue(char const* text, double& v)
{
    if (!text)
        return false;
    // What the writer writes ("-12.500000") reads and checks in one pass; anything else must be
    // wholly a number before the C library reads it.
    double read = 0.0;
    std::size_t const length = std::strlen(text);
    auto const res = std::from_chars(text, text + length, read, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != text + length || length == 0) {
        if (!numberText(text, true))
            return false;
        read = ObAttr::realValue(text);
    }
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
