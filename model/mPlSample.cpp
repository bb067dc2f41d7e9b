#include "mPlSample.h"

#include "ObObj.h"
#include "aTypeName.h"
#include "mAttrLimits.h"

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
    ObObj::clearObj();
}

void mPlSample::recycleObj()
{
    clearObj();
    ObObj::recycleObj();
}

bool mPlSample::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, {}))
        return true;
    return mPlSampleData::xmlReadStartElement(r, name, attrCount);
}

bool mPlSample::grabSettingsFromContext()
{
    return true;
}

void mPlSample::describe(rtl::str& out) const
{
    out = aTypeName(typeid(*this));
}
