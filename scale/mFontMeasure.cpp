#include "mFontMeasure.h"

#include "mQtFontMeasure.h"

mFontMeasure* mFontMeasure::ourInstalled = nullptr;

mFontMeasure::~mFontMeasure() = default;

mFontMeasure* mFontMeasure::current()
{
    if (ourInstalled)
        return ourInstalled;
    // Made on first use and kept for the life of the process, like the zoom policies.
    static mQtFontMeasure* toolkit = new mQtFontMeasure;
    return toolkit;
}

void mFontMeasure::install(mFontMeasure* m)
{
    ourInstalled = m;
}
