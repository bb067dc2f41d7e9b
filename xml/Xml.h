#pragma once

#include <cstddef>
#include <string>
#include <typeinfo>

// Common ground of the XML reader and writer: the one-time set-up of libxml2 and the helpers
// both sides need (class names for traces, numbers in the C locale whatever the user's locale).
class Xml
{
public:
    Xml();
    virtual ~Xml();

    // Checks the library version, installs the refusing entity loader and arranges the one
    // cleanup of the parser at exit. Safe to call any number of times.
    static void initLibrary();

    // Demangled run-time class name of an object, for traces.
    static std::string className(std::type_info const& type);

    // "%f", "%i", "%u", "%li", "%lu" in the C locale; the result is NUL-terminated in buf.
    static char const* formatReal(char* buf, int size, double value);

    // Decimal real in the C locale (leading blanks and a sign allowed, like strtod); false when
    // the text holds no number. Trailing text is ignored, as strtod does.
    static bool parseReal(char const* text, double& value);

    // What a document can hold, one set of limits for the writer and the reader: the writer
    // refuses to go beyond them, so that whatever it saves opens again. The reader (libxml2
    // without its "huge" option) stops at an element nested deeper than MaxDepth, and at a
    // start tag or a text larger than about 10,000,000 bytes as stored; MaxStoredBytes keeps a
    // margin below that.
    static constexpr int MaxDepth = 256;
    static constexpr size_t MaxStoredBytes = 9'990'000;

    // An upper bound of the bytes a UTF-8 text takes in a document, escapes and character
    // references included, whatever the document's encoding.
    static size_t storedSize(char const* text);

    // Debug traces of the reader (one per node and per handler change). Off unless
    // VANTREL_TRACE=1; tests may switch them.
    static bool ourTrace;
};
