#pragma once

#include "str.h"

// Description of one attribute: its type name (set only by attribute bins) and its data type
// name ("rtl::str", "int", "float", "double" or "bool").
class ObAttr
{
public:
    ObAttr() {}

    void setTypeName(char const* type) { myTypeName = type; }
    void setDataType(char const* type) { myDataType = type; }
    char const* getCTypeName() const { return myTypeName.c(); }
    char const* getCDataType() const { return myDataType.c(); }

    rtl::str myTypeName;
    rtl::str myDataType;
};
