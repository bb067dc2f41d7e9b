#pragma once

#include "mPayload.h"
#include "mPlSampleData.h"
#include "tlObj.h"

class XmlReader;

// The one payload class: a sample with two attributes, pooled and stored like every model object.
class mPlSample : public mPlSampleData, public tlObj, public mPayload
{
public:
    mPlSample();
    ~mPlSample() override;

    // Taken from the pool: every attribute starts from its default.
    void initObj() override;
    void clearObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;

    virtual bool grabSettingsFromContext();
    // The class name, "mPlSample".
    virtual void describe(rtl::str& out) const;
};
