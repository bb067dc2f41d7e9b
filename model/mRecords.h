#pragma once

#include "Obh.h"

class ObObj;
class XmlReader;
class mScale;

// What the timeline's and the layers' records share when a document is read.
class mRecords
{
public:
    // Reads the handle element of a scale that owner holds (its "time_scale" or "row_scale") and
    // puts it in place of the scale held, which goes back to its pool. Refuses the document when
    // the element is not a readable handle, is given twice, or names no live scale of the
    // document (the one held included: it was made for the owner, not read). true: taken.
    static bool readOwnedScale(XmlReader& r, ObObj const& owner, char const* name, Obh& hdl,
                               mScale*& scale, bool& seen);
};
