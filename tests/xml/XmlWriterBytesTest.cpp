#include "SameBytes.h"
#include "ScratchDir.h"
#include "XmlReferenceWriter.h"
#include "XmlWriter.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

// XmlWriter against the libxml2 writer it replaced: for the same steps, the same answers, the
// same messages and the same bytes.

namespace {

struct Step
{
    std::string what;
    std::function<bool(XmlWriter&)> apply;
};

struct Outcome
{
    std::string answers;
    std::string printed;
    std::string bytes;
};

Outcome run(XmlWriter& w, std::string const& path, char const* root, std::vector<Step> const& steps)
{
    Outcome out;
    testing::internal::CaptureStdout();
    out.answers += w.startDocument(path.c_str(), root) ? '1' : '0';
    for (Step const& s : steps)
        out.answers += s.apply(w) ? '1' : '0';
    bool const ended = w.endDocument();
    out.answers += ended ? '1' : '0';
    out.printed = testing::internal::GetCapturedStdout();
    if (ended)
        out.bytes = readFile(path);
    return out;
}

std::string listing(std::vector<Step> const& steps)
{
    std::string out;
    for (Step const& s : steps)
        out += "  " + s.what + "\n";
    return out;
}

// The same steps through both writers.
void expectSameDocument(char const* encoding, char const* root, std::vector<Step> const& steps)
{
    ScratchDir dir;
    XmlWriter writer(encoding);
    XmlReferenceWriter reference(encoding);
    Outcome const got = run(writer, dir.file("writer.xml"), root, steps);
    Outcome const want = run(reference, dir.file("reference.xml"), root, steps);
    std::string const context =
        std::string("encoding ") + (encoding ? encoding : "(none)") + ", steps:\n" + listing(steps);
    EXPECT_EQ(got.answers, want.answers) << context;
    EXPECT_EQ(got.printed, want.printed) << context;
    EXPECT_TRUE(sameBytes(got.bytes, want.bytes)) << context;
}

// Texts made of pieces that matter to a writer: escapes in attributes and in content,
// characters of one to four bytes of UTF-8 (within Latin-1 and beyond it), dashes for
// comments, and now and then what must be refused (a control character, broken UTF-8).
std::string randomText(std::mt19937& random, unsigned refusedIn)
{
    static char const* const Pieces[] = {"a",
                                         "Zo",
                                         " ",
                                         "&",
                                         "<",
                                         ">",
                                         "\"",
                                         "'",
                                         "\t",
                                         "\n",
                                         "\r",
                                         "]]>",
                                         "&amp;",
                                         "-",
                                         "--",
                                         "\xc3\xa9",
                                         "\xc3\xbf",
                                         "\xc2\x80",
                                         "\xc2\xa0",
                                         "\xe2\x82\xac",
                                         "\xe6\x97\xa5",
                                         "\xef\xbf\xbd",
                                         "\xf0\x9f\x98\x80",
                                         "\xf4\x8f\xbf\xbd",
                                         "12.5",
                                         "True"};
    static char const* const Refused[] = {"\x01", "\x1b",         "\xc3",
                                          "\xe9", "\xed\xa0\x80", "\xef\xbf\xbe"};
    std::string text;
    int const pieces = static_cast<int>(random() % 9);
    for (int i = 0; i < pieces; ++i)
        text += Pieces[random() % std::size(Pieces)];
    if (random() % refusedIn == 0)
        text.insert(text.size() / 2, Refused[random() % std::size(Refused)]);
    return text;
}

std::string randomName(std::mt19937& random)
{
    static char const* const Names[] = {"a",    "event",      "attr",         "value", "_id",
                                        "ns:x", "Zo\xc3\xa9", "\xe2\x82\xac", "x<y",   "b_2",
                                        ""};
    // An empty name is refused: rarely.
    size_t const count = std::size(Names) - (random() % 100 == 0 ? 0 : 1);
    return Names[random() % count];
}

double randomReal(std::mt19937& random)
{
    static double const Special[] = {0.0,
                                     -0.0,
                                     0.5,
                                     -1.25,
                                     0.0078125, // a tie at the seventh decimal
                                     0.0000005,
                                     -0.0000005,
                                     0.9999995,
                                     1e15 + 0.5,
                                     1577836800.0,
                                     std::numeric_limits<double>::max(),
                                     -std::numeric_limits<double>::max(),
                                     std::numeric_limits<double>::min(),
                                     std::numeric_limits<double>::denorm_min(),
                                     std::numeric_limits<double>::epsilon(),
                                     9007199254740993.0,
                                     18446744073709551616.0,
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::quiet_NaN(),
                                     -std::numeric_limits<double>::quiet_NaN()};
    switch (random() % 3) {
    case 0:
        return Special[random() % std::size(Special)];
    case 1: {
        std::uint64_t const bits = (std::uint64_t(random()) << 32) | random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    default:
        // Amounts, times and rows as a document holds them.
        return std::ldexp(static_cast<double>(static_cast<int>(random())),
                          -static_cast<int>(random() % 40));
    }
}

Step start(std::string const& name)
{
    return {"startElement " + name, [name](XmlWriter& w) { return w.startElement(name.c_str()); }};
}

Step end()
{
    return {"endElement", [](XmlWriter& w) { return w.endElement(); }};
}

// A number or a truth value of each type the writer takes, as an attribute or as content.
Step typed(std::mt19937& random, std::string const& name, bool attribute)
{
    unsigned const kind = random() % 8;
    double const real = randomReal(random);
    long const whole = static_cast<long>((std::uint64_t(random()) << 32) | random());
    static long const Limits[] = {0, -1, INT_MIN, INT_MAX, LONG_MIN, LONG_MAX};
    long const limit = Limits[random() % std::size(Limits)];
    long const v = limit ? limit : whole;
    char what[160];
    std::snprintf(what, sizeof what, "%s %s kind %u real %a whole %ld",
                  attribute ? "addAttribute" : "addValue", name.c_str(), kind, real, v);
    return {what, [=](XmlWriter& w) {
                char const* const n = name.c_str();
                switch (kind) {
                case 0:
                    return attribute ? w.addAttribute(n, real) : w.addValue(real);
                case 1:
                    return attribute ? w.addAttribute(n, static_cast<float>(real))
                                     : w.addValue(static_cast<float>(real));
                case 2:
                    return attribute ? w.addAttribute(n, v % 2 == 0) : w.addValue(v % 2 == 0);
                case 3:
                    return attribute ? w.addAttribute(n, static_cast<int>(v))
                                     : w.addValue(static_cast<int>(v));
                case 4:
                    return attribute ? w.addAttribute(n, static_cast<unsigned>(v))
                                     : w.addValue(static_cast<unsigned>(v));
                case 5:
                    return attribute ? w.addAttribute(n, v) : w.addValue(v);
                case 6:
                    return attribute ? w.addAttribute(n, static_cast<unsigned long>(v))
                                     : w.addValue(static_cast<unsigned long>(v));
                default:
                    return attribute ? w.addAttribute(n, real * 1e-3) : w.addValue(real * 1e-3);
                }
            }};
}

// Random steps that mostly fit where they come (attributes while a start tag is open, an end
// while an element is open), and now and then do not, so that refusals are met without ending
// most documents early. The names and values go into each step's description.
class RandomSteps
{
public:
    explicit RandomSteps(unsigned seed) : myRandom(seed) {}

    std::vector<Step> document(int count)
    {
        std::vector<Step> steps;
        for (int i = 0; i < count; ++i)
            steps.push_back(myRandom() % 12 == 0 ? runs() : step());
        return steps;
    }

private:
    bool chance(unsigned in) { return myRandom() % in == 0; }
    // A run holds many steps: a refusal or a step out of place there is rarer.
    unsigned refusedIn() const { return myFloor > 1 ? 1000 : 150; }

    Step step()
    {
        std::string const name = randomName(myRandom);
        unsigned const pick = myRandom() % 100;
        bool const misfit = chance(myFloor > 1 ? 1000 : 60);
        if (myTagOpen != misfit && pick < 65) {
            if (pick < 40) {
                std::string const text = randomText(myRandom, refusedIn());
                return {"addAttribute " + name + " '" + text + "'", [name, text](XmlWriter& w) {
                            return w.addAttribute(name.c_str(), text.c_str());
                        }};
            }
            if (pick < 45) {
                std::string const own = chance(2) ? "mEvent" : "Foo<int>::Bar";
                return {"addNameAttribute " + name + " " + own, [name, own](XmlWriter& w) {
                            return w.addNameAttribute(name.c_str(), own.c_str());
                        }};
            }
            return typed(myRandom, name, true);
        }
        if (pick < 80) {
            if (chance(2) && (myDepth > myFloor || misfit)) {
                --myDepth;
                myTagOpen = false;
                return end();
            }
            ++myDepth;
            myTagOpen = true;
            return start(name);
        }
        myTagOpen = false;
        if (pick < 88) {
            std::string const text = randomText(myRandom, refusedIn());
            return {"addString '" + text + "'",
                    [text](XmlWriter& w) { return w.addString(text.c_str()); }};
        }
        if (pick < 93) {
            // Dashes end a comment early: it is refused with them, rarely.
            std::string text = randomText(myRandom, refusedIn());
            if (!chance(10))
                text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
            return {"addComment '" + text + "'",
                    [text](XmlWriter& w) { return w.addComment(text.c_str()); }};
        }
        return typed(myRandom, name, false);
    }

    // Runs of steps written through writeRuns: mostly whole elements, as a pool's objects are,
    // now and then a run that begins with something else or leaves its element open (written
    // again in order), a run that writes nothing.
    Step runs()
    {
        std::vector<std::vector<Step>> runs(myRandom() % 12);
        std::string what = "writeRuns";
        int const depth = myDepth;
        bool const tagOpen = myTagOpen;
        myFloor = depth;
        for (auto& steps : runs) {
            bool const whole = !chance(4);
            if (whole && !chance(20)) {
                steps.push_back(start("object"));
                ++myDepth;
                myTagOpen = true;
            }
            for (int i = static_cast<int>(myRandom() % 10); i > 0; --i)
                steps.push_back(step());
            for (; whole && myDepth > depth; --myDepth)
                steps.push_back(end());
            what += "\n    run:";
            for (Step const& step : steps)
                what += "\n      " + step.what;
            myDepth = depth;
            myTagOpen = false;
        }
        if (runs.empty())
            myTagOpen = tagOpen;
        myFloor = 1;
        return {what, [runs](XmlWriter& w) {
                    return w.writeRuns(runs.size(), [&runs](size_t i, XmlWriter& out, bool) {
                        for (Step const& step : runs[i])
                            if (!step.apply(out))
                                return false;
                        return true;
                    });
                }};
    }

    std::mt19937 myRandom;
    // Open elements, the root included, and whether the last one's start tag is still open.
    int myDepth = 1;
    bool myTagOpen = true;
    // The depth an end may come back to: the root, or where the runs being made begin.
    int myFloor = 1;
};

// Every element, attribute, text and comment of a parsed node, replayed as writer steps.
void replay(xmlNode const* node, std::vector<Step>& steps)
{
    auto text = [](xmlChar const* t) { return std::string(reinterpret_cast<char const*>(t)); };
    for (xmlAttr const* a = node->properties; a; a = a->next) {
        std::string const name = text(a->name);
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        std::string const v = value ? text(value) : std::string();
        xmlFree(value);
        steps.push_back({"addAttribute " + name, [name, v](XmlWriter& w) {
                             return w.addAttribute(name.c_str(), v.c_str());
                         }});
    }
    for (xmlNode const* c = node->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) {
            std::string const name = text(c->name);
            steps.push_back({"startElement " + name,
                             [name](XmlWriter& w) { return w.startElement(name.c_str()); }});
            replay(c, steps);
            steps.push_back({"endElement", [](XmlWriter& w) { return w.endElement(); }});
        } else if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) &&
                   !xmlIsBlankNode(c)) {
            std::string const t = text(c->content);
            steps.push_back({"addString", [t](XmlWriter& w) { return w.addString(t.c_str()); }});
        } else if (c->type == XML_COMMENT_NODE) {
            std::string const t = text(c->content);
            steps.push_back({"addComment", [t](XmlWriter& w) { return w.addComment(t.c_str()); }});
        }
    }
}

} // namespace

// Random documents of every kind of step, in the encodings a writer takes: numbers at their
// limits and beyond (NaN, infinities, negative zero, the smallest and largest doubles), texts of
// every width of UTF-8 with every character that is escaped, steps a writer refuses (broken
// text, an attribute after content, an end with nothing open, nesting beyond the limit).
TEST(XmlWriterBytes, RandomDocumentsAsTheLibxml2WriterWritesThem)
{
    std::vector<Step> deep;
    for (int i = 0; i < Xml::MaxDepth + 2; ++i)
        deep.push_back({"startElement o", [](XmlWriter& w) { return w.startElement("o"); }});
    deep.push_back({"addComment deepest", [](XmlWriter& w) { return w.addComment("deepest"); }});
    expectSameDocument("ISO-8859-1", "root", deep);

    // Runs of steps go to four threads here, one after another in the libxml2 writer.
    unsigned const threads = XmlWriter::ourThreads;
    XmlWriter::ourThreads = 4;
    for (char const* encoding :
         {"ISO-8859-1", "UTF-8", "iso-8859-1", static_cast<char const*>(nullptr)})
        for (unsigned seed = 1; seed <= 150; ++seed) {
            std::vector<Step> const steps = RandomSteps(seed).document(static_cast<int>(seed % 70));
            expectSameDocument(encoding, seed % 17 == 0 ? "" : "timeline_document_v1", steps);
            if (HasFailure())
                break;
        }
    XmlWriter::ourThreads = threads;
}

// Every document kept as test data, read and written again through both writers.
TEST(XmlWriterBytes, TheCorpusAsTheLibxml2WriterWritesIt)
{
    namespace fs = std::filesystem;
    fs::path const tests = fs::path(VANTREL_TEST_DATA_DIR).parent_path().parent_path();
    int replayed = 0;
    for (auto const& entry : fs::recursive_directory_iterator(tests)) {
        std::string const path = entry.path().string();
        if (entry.path().extension() != ".xml" || path.find("/data/") == std::string::npos)
            continue;
        // From memory: the writer's set-up refuses every file libxml2 would load itself.
        std::string const bytes = readFile(path);
        xmlDoc* doc = xmlReadMemory(
            bytes.data(), static_cast<int>(bytes.size()), path.c_str(), nullptr,
            XML_PARSE_NONET | XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        xmlNode const* root = doc ? xmlDocGetRootElement(doc) : nullptr;
        if (root) {
            std::vector<Step> steps;
            replay(root, steps);
            SCOPED_TRACE(path);
            expectSameDocument("ISO-8859-1", reinterpret_cast<char const*>(root->name), steps);
            ++replayed;
        }
        xmlFreeDoc(doc);
    }
    EXPECT_GE(replayed, 100) << "the corpus under " << tests;
}

// The encodings libxml2 would take through the C library's converters and this writer does not
// fail the start, and the old file stays.
TEST(XmlWriterBytes, AnEncodingOfNoKnownFormFailsTheStart)
{
    ScratchDir dir;
    std::string const f = dir.file("doc.xml");
    writeFile(f, "OLD");
    testing::internal::CaptureStdout();
    XmlWriter w("ISO-8859-15");
    EXPECT_FALSE(w.startDocument(f.c_str(), "root"));
    EXPECT_FALSE(w.endDocument());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "testXmlwriterFilename: Error at xmlTextWriterStartDocument\n"
              "testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
    EXPECT_EQ(readFile(f), "OLD");
}
