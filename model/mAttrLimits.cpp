#include "mAttrLimits.h"

#include "ObAttr.h"
#include "ObObj.h"
#include "ObRecord.h"
#include "XmlReader.h"
#include "aTrace.h"
#include "aTypeName.h"

#include <cstdio>
#include <cstring>
#include <typeinfo>

namespace {

bool refuseValue(XmlReader& r, ObObj const& obj, char const* id, char const* value, char const* why)
{
    char message[512];
    std::snprintf(message, sizeof message, "%s: attribute \"%s\" = \"%.64s\" %s",
                  aTypeName(typeid(obj)), id, value, why);
    A_TRACE_C("red", "%s\n", message);
    r.fail(message);
    return false;
}

bool covers(char const* pattern, char const* name)
{
    std::size_t const n = std::strlen(pattern);
    if (n > 0 && pattern[n - 1] == '*')
        return std::strncmp(pattern, name, n - 1) == 0;
    return std::strcmp(pattern, name) == 0;
}

} // namespace

bool mAttrLimits::accept(XmlReader& r, ObObj const& obj, char const* element,
                         std::span<Range const> ranges)
{
    if (std::strcmp(element, "attr") != 0)
        return true;
    char const* id = nullptr;
    char const* value = nullptr;
    ObAttr attr;
    if (!r.getAttr("_id", id) || !r.getAttr("value", value) || !obj.getAttr(rtl::str(id), attr))
        return true; // the object's own reading deals with it
    char const* type = attr.getCDataType();
    ObAttrKind kind = ObAttrKind::Str;
    if (std::strcmp(type, "float") == 0 || std::strcmp(type, "double") == 0)
        kind = ObAttrKind::Double;
    else if (std::strcmp(type, "int") == 0)
        kind = ObAttrKind::Int;
    double v = 0;
    return check(r, obj, id, value, kind, rangeFor(id, ranges), v);
}

bool mAttrLimits::attrTexts(XmlReader& r, char const*& id, char const*& value)
{
    static char const* const Names[] = {"_id", "_t", "value"};
    char const* values[3];
    if (!r.getAttrs(Names, values, 3))
        return false;
    id = values[0];
    value = values[2];
    return true;
}

mAttrLimits::Range const* mAttrLimits::rangeFor(char const* id, std::span<Range const> ranges)
{
    for (Range const& range : ranges)
        if (covers(range.name, id))
            return &range;
    return nullptr;
}

bool mAttrLimits::check(XmlReader& r, ObObj const& obj, char const* id, char const* value,
                        ObAttrKind kind, Range const* range, double& v)
{
    v = 0;
    if (kind == ObAttrKind::Float || kind == ObAttrKind::Double) {
        if (!ObRecord::realValue(value, v))
            return refuseValue(r, obj, id, value, "is not a finite number");
    } else if (kind == ObAttrKind::Int) {
        int i = 0;
        if (!ObRecord::intValue(value, i))
            return refuseValue(r, obj, id, value, "is not a whole number");
        v = i;
    } else {
        return true;
    }
    if (!range)
        return true;
    bool const aboveLo = range->loOpen ? v > range->lo : v >= range->lo;
    if (!aboveLo || v > range->hi) {
        char why[128];
        std::snprintf(why, sizeof why, "is outside %s%g to %g", range->loOpen ? "above " : "",
                      range->lo, range->hi);
        return refuseValue(r, obj, id, value, why);
    }
    if (range->passes && !range->passes(v))
        return refuseValue(r, obj, id, value, range->fails);
    return true;
}

void mAttrLimits::refuse(XmlReader& r, ObObj const& obj, char const* what)
{
    char message[512];
    std::snprintf(message, sizeof message, "%s: %s", aTypeName(typeid(obj)), what);
    A_TRACE_C("red", "%s\n", message);
    r.fail(message);
}
