#pragma once

#include "Xml.h"

#include <cstddef>
#include <string>

struct _xmlTextWriter;

// Writes one indented document element by element, with typed attributes. The document goes
// to a temporary file beside the target and replaces the target only when every step, the
// final flush and close included, succeeded: a failed save never harms the earlier file.
//
// The new file keeps the identity of the one it replaces: its permission bits, and, when the
// path is a symbolic link, its place (the link's target is replaced, the link stays). A new
// file gets the mode a plain create gives under the process's umask. A successful save also
// removes what killed saves of the same file left beside it.
//
// Nothing beyond the document limits of Xml (nesting depth, stored size of a start tag or a
// text) is written: such a step fails with a message naming the element or the attribute.
class XmlWriter : public Xml
{
public:
    explicit XmlWriter(char const* encoding);
    ~XmlWriter() override;

    virtual bool startDocument(char const* path, char const* root);
    virtual bool endDocument();
    virtual bool startElement(char const* name);
    virtual bool endElement();
    virtual bool addAttribute(char const* name, char const* value);
    virtual bool addAttribute(char const* name, double value);
    virtual bool addAttribute(char const* name, float value);
    virtual bool addAttribute(char const* name, bool value);
    virtual bool addAttribute(char const* name, int value);
    virtual bool addAttribute(char const* name, long value);
    virtual bool addAttribute(char const* name, unsigned long value);
    virtual bool addAttribute(char const* name, unsigned int value);
    // An attribute whose text is one of the program's own names (a class, an attribute, a type:
    // plain ASCII letters, digits, ':' and '_'), which needs no check and no escape.
    bool addNameAttribute(char const* name, char const* ownName);
    virtual bool addString(char const* text);
    virtual bool addValue(double value);
    virtual bool addValue(float value);
    virtual bool addValue(bool value);
    virtual bool addValue(int value);
    virtual bool addValue(unsigned int value);
    virtual bool addValue(long value);
    virtual bool addValue(unsigned long value);
    virtual bool addComment(char const* text);

    // A copy of text converted from the named encoding to UTF-8, or null (null text, unknown
    // encoding, no memory, a conversion that fails or stops short). libxml2's xmlChar text:
    // freed with xmlFree.
    unsigned char* ConvertInput(char const* text, char const* encoding);

    // Output sink state, reached from the libxml2 output callbacks.
    struct Sink
    {
        int fd = -1;
        bool error = false;
    };

private:
    bool note(int rc, char const* message);
    bool open(char const* name, char const* message);
    bool fits(size_t size, char const* what, char const* message);
    // A text the writer formatted itself (a number, "True", "False") is plain ASCII that needs
    // no escape: it skips the checks every other text gets.
    bool writeAttr(char const* name, char const* text, bool ownText = false);
    bool writeText(char const* text, char const* message);
    bool createTemp(char const* path);
    void removeLeftovers() const;
    void discard();

    char const* myEncoding;
    _xmlTextWriter* myWriter;
    Sink mySink;
    // The file the document replaces (a symbolic link followed to its end) and the temporary
    // file it is written to.
    std::string myTarget;
    std::string myTempPath;
    bool myFailed;
    // Open elements, the root included; the stored size of the start tag being written (0 once
    // its content began) and of the text written since the last tag.
    int myDepth;
    size_t myTagBytes;
    size_t myTextBytes;
};
