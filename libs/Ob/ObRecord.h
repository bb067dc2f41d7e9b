#pragma once

#include "ObAttr.h"
#include "ObObj.h"
#include "str.h"

#include <cstddef>
#include <cstring>
#include <list>

class XmlWriter;

// Attribute records typed once, as data.
//
// A record is a class with one member per attribute and, per attribute, a virtual getter, setter
// and check (attribute by attribute, in order) followed by one virtual hook per attribute. Its
// attributes are listed once, as an X-list of (type, name, Name, default):
//
//     #define MY_THING_ATTRS(A) A(int, index, Index, -1) A(rtl::str, note, Note, {})
//
//     class myThingData : public ObObj
//     {
//         OB_RECORD(myThingData, ObObj, MY_THING_ATTRS)
//     };
//
// From that list follow the members (myIndex, myNote), the accessors (getIndex, setIndex,
// checkIndex, ..., hookIndex, hookNote), resetAttrs() (every attribute back to its default),
// the static field table fields() and the four by-name operations of ObObj (getAttrNames,
// getAttr, getAttrAsString, setAttrByString) with their texts. The by-name operations handle the
// record's own names and pass any other name to the base, so a derived record lists its own
// attributes before its base's.
//
// The value types are rtl::str, int, float, double and bool. A setter asks the check, stores,
// then calls the hook with the old and the new value (even when they are equal); a class built
// on the record overrides checks to refuse and hooks to react. Reading by name
// (setAttrByString) stores directly, without check or hook.
//
// Texts: strings unchanged, ints "%i", reals "%f" in the C locale, bools "True"/"False". Read
// back: bools are true for exactly "T", "True", "t" or "true"; ints and reals are decimal in the
// C locale and the whole text (a sign, digits, for reals a point and an exponent), with ints
// beyond the int range clamped to it. Any other text ("", "abc", "12abc", " 5", "1.5" for an
// int) and a real that is not finite ("nan", "inf") are refused and leave the value as it was.

enum class ObAttrKind : unsigned char { Str, Int, Float, Double, Bool };

// One attribute of record R: its name, its kind and where its member lives.
template <class R>
struct ObRecordField
{
    constexpr ObRecordField(char const* n, rtl::str R::*p) : name(n), kind(ObAttrKind::Str), s(p) {}
    constexpr ObRecordField(char const* n, int R::*p) : name(n), kind(ObAttrKind::Int), i(p) {}
    constexpr ObRecordField(char const* n, float R::*p) : name(n), kind(ObAttrKind::Float), f(p) {}
    constexpr ObRecordField(char const* n, double R::*p) : name(n), kind(ObAttrKind::Double), d(p) {}
    constexpr ObRecordField(char const* n, bool R::*p) : name(n), kind(ObAttrKind::Bool), b(p) {}

    char const* name;
    ObAttrKind kind;
    union {
        rtl::str R::*s;
        int R::*i;
        float R::*f;
        double R::*d;
        bool R::*b;
    };
};

// The field table of one record: a view of its static array.
template <class R>
struct ObRecordFields
{
    ObRecordField<R> const* first;
    std::size_t count;

    ObRecordField<R> const* begin() const { return first; }
    ObRecordField<R> const* end() const { return first + count; }
    std::size_t size() const { return count; }
    ObRecordField<R> const& operator[](std::size_t i) const { return first[i]; }
};

// The by-name operations over a field table, shared by every record.
namespace ObRecord {

// The data type name written as "_t": "rtl::str", "int", "float", "double" or "bool".
char const* dataTypeName(ObAttrKind kind);
// Value texts, as described above.
void intText(int v, rtl::str& out);
void realText(double v, rtl::str& out);
char const* boolText(bool v);
bool intValue(char const* text, int& v);
bool realValue(char const* text, double& v);
bool boolValue(char const* text);
// The float nearest to a finite double, saturating at the float range.
float toFloat(double v);
// A text read into a string attribute. An empty one leaves the string without text, as a fresh
// record's string is: it is written back the same, and costs no buffer of its own (documents
// hold several empty strings per event).
void setText(rtl::str& s, char const* text);

template <class R>
ObRecordField<R> const* find(ObRecordFields<R> fields, char const* n)
{
    for (auto const& f : fields)
        if (f.name[0] == n[0] && std::strcmp(f.name, n) == 0)
            return &f;
    return nullptr;
}

template <class R>
ObRecordField<R> const* find(ObRecordFields<R> fields, rtl::str const& name)
{
    return find(fields, name.c());
}

template <class R>
void appendNames(ObRecordFields<R> fields, std::list<rtl::str>& names)
{
    for (auto const& f : fields)
        names.emplace_back(f.name);
}

template <class R>
void toText(R const& r, ObRecordField<R> const& f, rtl::str& out)
{
    switch (f.kind) {
    case ObAttrKind::Str: out = r.*f.s; break;
    case ObAttrKind::Int: intText(r.*f.i, out); break;
    case ObAttrKind::Float: realText(r.*f.f, out); break;
    case ObAttrKind::Double: realText(r.*f.d, out); break;
    case ObAttrKind::Bool: out = boolText(r.*f.b); break;
    }
}

// Stores the value of the text directly; false (nothing stored) for a number refused above.
template <class R>
bool fromText(R& r, ObRecordField<R> const& f, char const* text)
{
    double v = 0.0;
    switch (f.kind) {
    case ObAttrKind::Str: setText(r.*f.s, text); return true;
    case ObAttrKind::Int: return intValue(text, r.*f.i);
    case ObAttrKind::Bool: r.*f.b = boolValue(text); return true;
    case ObAttrKind::Float:
        if (!realValue(text, v))
            return false;
        r.*f.f = toFloat(v);
        return true;
    case ObAttrKind::Double:
        if (!realValue(text, v))
            return false;
        r.*f.d = v;
        return true;
    }
    return false;
}

template <class R>
bool fromText(R& r, ObRecordField<R> const& f, rtl::str const& text)
{
    if (f.kind == ObAttrKind::Str) {
        if (text)
            r.*f.s = text; // shares the text
        else
            r.*f.s = rtl::str();
        return true;
    }
    return fromText(r, f, text.c());
}

// The start of one "attr" element, its value still to come: "_id" and "_t".
bool startField(XmlWriter& w, char const* name, ObAttrKind kind);
bool endField(XmlWriter& w, rtl::str const& value);
bool endField(XmlWriter& w, int value);
bool endField(XmlWriter& w, double value);
bool endField(XmlWriter& w, bool value);

// One "attr" element per field, in table order, each value written as its type: what the
// generic writing does name by name, without looking each name up or allocating a text.
template <class R>
bool writeFields(R const& r, ObRecordFields<R> fields, XmlWriter& w)
{
    for (auto const& f : fields) {
        if (!startField(w, f.name, f.kind))
            return false;
        bool ok = false;
        switch (f.kind) {
        case ObAttrKind::Str: ok = endField(w, r.*f.s); break;
        case ObAttrKind::Int: ok = endField(w, r.*f.i); break;
        case ObAttrKind::Float: ok = endField(w, static_cast<double>(r.*f.f)); break;
        case ObAttrKind::Double: ok = endField(w, r.*f.d); break;
        case ObAttrKind::Bool: ok = endField(w, r.*f.b); break;
        }
        if (!ok)
            return r.xmlValueRefused(w, f.name);
    }
    return true;
}

} // namespace ObRecord

// One X-list entry is (type, name, Name, default); these expand it.
#define OB_RECORD_DEFAULT(type, name, Name, def) \
    static type default##Name() { return def; }
#define OB_RECORD_ACCESS(type, name, Name, def)          \
    virtual type get##Name() const { return my##Name; }  \
    virtual bool set##Name(type value)                   \
    {                                                    \
        if (!check##Name(value))                         \
            return false;                                \
        type old = my##Name;                             \
        my##Name = value;                                \
        hook##Name(old, value);                          \
        return true;                                     \
    }                                                    \
    virtual bool check##Name(type) const { return true; }
#define OB_RECORD_HOOK(type, name, Name, def) virtual void hook##Name(type, type) {}
#define OB_RECORD_FIELD(type, name, Name, def) ObRecordField<RecordSelf>(#name, &RecordSelf::my##Name),
#define OB_RECORD_RESET(type, name, Name, def) my##Name = default##Name();
#define OB_RECORD_MEMBER(type, name, Name, def) type my##Name = default##Name();

// The body of a record class: see the top of this file.
#define OB_RECORD(Self, Base, LIST)                                                                \
public:                                                                                            \
    using RecordSelf = Self;                                                                       \
    LIST(OB_RECORD_DEFAULT)                                                                        \
    LIST(OB_RECORD_ACCESS)                                                                         \
    LIST(OB_RECORD_HOOK)                                                                           \
    static ObRecordFields<Self> fields()                                                           \
    {                                                                                              \
        static constexpr ObRecordField<Self> table[] = {LIST(OB_RECORD_FIELD)};                        \
        return {table, sizeof table / sizeof table[0]};                                            \
    }                                                                                              \
    void resetAttrs() { LIST(OB_RECORD_RESET) }                                                    \
    void getAttrNames(std::list<rtl::str>& names) const override                                   \
    {                                                                                              \
        ObRecord::appendNames(fields(), names);                                                    \
        Base::getAttrNames(names);                                                                 \
    }                                                                                              \
    bool getAttr(rtl::str name, ObAttr& attr) const override                                       \
    {                                                                                              \
        auto const* f = ObRecord::find(fields(), name);                                            \
        if (!f)                                                                                    \
            return Base::getAttr(name, attr);                                                      \
        attr.setDataType(ObRecord::dataTypeName(f->kind));                                         \
        return true;                                                                               \
    }                                                                                              \
    bool getAttrAsString(rtl::str name, rtl::str& text) const override                             \
    {                                                                                              \
        auto const* f = ObRecord::find(fields(), name);                                            \
        if (!f)                                                                                    \
            return Base::getAttrAsString(name, text);                                              \
        ObRecord::toText(*this, *f, text);                                                         \
        return true;                                                                               \
    }                                                                                              \
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override                 \
    {                                                                                              \
        auto const* f = ObRecord::find(fields(), name);                                            \
        if (!f)                                                                                    \
            return Base::setAttrByString(name, value, type);                                       \
        return ObRecord::fromText(*this, *f, value);                                               \
    }                                                                                              \
    bool xmlWriteAttrs(XmlWriter& w) override                                                      \
    {                                                                                              \
        if (!ObRecord::writeFields(*this, fields(), w))                                            \
            return false;                                                                          \
        std::list<rtl::str> baseNames;                                                             \
        Base::getAttrNames(baseNames);                                                             \
        for (rtl::str const& n : baseNames)                                                        \
            if (!xmlWriteAttr(w, n))                                                               \
                return false;                                                                      \
        return true;                                                                               \
    }                                                                                              \
    LIST(OB_RECORD_MEMBER)
