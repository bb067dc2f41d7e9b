#pragma once

#include "str.h"

// Measures header labels: the bounding rectangle, in whole pixels, of a text set in a font
// family at a point size, default weight, not italic.
//
// The ranges measure through the current measurer. By default it is the toolkit's
// (mQtFontMeasure, which needs a running QGuiApplication); tests put in one with fixed widths.
class mFontMeasure
{
public:
    virtual ~mFontMeasure();
    virtual void measure(rtl::str const& family, int pointSize, char const* text, int& width, int& height) = 0;

    // The measurer in use; the toolkit's one until another is installed.
    static mFontMeasure* current();
    // Installs a measurer (not owned); null goes back to the toolkit's.
    static void install(mFontMeasure* m);

private:
    static mFontMeasure* ourInstalled;
};
