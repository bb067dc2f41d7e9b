#pragma once

#include <QFont>

class QStaticText;

// The fonts the drawing code and the widgets name. Documents name "Helvetica" and "Gil Sans":
// both are mapped onto the one family the program installs, so that text measures and looks the
// same on every machine. Weights are stored on the 0 to 99 scale and become Qt's weights here.
//
// Fonts are interned by number, and every text measured in a font keeps its size: fitting a title
// tries dozens of sizes on every paint, and laying the text out each time would cost far more
// than the paint itself.
class uiFonts
{
public:
    // The installed family every named family is drawn in.
    static char const* const ourFamily;

    // Maps the named families onto ourFamily; once per process, later calls do nothing.
    static void installSubstitutions();

    // The Qt weight nearest to a stored weight (50 Normal, 63 DemiBold, 75 Bold; ties go to the
    // lighter); stored weights outside 0 to 99 are brought into it.
    static QFont::Weight qtWeight(int storedWeight);

    // A font of the family at the point size (at least 1) and stored weight.
    static QFont font(char const* family, int pointSize, int storedWeight);

    // The number of a font, the same for the same family, size and weight (or the same QFont).
    static int fontId(char const* family, int pointSize, int storedWeight);
    static int fontId(QFont const& font);
    static QFont const& fontById(int id);

    // Width and height of the bounding box of one line of UTF-8 text in a font, in whole pixels;
    // an empty or null text is 0 by 0.
    static void textSize(int fontId, char const* text, float& w, float& h);

    // One line of UTF-8 text laid out once in a font, for drawing it again and again; null for
    // text that is not one plain line (control characters such as line breaks and tabs).
    static QStaticText const* preparedText(int fontId, char const* text);
    // The height Qt aligns one line of text by in the font (ascent plus descent, unrounded).
    static qreal lineHeight(int fontId);

    // How many text sizes are kept at most; beyond that the kept sizes are dropped and measured
    // again as they are asked for.
    static constexpr size_t ourMaxKeptSizes = size_t(1) << 16;
    static size_t keptSizes();
    static constexpr size_t ourMaxPreparedTexts = 4096;
};
