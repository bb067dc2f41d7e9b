#pragma once

#include <span>

class ObObj;
class XmlReader;

// What a document may hold in a model object's attributes: every real finite, and the values
// that count, size or colour something within their range. An "attr" element outside them
// refuses the document with a message naming the class and the attribute; nothing of a refused
// document is kept, so a value the drawing or the layout could not survive never gets in.
class mAttrLimits
{
public:
    // The range of one attribute, bounds included (the lower one excluded when open). A name
    // ending in '*' covers every attribute whose name starts with the rest (a colour's channels).
    struct Range
    {
        char const* name;
        double lo;
        double hi;
        bool loOpen = false;
    };

    static constexpr double ColorLo = 0;
    static constexpr double ColorHi = 255;
    static constexpr double FontSizeHi = 1000;
    // Font weights keep the documents' scale, 0 to 99.
    static constexpr double FontWeightHi = 99;
    // Pixel sizes of panes and headers.
    static constexpr double PixelsHi = 100000;
    // Scene heights of layers stay below this.
    static constexpr double SceneHeightLimit = 1000000;
    static constexpr double RowsHi = 1000000;

    // For an element read into obj: true when it is no "attr" element, names no attribute of
    // obj, or holds an acceptable value; otherwise false, the reader failed with the message.
    static bool accept(XmlReader& r, ObObj const& obj, char const* element,
                       std::span<Range const> ranges);
    // Refuses the document being read into obj: the reader fails with "<class>: <what>".
    static void refuse(XmlReader& r, ObObj const& obj, char const* what);
};
