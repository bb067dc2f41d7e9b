#pragma once

#include "mPayload.h"
#include "mPlSampleData.h"
#include "tlObj.h"

#include <memory>

class ObBin;
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
    // Besides its attributes it reads a "setting" element (no version writes one) into a
    // settings bin of its own, kept until the next one or the payload's reuse.
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;

    virtual bool grabSettingsFromContext();
    // The class name, "mPlSample".
    virtual void describe(rtl::str& out) const;

private:
    std::unique_ptr<ObBin> mySettings;
};
