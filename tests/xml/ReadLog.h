#pragma once

// What a document delivers, as a list of lines, through the reader and through libxml2's text
// reader walked the way the reader walked it before it parsed in stretches: the reference every
// reading must match, node for node, attribute for attribute, refusal for refusal.

#include "Xml.h"
#include "XmlReader.h"
#include "XmlStretches.h"

#include <libxml/xmlreader.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace readlog {

// One line per node a handler gets: its depth, an element's attributes by index and what a
// lookup by name finds for each, whether it is empty.
inline std::string startLine(XmlReader& r, char const* name, int count)
{
    std::string line = "<" + std::string(name) + " d" + std::to_string(r.depth()) +
                       (r.isEmptyElement() ? " empty" : "") + " #" + std::to_string(count);
    for (int i = 0; i < count; ++i) {
        char const* n = nullptr;
        char const* v = nullptr;
        if (!r.getAttr(i, n, v)) {
            line += " ?";
            continue;
        }
        char const* found = nullptr;
        bool const byName = r.getAttr(n, found);
        line += " " + std::string(n) + "=" + v +
                (byName ? (found == std::string(v) ? "" : "|other") : "|hidden");
    }
    return line;
}

// Takes every node; refuses the document at the failAt-th element start when asked to.
struct Log : XmlReadHandler
{
    std::vector<std::string> lines;
    int failAt = -1;
    int starts = 0;
    bool xmlReadStartElement(XmlReader& r, char const* name, int count) override
    {
        lines.push_back(startLine(r, name, count));
        if (starts++ == failAt)
            r.fail("refused here");
        return true;
    }
    bool xmlReadEndElement(XmlReader& r, char const* name) override
    {
        lines.push_back("</" + std::string(name) + " d" + std::to_string(r.depth()));
        return true;
    }
    bool xmlReadValue(XmlReader& r, char const* text) override
    {
        lines.push_back("'" + std::string(text) + "' d" + std::to_string(r.depth()));
        return true;
    }
};

struct Outcome
{
    std::vector<std::string> lines;
    // Empty when the document was read whole.
    std::string message;
    XmlReader::Course course;
};

inline Outcome read(std::string const& path, int failAt = -1)
{
    Log log;
    log.failAt = failAt;
    XmlReader reader;
    reader.pushHandler(&log, nullptr);
    Outcome out;
    if (!reader.parseFile(path.c_str()))
        out.message = reader.failMessage();
    out.lines = std::move(log.lines);
    out.course = reader.course();
    return out;
}

// The errors the text reader reports: the first fatal one, else the first, with its line.
struct Faults
{
    std::string fatal, error;
    static void note(void* self, xmlErrorPtr e)
    {
        auto* f = static_cast<Faults*>(self);
        if (!e || e->level < XML_ERR_ERROR)
            return;
        std::string& kept = e->level == XML_ERR_FATAL ? f->fatal : f->error;
        if (!kept.empty())
            return;
        std::string m = e->message ? e->message : "";
        while (!m.empty() && std::strchr(" \t\n\r", m.back()))
            m.pop_back();
        if (m.empty())
            m = "error " + std::to_string(e->code);
        kept = e->line > 0 ? "line " + std::to_string(e->line) + ": " + m : m;
    }
    std::string reason() const { return fatal.empty() ? error : fatal; }
};

// The text reader, node by node, as the reader used it: the reference.
inline Outcome reference(std::string const& path, int failAt = -1)
{
    Outcome out;
    xmlTextReaderPtr r = xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!r) {
        out.message = "no reader";
        return out;
    }
    Faults faults;
    xmlTextReaderSetStructuredErrorHandler(r, &Faults::note, &faults);
    auto cstr = [](xmlChar const* s) { return reinterpret_cast<char const*>(s); };
    auto isBlank = [](char const* t) {
        for (; *t; ++t)
            if (!std::strchr(" \t\n\v\f\r", *t))
                return false;
        return true;
    };
    int starts = 0;
    int ret = 0;
    while ((ret = xmlTextReaderRead(r)) == 1) {
        int const type = xmlTextReaderNodeType(r);
        int const depth = xmlTextReaderDepth(r);
        std::string const name = xmlTextReaderConstName(r) ? cstr(xmlTextReaderConstName(r)) : "--";
        if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
            out.message = path + " : document type declarations are refused";
            break;
        }
        if (type == XML_READER_TYPE_ELEMENT && depth >= Xml::MaxDepth) {
            out.message = path + " : elements nested deeper than a document may hold";
            break;
        }
        if (type == XML_READER_TYPE_ELEMENT) {
            int const count = xmlTextReaderAttributeCount(r);
            std::string line = "<" + name + " d" + std::to_string(depth) +
                               (xmlTextReaderIsEmptyElement(r) == 1 ? " empty" : "") + " #" +
                               std::to_string(count);
            for (int i = 0; i < count; ++i) {
                xmlTextReaderMoveToAttributeNo(r, i);
                std::string const n = cstr(xmlTextReaderConstName(r));
                std::string const v = cstr(xmlTextReaderConstValue(r));
                xmlTextReaderMoveToElement(r);
                std::string how = "|hidden";
                if (xmlTextReaderMoveToAttribute(r, reinterpret_cast<xmlChar const*>(n.c_str())) ==
                    1) {
                    how = v == cstr(xmlTextReaderConstValue(r)) ? "" : "|other";
                    xmlTextReaderMoveToElement(r);
                }
                line += " " + n + "=" + v + how;
            }
            out.lines.push_back(line);
            if (starts++ == failAt) {
                out.message = path + " : refused here";
                break;
            }
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            out.lines.push_back("</" + name + " d" + std::to_string(depth));
        } else if (type != XML_READER_TYPE_WHITESPACE &&
                   type != XML_READER_TYPE_SIGNIFICANT_WHITESPACE &&
                   xmlTextReaderHasValue(r) == 1) {
            xmlChar const* v = xmlTextReaderConstValue(r);
            char const* value = v ? cstr(v) : "";
            if (!isBlank(value))
                out.lines.push_back("'" + std::string(value) + "' d" + std::to_string(depth));
        }
    }
    if (out.message.empty() && ret != 0)
        out.message =
            path + " : failed to parse" + (faults.reason().empty() ? "" : " at " + faults.reason());
    xmlFreeTextReader(r);
    return out;
}

// The reading's settings for one test, put back when it ends.
struct Stretching
{
    XmlStretches::Settings saved = XmlStretches::settings();
    // Cuts files of from bytes or more into stretches of about bytes each, with threads.
    Stretching(std::size_t from, std::size_t bytes, int threads = 4)
    {
        XmlStretches::settings() = {from, bytes, threads};
    }
    ~Stretching() { XmlStretches::settings() = saved; }
};

// A document in the form the program writes: a declaration naming ISO-8859-1, pools of objects
// with attributes of every kind, texts beyond ASCII (as Latin-1 bytes and as references) and
// characters that need escaping.
inline std::string generated(int objects, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<timeline_document_v1>\n"
                      "   <objects>\n      <type name=\"mEvent\">\n         <bank count=\"" +
                      std::to_string(objects) + "\" bytes=\"8\" total=\"" +
                      std::to_string(objects) + "\" inc=\"1\">\n";
    char const* const titles[] = {"plain",
                                  "caf\xe9 \xfc",
                                  "a &amp; b &lt;c&gt; &quot;q&quot;",
                                  "line&#10;break&#9;tab",
                                  "&#8364; euro &#x1F600;",
                                  ""};
    for (int i = 0; i < objects; ++i) {
        out += "            <addr _id=\"" + std::to_string(i) + "\">\n";
        out += "               <object _t=\"mEvent\">\n";
        out += "                  <event_time yr=\"2020\" mo=\"1\" dy=\"" +
               std::to_string(1 + i % 28) +
               "\" hr=\"6\" mn=\"6\" sc=\"25\" ns=\"0\" dst=\"False\" gmtOffsetSecs=\"0\"/>\n";
        out += "                  <event_layer _t=\"h\" tid=\"mLayer\" oid=\"" +
               std::to_string(i % 7) + "\" flags=\"1\"/>\n";
        out += "                  <attr _id=\"startTime\" _t=\"double\" value=\"" +
               std::to_string(1577858785 + static_cast<int>(random() % 100000)) + ".500000\"/>\n";
        out += "                  <attr _id=\"rowIndex\" _t=\"int\" value=\"" +
               std::to_string(static_cast<int>(random() % 9) - 4) + "\"/>\n";
        out += "                  <attr _id=\"isActive\" _t=\"bool\" value=\"True\"/>\n";
        out += "                  <attr _id=\"title\" _t=\"rtl::str\" value=\"" +
               std::string(titles[random() % 6]) + " " + std::to_string(i) + "\"/>\n";
        if (i % 5 == 0)
            out += "                  <notes>text &amp; more\n                  </notes>\n";
        out += "               </object>\n            </addr>\n";
    }
    out += "         </bank>\n      </type>\n   </objects>\n   <doc>\n"
           "      <attr _id=\"name\" _t=\"rtl::str\" value=\"x\"/>\n   "
           "</doc>\n</timeline_document_v1>\n";
    return out;
}

} // namespace readlog
