#include "ObObj.h"

#include "ObAttr.h"
#include "ObEngine.h"
#include "ObTrace.h"
#include "Obt.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <typeindex>

ObObj::ObObj()
    : myReadAttrObj(nullptr)
{
}

ObObj::~ObObj()
{
    ObObj::clearObj();
}

char const* ObObj::xmlGetObjectTypeName()
{
    // One demangling per class: names are written once per object of a document, by the threads
    // that write runs of a pool's objects too. A thread asks the shared table only when the class
    // differs from its last one.
    static std::mutex lock;
    static std::map<std::type_index, std::string> names;
    static thread_local std::type_index lastClass = typeid(void);
    static thread_local char const* lastName = nullptr;
    std::type_index const key(typeid(*this));
    if (lastName && key == lastClass)
        return lastName;
    std::lock_guard<std::mutex> held(lock);
    auto it = names.find(key);
    if (it == names.end())
        it = names.emplace(key, Xml::className(typeid(*this))).first;
    lastClass = key;
    lastName = it->second.c_str();
    return lastName;
}

bool ObObj::setAttrByString(rtl::str name, rtl::str, char const* type)
{
    A_TRACE_C("ired", "%s: IGNORING UNKNOWN %s Attribute\n", type ? type : OB_CLASS(*this),
              name.cs());
    return false;
}

bool ObObj::hasAttr(char const* name) const
{
    ObAttr attr;
    return getAttr(rtl::str(name), attr);
}

void ObObj::dump(char const* prefix, int indent) const
{
    OB_TRACE("%s DUMPING\n", OB_CLASS(*this));
    std::string lead = prefix ? prefix : "";
    for (int i = 0; i < indent; ++i)
        lead += "    ";
    std::list<rtl::str> names;
    getAttrNames(names);
    std::printf("%s%s - %i attrs\n", lead.c_str(), OB_CLASS(*this), static_cast<int>(names.size()));
    for (auto const& n : names) {
        rtl::str text;
        if (getAttrAsString(n, text))
            std::printf("%s  '%s' = %s\n", lead.c_str(), n.cs(), text.cs());
        else
            std::printf("%s  '%s' = CAN'T GET STRING VALUE\n", lead.c_str(), n.cs());
    }
}

bool ObObj::xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const*)
{
    return ObEngine::makeForRead(typeName, obj, h);
}

bool ObObj::xmlWrite(XmlWriter& w)
{
    return xmlWriteAttrs(w) && xmlWriteChildren(w);
}

bool ObObj::xmlWriteAttrs(XmlWriter& w)
{
    std::list<rtl::str> names;
    getAttrNames(names);
    if (names.empty())
        OB_TRACE("%s NO ATTRS to save to XML\n", OB_CLASS(*this));
    else
        OB_TRACE("%s %i ATTRS to save to XML\n", OB_CLASS(*this), static_cast<int>(names.size()));
    for (auto const& n : names)
        if (!xmlWriteAttr(w, n))
            return false;
    return true;
}

bool ObObj::xmlWriteAttr(XmlWriter& w, rtl::str const& n)
{
    ObAttr attr;
    rtl::str text;
    if (!getAttr(n, attr)) {
        A_TRACE_C("ired", "%s can't get attibute descriptor: %s\n", OB_CLASS(*this), n.cs());
        return false;
    }
    if (!w.startElement("attr") || !w.addAttribute("_id", n.cs()))
        return false;
    OB_TRACE("%s.attr = %s\n", OB_CLASS(*this), n.cs());
    if (!w.addAttribute("_t", attr.getCDataType()))
        return false;
    if (!getAttrAsString(n, text)) {
        A_TRACE_C("ired", "%s can't get attibute as string: %s\n", OB_CLASS(*this), n.cs());
        return false;
    }
    // A string without text is stored as the empty value.
    if (!w.addAttribute("value", text.cs()) || !w.endElement()) {
        std::printf("%s: attribute '%s' could not be saved\n", OB_CLASS(*this), n.cs());
        return xmlValueRefused(w, n.cs());
    }
    return true;
}

bool ObObj::xmlValueRefused(XmlWriter& w, char const* attr) const
{
    std::string const what =
        userNoun() ? std::string("the ") + attr + " of " + userNoun()
                   : std::string("the attribute '") + attr + "' of " + OB_CLASS(*this);
    w.nameRefused(what);
    return false;
}

bool ObObj::xmlReadStartElement(XmlReader& r, char const* name, int)
{
    if (std::strcmp(name, "object") == 0) {
        A_TRACE("base class ObObj doesn't know how to handle embedded sub-object tag '<object>'\n");
        return false;
    }
    if (std::strcmp(name, "attr") != 0) {
        A_TRACE("Ignoring element '%s'\n", name);
        return false;
    }
    char const* id = nullptr;
    char const* type = nullptr;
    bool hasId = r.getAttr("_id", id);
    bool hasType = r.getAttr("_t", type);
    if (!hasId && !hasType) {
        A_TRACE_C("ired", "Can't read attr element with no '_t' (type), and no '_id' attrs!\n");
        return true;
    }
    if (!hasType) {
        A_TRACE_C("ired", "Can't read attr element with no '_t' (type) attr! (id = %s)\n", id);
        return true;
    }
    if (!hasId) {
        A_TRACE_C("ired", "Can't read attr element with no '_id' attr! (type= %s)\n", type);
        return true;
    }
    if (std::strcmp(type, "object") == 0) {
        myReadAttrId = id;
        return true;
    }
    char const* value = nullptr;
    if (!r.getAttr("value", value)) {
        A_TRACE_C("ired", "Found attribute element with no value that isn't an 'object' (it is %s)\n", type);
        return true;
    }
    if (std::strcmp(type, "str") == 0)
        type = "string";
    if (!setAttrByString(rtl::str(id), rtl::str(value), type))
        A_TRACE_C("iyellow", "Object failed to set attribute '%s' = '%s' of type (%s)\n", id, value, type);
    return true;
}

bool ObObj::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "attr") == 0) {
        if (myReadAttrObj) {
            if (!setAttrByObject(myReadAttrId, myReadAttrObj))
                A_TRACE_C("ired", "Object failed to set Object attribute id='%s'\n",
                          myReadAttrId.cs());
        } else if (!setAttrByHandle(myReadAttrId, myReadAttrHdl)) {
            A_TRACE_C("ired", "Object failed to set ObjectHandle attribute id='%s'\n",
                      myReadAttrId.cs());
        }
        myReadAttrId = rtl::str();
        myReadAttrObj = nullptr;
        myReadAttrHdl = Obh();
        return true;
    }
    if (std::strcmp(name, "object") == 0) {
        // Take off whatever this object left above itself, then the object.
        while (r.currentHandler() != this && r.stackSize() > 0)
            r.popHandler();
        r.popHandler();
        return true;
    }
    return false;
}
