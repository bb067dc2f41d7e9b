#pragma once

#include "ObAttr.h"
#include "ObObj.h"

#include <gtest/gtest.h>

#include <list>
#include <ostream>
#include <string>
#include <vector>

// One attribute of a record: its name, its data type name (the "_t" of a saved "attr" element)
// and its value as text.
struct AttrText
{
    std::string name, type, text;
    bool operator==(AttrText const&) const = default;
};

inline std::ostream& operator<<(std::ostream& o, AttrText const& a)
{
    return o << a.name << " " << a.type << " \"" << a.text << "\"";
}

// The attributes as the description interface gives them, in the order of the names list.
inline std::vector<AttrText> describedAttrs(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::vector<AttrText> out;
    for (rtl::str const& n : names) {
        ObAttr attr;
        rtl::str text;
        EXPECT_TRUE(o.getAttr(n, attr)) << n.c();
        EXPECT_TRUE(o.getAttrAsString(n, text)) << n.c();
        out.push_back({n.c(), attr.getCDataType(), text.cs()});
    }
    return out;
}
