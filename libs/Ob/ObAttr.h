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
    // Never null: "" when not set.
    char const* getCTypeName() const { return myTypeName.cs(); }
    char const* getCDataType() const { return myDataType.cs(); }

    // Attribute values as document text: reals "%f", read back, in the C locale whatever the
    // user's locale (the toolkit switches the process to the user's locale at start).
    static rtl::str realText(double value);
    static double realValue(char const* text);

    rtl::str myTypeName;
    rtl::str myDataType;
};
