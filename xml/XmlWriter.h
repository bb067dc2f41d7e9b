#pragma once

#include "Xml.h"

#include <libxml/xmlwriter.h>

#include <string>

// Writes one indented document element by element, with typed attributes. The document goes
// to a temporary file beside the target and replaces the target only when every step, the
// final flush and close included, succeeded: a failed save never harms the earlier file.
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
    // encoding, no memory, a conversion that fails or stops short). Freed with xmlFree.
    xmlChar* ConvertInput(char const* text, char const* encoding);

    // Output sink state, reached from the libxml2 output callbacks.
    struct Sink
    {
        int fd = -1;
        bool error = false;
    };

private:
    bool note(int rc, char const* message);
    bool writeAttr(char const* name, char const* text);
    bool writeText(char const* text, char const* message);
    void discard();

    char const* myEncoding;
    xmlTextWriterPtr myWriter;
    Sink mySink;
    std::string myTarget;
    std::string myTempPath;
    bool myFailed;
};
