#pragma once

#include "XmlWriter.h"

#include <cstddef>
#include <string>

struct _xmlTextWriter;

// The writer as it was, one libxml2 xmlTextWriter call per step, kept as the measure of what
// XmlWriter must write byte for byte: the same steps, the same refusals with the same messages,
// the same answers. It writes straight to the path (no temporary file, no sync): only the bytes
// and the messages are compared. Numbers are formatted by the C library's printf in the C locale.
class XmlReferenceWriter : public XmlWriter
{
public:
    explicit XmlReferenceWriter(char const* encoding);
    ~XmlReferenceWriter() override;

    bool startDocument(char const* path, char const* root) override;
    bool endDocument() override;
    bool startElement(char const* name) override;
    bool endElement() override;
    bool addAttribute(char const* name, char const* value) override;
    bool addAttribute(char const* name, double value) override;
    bool addAttribute(char const* name, float value) override;
    bool addAttribute(char const* name, bool value) override;
    bool addAttribute(char const* name, int value) override;
    bool addAttribute(char const* name, long value) override;
    bool addAttribute(char const* name, unsigned long value) override;
    bool addAttribute(char const* name, unsigned int value) override;
    bool addNameAttribute(char const* name, char const* ownName) override;
    bool addString(char const* text) override;
    bool addValue(double value) override;
    bool addValue(float value) override;
    bool addValue(bool value) override;
    bool addValue(int value) override;
    bool addValue(unsigned int value) override;
    bool addValue(long value) override;
    bool addValue(unsigned long value) override;
    bool addComment(char const* text) override;
    // One run after another, on this thread.
    bool writeRuns(size_t count, Run const& run) override;

    struct Sink
    {
        int fd = -1;
        bool error = false;
    };

private:
    bool note(int rc, char const* message);
    bool open(char const* name, char const* message);
    bool fits(size_t size, char const* what, char const* message);
    bool writeAttr(char const* name, char const* text, bool ownText = false);
    bool writeText(char const* text, char const* message);
    void discard();

    char const* myEncoding;
    _xmlTextWriter* myWriter;
    Sink mySink;
    bool myFailed;
    int myDepth;
    size_t myTagBytes;
    size_t myTextBytes;
};
