#include "mPlSample.h"

#include "ObBin.h"
#include "ObObj.h"
#include "XmlReader.h"
#include "aTypeName.h"
#include "mAttrLimits.h"

#include <cstring>
#include <typeinfo>

mPlSample::mPlSample() = default;

mPlSample::~mPlSample() = default;

void mPlSample::initObj()
{
    resetAttrs();
    ObObj::initObj();
}

void mPlSample::clearObj()
{
    mySettings.reset();
    ObObj::clearObj();
}

void mPlSample::recycleObj()
{
    clearObj();
    ObObj::recycleObj();
}

bool mPlSample::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (std::strcmp(name, "setting") == 0) {
        mySettings = std::make_unique<ObBin>();
        Obh unused;
        Obh::xmlReadHdl(r, &unused, nullptr);
        if (!r.isEmptyElement())
            r.pushHandler(this, mySettings.get());
        return true;
    }
    // An object inside a setting is read by that setting's bin.
    if (std::strcmp(name, "object") == 0 && mySettings && r.handlerData() == mySettings.get()) {
        if (!r.isEmptyElement())
            r.pushHandler(mySettings.get(), nullptr);
        return true;
    }
    if (mAttrLimits::readOwnAttr(r, static_cast<mPlSampleData&>(*this), name, {}))
        return true;
    if (!mAttrLimits::accept(r, *this, name, {}))
        return true;
    return mPlSampleData::xmlReadStartElement(r, name, attrCount);
}

bool mPlSample::xmlReadEndElement(XmlReader& r, char const* name)
{
    bool const inSetting =
        mySettings && r.currentHandler() == this && r.handlerData() == mySettings.get();
    if (std::strcmp(name, "object") == 0 && mySettings && r.currentHandler() == mySettings.get()) {
        r.popHandler();
        return true;
    }
    if (std::strcmp(name, "setting") == 0 && inSetting) {
        r.popHandler();
        return true;
    }
    return mPlSampleData::xmlReadEndElement(r, name);
}

bool mPlSample::grabSettingsFromContext()
{
    return true;
}

void mPlSample::describe(rtl::str& out) const
{
    out = aTypeName(typeid(*this));
}
