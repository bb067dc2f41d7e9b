#include "ObBin.h"

#include "ObAttr.h"
#include "ObTrace.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aNumber.h"

#include <cfloat>
#include <cmath>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A real of a document as a float: values beyond the float range are clamped (their
// conversion would be undefined).
float realOf(char const* text)
{
    double v = ObAttr::realValue(text);
    if (v > static_cast<double>(FLT_MAX))
        return FLT_MAX;
    if (v < -static_cast<double>(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(v);
}

rtl::str realText(float v)
{
    return ObAttr::realText(static_cast<double>(v));
}

} // namespace

ObBin::ObBin()
    : mySubIndex(-1)
    , mySubs(nullptr)
    , myParent(nullptr)
{
}

ObBin::~ObBin()
{
    deleteAllSubs();
    myName = rtl::str();
    mySubIndex = -1;
    myParent = nullptr;
}

void ObBin::writeBinary(aIO&, unsigned long)
{
    A_ASSERT(0);
}

void ObBin::readBinary(aIO&, unsigned long)
{
    A_ASSERT(0);
}

unsigned long ObBin::kindOf(rtl::str const& name) const
{
    auto it = myAttrFlags.find(name);
    return it == myAttrFlags.end() ? 0 : (it->second & KindBits);
}

void ObBin::setKind(rtl::str const& name, unsigned long kind)
{
    unsigned long& f = myAttrFlags[name];
    f = (f & ~KindBits) | kind;
}

bool ObBin::hasAttr(rtl::str name) const
{
    return myAttrFlags.count(name) != 0;
}

bool ObBin::hasAttr(char const* name) const
{
    return hasAttr(rtl::str(name));
}

unsigned long ObBin::getAttrFlags(rtl::str name) const
{
    auto it = myAttrFlags.find(name);
    return it == myAttrFlags.end() ? 0 : it->second;
}

void ObBin::setAttrFlags(rtl::str name, unsigned long flags)
{
    myAttrFlags[name] = flags;
}

void ObBin::adjustAttrFlags(rtl::str name, unsigned long set, unsigned long clear)
{
    unsigned long f = getAttrFlags(name);
    f &= ~clear;
    f |= set;
    myAttrFlags[name] = f;
}

namespace {

template <class M, class V>
bool lookup(M const& map, rtl::str const& name, V& out)
{
    auto it = map.find(name);
    if (it == map.end())
        return false;
    out = it->second;
    return true;
}

} // namespace

template <class V, class... Kind> bool ObBin::ownOrInherited(std::map<rtl::str, V> const& own,
                                                             rtl::str const& name, V& out,
                                                             Kind... kind) const
{
    if (lookup(own, name, out))
        return true;
    return (getAttrFlags(name) & ParmInherit) && myParent && myParent->getAttr(name, out, kind...);
}

template <class V, class... Kind>
bool ObBin::nearestUp(rtl::str const& name, V& out, Kind... kind) const
{
    for (ObBin const* b = this; b; b = b->myParent)
        if (b->hasAttr(name))
            return b->getAttr(name, out, kind...);
    return false;
}

bool ObBin::getAttr(rtl::str name, rtl::str& text, bool complex) const
{
    return ownOrInherited(complex ? myComplex : myStrings, name, text, complex);
}

bool ObBin::getAttr(rtl::str name, float& value) const
{
    return ownOrInherited(myFloats, name, value);
}

bool ObBin::getAttr(rtl::str name, int& value) const
{
    return ownOrInherited(myInts, name, value);
}

bool ObBin::getAttr(rtl::str name, bool& value) const
{
    return ownOrInherited(myBools, name, value);
}

bool ObBin::getInheritedAttr(rtl::str name, rtl::str& text, bool complex) const
{
    return nearestUp(name, text, complex);
}

bool ObBin::getInheritedAttr(rtl::str name, float& value) const
{
    return nearestUp(name, value);
}

bool ObBin::getInheritedAttr(rtl::str name, int& value) const
{
    return nearestUp(name, value);
}

bool ObBin::getInheritedAttr(rtl::str name, bool& value) const
{
    return nearestUp(name, value);
}

void ObBin::setAttr(rtl::str name, int value)
{
    switch (kindOf(name)) {
    case 0:
        myInts[name] = value;
        setKind(name, ParmInt);
        break;
    case ParmInt:
        myInts[name] = value;
        break;
    case ParmString: {
        rtl::str t;
        t.set("%i", value);
        myStrings[name] = t;
        break;
    }
    case ParmFloat:
        myFloats[name] = static_cast<float>(value);
        break;
    case ParmBool:
        myBools[name] = value != 0;
        break;
    default:
        A_ASSERT(0);
    }
}

void ObBin::setAttr(rtl::str name, float value)
{
    switch (kindOf(name)) {
    case 0:
        myFloats[name] = value;
        setKind(name, ParmFloat);
        break;
    case ParmFloat:
        myFloats[name] = value;
        break;
    case ParmString:
        myStrings[name] = realText(value);
        break;
    case ParmInt:
        myInts[name] = aNumber::saturateToInt(value);
        break;
    case ParmBool:
        myBools[name] = value != 0.0f || std::isnan(value);
        break;
    default:
        A_ASSERT(0);
    }
}

void ObBin::setAttr(rtl::str name, bool value)
{
    switch (kindOf(name)) {
    case 0:
        myBools[name] = value;
        setKind(name, ParmBool);
        break;
    case ParmBool:
        myBools[name] = value;
        break;
    case ParmString:
        myStrings[name] = rtl::str(value ? "True" : "False");
        break;
    case ParmFloat:
        myFloats[name] = value ? 1.0f : 0.0f;
        break;
    case ParmInt:
        myInts[name] = value ? 1 : 0;
        break;
    default:
        A_ASSERT(0);
    }
}

void ObBin::setAttr(rtl::str name, rtl::str text, bool complex)
{
    if (!complex)
        OB_TRACE("%s setAttr '%s' = '%s' (String)\n", OB_CLASS(*this), name.cs(), text.cs());
    unsigned long want = complex ? ParmComplex : ParmString;
    unsigned long kind = kindOf(name);
    A_ASSERT(kind == 0 || kind == want);
    // A fresh copy: the bin's value must not change with the caller's string.
    rtl::str copy(text.c());
    if (complex)
        myComplex[name] = copy;
    else
        myStrings[name] = copy;
    if (kind == 0)
        setKind(name, want);
}

void ObBin::setAttr(rtl::str name, char const* text, bool complex)
{
    setAttr(name, rtl::str(text), complex);
}

int ObBin::getInt(rtl::str name) const
{
    auto it = myInts.find(name);
    A_ASSERT(it != myInts.end());
    return it->second;
}

bool ObBin::getBool(rtl::str name) const
{
    auto it = myBools.find(name);
    A_ASSERT(it != myBools.end());
    return it->second;
}

float ObBin::getFloat(rtl::str name) const
{
    auto it = myFloats.find(name);
    A_ASSERT(it != myFloats.end());
    return it->second;
}

rtl::str ObBin::getString(rtl::str name) const
{
    auto it = myStrings.find(name);
    A_ASSERT(it != myStrings.end());
    return it->second;
}

char const* ObBin::getCString(rtl::str name) const
{
    auto it = myStrings.find(name);
    A_ASSERT(it != myStrings.end());
    return it->second.cs();
}

rtl::str ObBin::getComplex(rtl::str name) const
{
    auto it = myComplex.find(name);
    A_ASSERT(it != myComplex.end());
    return it->second;
}

char const* ObBin::getCComplex(rtl::str name) const
{
    auto it = myComplex.find(name);
    A_ASSERT(it != myComplex.end());
    return it->second.cs();
}

void ObBin::getAttrNames(std::list<rtl::str>& names) const
{
    for (auto const& f : myAttrFlags)
        names.push_back(f.first);
}

bool ObBin::getAttr(rtl::str name, ObAttr& attr) const
{
    auto it = myAttrFlags.find(name);
    if (it == myAttrFlags.end()) {
        OB_TRACE("NO Flags\n");
        return false;
    }
    unsigned long f = it->second;
    char const* t = nullptr;
    char const* dt = nullptr;
    if (f & ParmString) {
        t = "string";
        dt = "rtl::str";
    } else if (f & ParmInt) {
        t = dt = "int";
    } else if (f & ParmFloat) {
        t = dt = "float";
    } else if (f & ParmBool) {
        t = dt = "bool";
    } else {
        return false;
    }
    attr.setTypeName(t);
    attr.setDataType(dt);
    return true;
}

bool ObBin::getAttrAsString(rtl::str name, rtl::str& text) const
{
    unsigned long f = getAttrFlags(name);
    if (f & ParmBool) {
        bool b = false;
        if (!getAttr(name, b))
            return false;
        text = b ? "True" : "False";
        return true;
    }
    if (f & ParmInt) {
        int i = 0;
        if (!getAttr(name, i))
            return false;
        text.set("%i", i);
        return true;
    }
    if (f & ParmFloat) {
        float v = 0;
        if (!getAttr(name, v))
            return false;
        text = realText(v);
        return true;
    }
    if (f & ParmString)
        return getAttr(name, text, false);
    if (f & ParmComplex)
        return getAttr(name, text, true);
    return false;
}

bool ObBin::setAttrByString(rtl::str name, rtl::str value, char const* typeName)
{
    unsigned long kind = kindOf(name);
    if (kind == 0 && typeName) {
        if (std::strcmp(typeName, "float") == 0)
            kind = ParmFloat;
        else if (std::strcmp(typeName, "string") == 0 || std::strcmp(typeName, "rtl::str") == 0)
            kind = ParmString;
        else if (std::strcmp(typeName, "int") == 0)
            kind = ParmInt;
        else if (std::strcmp(typeName, "bool") == 0)
            kind = ParmBool;
        else if (std::strcmp(typeName, "parms") == 0)
            kind = ParmComplex;
        else
            A_TRACE_C("ired", "Unknown type name (%s) passed to ObBin::setAttrByString\n", typeName);
    }
    if (kind == 0) {
        // No usable type name: the kind follows from the text.
        if (value == "True" || value == "False")
            kind = ParmBool;
        else if (value.numericType() == -1)
            kind = ParmFloat;
        else if (value.numericType() == 1)
            kind = ParmInt;
        else
            kind = ParmString;
    }
    char const* v = value.cs();
    switch (kind) {
    case ParmString:
        setAttr(name, value, false);
        break;
    case ParmComplex:
        setAttr(name, value, true);
        break;
    case ParmInt:
        setAttr(name, static_cast<int>(std::strtol(v, nullptr, 10)));
        break;
    case ParmFloat:
        setAttr(name, realOf(v));
        break;
    default:
        setAttr(name, v[0] == 'T' || v[0] == 't' || v[0] == 'y' || v[0] == 'Y' || realOf(v) != 0.0f);
        break;
    }
    return true;
}

bool ObBin::setAttrByObject(rtl::str name, ObObj* obj)
{
    ObBin* bin = dynamic_cast<ObBin*>(obj);
    if (!bin)
        return false;
    addSub(name, bin);
    return true;
}

bool ObBin::setMultiAttrs(rtl::str, rtl::str assignments)
{
    std::vector<rtl::str> tokens;
    assignments.tokenize(",", tokens, -1);
    for (auto const& token : tokens) {
        std::vector<rtl::str> attrAndVal;
        token.tokenize("=", attrAndVal, -1);
        A_ASSERT(attrAndVal.size()==2);
        rtl::str const& name = attrAndVal[0];
        rtl::str const& val = attrAndVal[1];
        OB_TRACE("Setting multi-attr token: '%s' = '%s'\n", name.cs(), val.cs());
        if (val == "True") {
            OB_TRACE("Set BOOL attr '%s' = True\n", name.cs());
            setAttr(name, true);
        } else if (val == "False") {
            OB_TRACE("Set BOOL attr '%s' = False\n", name.cs());
            setAttr(name, false);
        } else if (val.numericType() == -1) {
            float f = realOf(val.cs());
            OB_TRACE("Set FLOAT attr '%s' = %f\n", name.cs(), static_cast<double>(f));
            setAttr(name, f);
        } else if (val.numericType() == 1) {
            int i = std::atoi(val.cs());
            OB_TRACE("Set INT attr '%s' = %i\n", name.cs(), i);
            setAttr(name, i);
        } else {
            OB_TRACE("Set STRING attr '%s' = '%s'\n", name.cs(), val.cs());
            setAttr(name, val, false);
        }
    }
    return true;
}

ObBin* ObBin::newSub(rtl::str name)
{
    ObBin* b = new ObBin();
    addSub(name, b);
    return b;
}

void ObBin::addSub(rtl::str name, ObBin* bin)
{
    A_ASSERT(bin);
    if (!mySubs)
        mySubs = new SubMap();
    SubList*& list = (*mySubs)[name];
    if (!list)
        list = new SubList();
    bin->myName = rtl::str(name.c());
    bin->mySubIndex = static_cast<int>(list->size());
    bin->myParent = this;
    list->push_back(bin);
}

ObBin* ObBin::getSub(rtl::str name, int index) const
{
    if (!mySubs)
        return nullptr;
    auto it = mySubs->find(name);
    if (it == mySubs->end() || !it->second || it->second->empty())
        return nullptr;
    SubList const& list = *it->second;
    if (index < 0)
        return list.back();
    return static_cast<size_t>(index) < list.size() ? list[static_cast<size_t>(index)] : nullptr;
}

ObBin* ObBin::removeSub(rtl::str name, int index)
{
    if (!mySubs)
        return nullptr;
    auto it = mySubs->find(name);
    if (it == mySubs->end() || !it->second)
        return nullptr;
    SubList& list = *it->second;
    size_t pick = index < 0 ? list.size() - 1 : static_cast<size_t>(index);
    ObBin* taken = nullptr;
    SubList kept;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i == pick && !taken) {
            taken = list[i];
            continue;
        }
        list[i]->mySubIndex = static_cast<int>(kept.size());
        kept.push_back(list[i]);
    }
    list.swap(kept);
    if (taken) {
        taken->myName = rtl::str();
        taken->mySubIndex = -1;
        taken->myParent = nullptr;
    }
    if (list.empty()) {
        delete it->second;
        mySubs->erase(it);
        myAttrFlags.erase(name);
        if (mySubs->empty())
            deleteAllSubs();
    }
    return taken;
}

bool ObBin::deleteSub(rtl::str name, int index)
{
    ObBin* b = removeSub(name, index);
    delete b;
    return b != nullptr;
}

void ObBin::deleteAllSubs()
{
    if (!mySubs)
        return;
    SubMap* subs = mySubs;
    mySubs = nullptr;
    for (auto& entry : *subs) {
        if (entry.second)
            for (ObBin* b : *entry.second)
                delete b;
        delete entry.second;
    }
    delete subs;
}

ObBin* ObBin::getTop()
{
    ObBin* b = this;
    while (b->myParent)
        b = b->myParent;
    return b;
}

rtl::str ObBin::getPath() const
{
    if (!myParent)
        return rtl::str("/");
    std::string p = myParent->getPath().cs();
    p += "/";
    p += myName.cs();
    char index[24];
    std::snprintf(index, sizeof index, "[%i]", mySubIndex);
    p += index;
    return rtl::str(p.c_str());
}

ObBin* ObBin::ensureAtPath(rtl::str path)
{
    ObBin* at = path.startswith("/") ? getTop() : this;
    std::vector<rtl::str> parts;
    path.tokenize("/", parts, -1);
    for (auto const& part : parts) {
        ObBin* next = at->getSub(part, -1);
        at = next ? next : at->newSub(part);
    }
    return at;
}

bool ObBin::copyTo(ObBin* dest, Factory factory) const
{
    A_ASSERT(dest);
    for (auto const& e : myFloats)
        dest->myFloats[e.first] = e.second;
    for (auto const& e : myInts)
        dest->myInts[e.first] = e.second;
    for (auto const& e : myBools)
        dest->myBools[e.first] = e.second;
    for (auto const& e : myStrings)
        dest->myStrings[e.first] = rtl::str(e.second.c());
    for (auto const& e : myComplex)
        dest->myComplex[e.first] = rtl::str(e.second.c());
    for (auto const& e : myAttrFlags)
        dest->myAttrFlags[e.first] = e.second;
    if (!mySubs)
        return true;
    for (auto const& entry : *mySubs) {
        if (!entry.second)
            continue;
        for (ObBin* child : *entry.second) {
            ObBin* copy = nullptr;
            if (factory)
                factory(copy);
            if (!copy)
                copy = new ObBin();
            child->copyTo(copy, factory);
            dest->addSub(entry.first, copy);
        }
    }
    return true;
}

bool ObBin::xmlWrite(XmlWriter& w)
{
    // Complex attributes have no descriptor and are not stored; they must not fail the save.
    std::list<rtl::str> names;
    getAttrNames(names);
    ObAttr attr;
    rtl::str text;
    for (auto const& n : names) {
        if (!getAttr(n, attr)) {
            OB_TRACE("%s can't get attibute descriptor: %s\n", OB_CLASS(*this), n.cs());
            continue;
        }
        if (!getAttrAsString(n, text)) {
            OB_TRACE("%s can't get attibute as string: %s\n", OB_CLASS(*this), n.cs());
            continue;
        }
        if (!w.startElement("attr") || !w.addAttribute("_id", n.cs()) ||
            !w.addAttribute("_t", attr.getCDataType()) || !w.addAttribute("value", text.cs()) ||
            !w.endElement()) {
            std::printf("ObBin %s: attribute '%s' could not be saved\n", getPath().cs(), n.cs());
            return false;
        }
    }
    return xmlWriteChildren(w);
}

bool ObBin::xmlWriteChildren(XmlWriter& w)
{
    if (!mySubs)
        return true;
    for (auto const& entry : *mySubs) {
        if (!entry.second)
            continue;
        for (ObBin* child : *entry.second) {
            if (!child)
                continue;
            if (!w.startElement("object") || !w.addAttribute("_t", child->xmlGetObjectTypeName()) ||
                !w.addAttribute("_id", entry.first.cs()) || !child->xmlWrite(w) ||
                !w.endElement()) {
                std::printf("ObBin %s: child '%s' could not be saved\n", getPath().cs(),
                            entry.first.cs());
                return false;
            }
        }
    }
    return true;
}

bool ObBin::xmlObjFactory(char const* typeName, ObObj*& obj, Obh&, char const*)
{
    if (!typeName || std::strcmp(typeName, "ObBin") != 0)
        return false;
    OB_TRACE("%s::xmlObjFactory making sub of type %s\n", OB_CLASS(*this), typeName);
    obj = new ObBin();
    return true;
}

bool ObBin::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (std::strcmp(name, "object") == 0) {
        char const* type = nullptr;
        char const* id = nullptr;
        if (!r.getAttr("_t", type) || !r.getAttr("_id", id)) {
            A_TRACE_C("ired", "Can't read object with no type tag!\n");
            r.skipElement();
            return true;
        }
        ObObj* made = nullptr;
        Obh h;
        ObBin* child = nullptr;
        if (xmlObjFactory(type, made, h, id))
            child = dynamic_cast<ObBin*>(made);
        if (!child) {
            A_TRACE_C("ired", "Object type %s - couldn't make child object\n", OB_CLASS(*this));
            delete made;
            // A refused child is skipped whole, so its content reaches nobody.
            r.skipElement();
            return true;
        }
        addSub(rtl::str(id), child);
        // An empty element has no end to pop the child at.
        if (!r.isEmptyElement())
            r.pushHandler(child, nullptr);
        return true;
    }
    if (std::strcmp(name, "attr") == 0)
        return ObObj::xmlReadStartElement(r, name, attrCount);
    A_TRACE("Ignoring element '%s'\n", name);
    return false;
}

bool ObBin::xmlReadEndElement(XmlReader& r, char const* name)
{
    return ObObj::xmlReadEndElement(r, name);
}

bool ObBin::xmlReadHandleValue(XmlReader&, char const* text)
{
    A_TRACE("ObObj can't handle XML value read (value = %s)\n", text ? text : "");
    return false;
}

bool ObBin::xmlReadValue(XmlReader& r, char const* text)
{
    return xmlReadHandleValue(r, text);
}

void ObBin::dump(char const* prefix, int depth) const
{
    std::string indent = prefix ? prefix : "";
    for (int i = 0; i < depth; ++i)
        indent += "    ";
    char const* in = indent.c_str();
    std::printf("%s%s\n", in, OB_CLASS(*this));
    for (auto const& e : myFloats)
        std::printf("%sF '%s' \t= %f, flags=%lu\n", in, e.first.cs(), static_cast<double>(e.second),
                    getAttrFlags(e.first));
    for (auto const& e : myInts)
        std::printf("%sI '%s' \t= %i, flags=%lu\n", in, e.first.cs(), e.second,
                    getAttrFlags(e.first));
    for (auto const& e : myBools)
        std::printf("%sB '%s' \t= %s, flags=%lu\n", in, e.first.cs(), e.second ? "True" : "False",
                    getAttrFlags(e.first));
    for (auto const& e : myStrings)
        std::printf("%sS '%s' \t= %s, flags=%lu\n", in, e.first.cs(), e.second.cs(),
                    getAttrFlags(e.first));
    for (auto const& e : myComplex)
        std::printf("%sC '%s' \t= %s, flags=%lu\n", in, e.first.cs(), e.second.cs(),
                    getAttrFlags(e.first));
    if (!mySubs)
        return;
    for (auto const& entry : *mySubs) {
        if (!entry.second)
            continue;
        int count = static_cast<int>(entry.second->size());
        for (ObBin* child : *entry.second) {
            if (count >= 2)
                std::printf("%sO '%s[%i]' (%i of %i named '%s')\n", in, entry.first.cs(),
                            child->mySubIndex, child->mySubIndex + 1, count, entry.first.cs());
            else
                std::printf("%sO '%s'\n", in, entry.first.cs());
            child->dump(prefix, depth + 1);
        }
    }
}
