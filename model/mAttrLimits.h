#pragma once

#include "ObRecord.h"

#include <cstring>
#include <span>
#include <vector>

class ObObj;
class XmlReader;

// What a document may hold in a model object's attributes: numbers written wholly as numbers,
// every real finite, and the values that count, size or colour something within their range. An
// "attr" element outside them refuses the document with a message naming the class and the
// attribute; nothing of a refused document is kept, so a value the drawing or the layout could not
// survive never gets in.
class mAttrLimits
{
public:
    // The range of one attribute, bounds included (the lower one excluded when open). A name
    // ending in '*' covers every attribute whose name starts with the rest (a colour's channels).
    // A value within the bounds may still have to pass a test of its own; a refusal then says
    // why it fails.
    struct Range
    {
        char const* name;
        double lo;
        double hi;
        bool loOpen = false;
        bool (*passes)(double) = nullptr;
        char const* fails = nullptr;
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

    // Reads an "attr" element of one of the record's own attributes, as the generic reading
    // would (stored directly, no check, no hook) but in one pass: its value is checked against
    // the ranges (a refusal fails the reader) and stored. False for any other element, for an
    // attribute the record does not hold and for an element without "_id", "_t" or "value": the
    // object's generic reading takes those.
    template <class R> static bool readOwnAttr(XmlReader& r, R& rec, char const* element,
                                               std::span<Range const> ranges)
    {
        char const *id = nullptr, *value = nullptr;
        if (element[0] != 'a' || std::strcmp(element, "attr") != 0 || !attrTexts(r, id, value))
            return false;
        auto const fields = R::fields();
        // A document lists the attributes in table order: the one after the last is tried first.
        static std::size_t next = 0;
        std::size_t at =
            next < fields.size() && std::strcmp(fields[next].name, id) == 0 ? next : fields.size();
        if (at == fields.size()) {
            auto const* f = ObRecord::find(fields, id);
            if (!f)
                return false;
            at = static_cast<std::size_t>(f - fields.begin());
        }
        next = at + 1;
        // Each attribute's range, found once per table of ranges.
        static std::span<Range const> rangesSeen;
        static std::vector<Range const*> rangeOf;
        if (rangesSeen.data() != ranges.data() || rangeOf.size() != fields.size()) {
            rangesSeen = ranges;
            rangeOf.assign(fields.size(), nullptr);
            for (std::size_t i = 0; i < fields.size(); ++i)
                rangeOf[i] = rangeFor(fields[i].name, ranges);
        }
        auto const& f = fields[at];
        double v = 0;
        if (!check(r, rec, id, value, f.kind, rangeOf[at], v))
            return true;
        // Numbers are stored as read by the check (as the generic reading would read them).
        switch (f.kind) {
        case ObAttrKind::Int:
            rec.*f.i = static_cast<int>(v);
            break;
        case ObAttrKind::Float:
            rec.*f.f = ObRecord::toFloat(v);
            break;
        case ObAttrKind::Double:
            rec.*f.d = v;
            break;
        default:
            ObRecord::fromText(rec, f, value);
            break;
        }
        return true;
    }

private:
    // The "_id" and "value" of an "attr" element that also has a "_t".
    static bool attrTexts(XmlReader& r, char const*& id, char const*& value);
    // The range that covers an attribute, or null.
    static Range const* rangeFor(char const* id, std::span<Range const> ranges);
    // Whether the value of a kind is a number (whole when int, finite when real), within the
    // range when one is given; a refusal fails the reader. v is the number read.
    static bool check(XmlReader& r, ObObj const& obj, char const* id, char const* value,
                      ObAttrKind kind, Range const* range, double& v);
};
