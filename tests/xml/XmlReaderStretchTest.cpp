#include "ReadLog.h"
#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <libxml/xmlerror.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

namespace {

using readlog::Stretching;

// The reader against the text reader. A document read whole, or refused by a handler, gives the
// same nodes and message. Where the parser finds a fault the reader stops at it, in document
// order; the text reader parsed a few hundred bytes ahead of the node it delivered, so it may stop
// before nodes that lie just ahead of the fault and report the fault rather than a refusal there.
void expectLike(readlog::Outcome const& got, readlog::Outcome const& want, std::string const& what)
{
    std::string const parseFault = " : failed to parse";
    bool const faulty = want.message.find(parseFault) != std::string::npos;
    if (!faulty) {
        EXPECT_EQ(got.lines, want.lines) << what;
        EXPECT_EQ(got.message, want.message) << what;
        return;
    }
    EXPECT_NE(got.message, "") << what;
    // A fault both found is told alike: its line and the parser's reason.
    if (got.message.find(parseFault) != std::string::npos) {
        EXPECT_EQ(got.message, want.message) << what;
    }
    ASSERT_GE(got.lines.size(), want.lines.size()) << what;
    EXPECT_EQ(std::vector<std::string>(got.lines.begin(), got.lines.begin() + want.lines.size()),
              want.lines)
        << what;
}

// The reader, one parse and in stretches: the same outcome, and the text reader's.
void expectLikeTheTextReader(std::string const& path, std::string const& what, int failAt = -1)
{
    readlog::Outcome once;
    {
        Stretching never(std::size_t(1) << 40, 1 << 20);
        once = readlog::read(path, failAt);
    }
    EXPECT_EQ(once.course.stretches, 0) << what;
    expectLike(once, readlog::reference(path, failAt), what);
    Stretching small(0, 97, 3);
    readlog::Outcome const cut = readlog::read(path, failAt);
    EXPECT_EQ(cut.lines, once.lines) << what << " (in stretches)";
    EXPECT_EQ(cut.message, once.message) << what << " (in stretches)";
}

std::string write(ScratchDir const& dir, std::string const& text)
{
    static int n = 0;
    std::string const f = dir.path + "/doc" + std::to_string(n++) + ".xml";
    writeFile(f, text);
    return f;
}

} // namespace

TEST(XmlReaderCourse, EveryStoredTestDocumentReadsAsTheTextReaderReadsIt)
{
    namespace fs = std::filesystem;
    fs::path const tests = fs::path(VANTREL_TEST_DATA_DIR).parent_path().parent_path();
    int seen = 0;
    for (auto const& e : fs::recursive_directory_iterator(tests)) {
        if (e.path().extension() != ".xml" || e.path().string().find("/data/") == std::string::npos)
            continue;
        expectLikeTheTextReader(e.path().string(), e.path().filename().string());
        ++seen;
    }
    EXPECT_GT(seen, 50);
}

TEST(XmlReaderCourse, NodesOfEveryKindComeAsFromTheTextReader)
{
    ScratchDir dir;
    std::string const decl = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    std::string const utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    struct Case
    {
        char const* what;
        std::string text;
    } const cases[] = {
        {"empty and closed elements",
         decl + "<r>\n  <a x=\"1\"/>\n  <a x=\"1\"></a>\n  <a> </a>\n</r>\n"},
        {"references in attributes", decl + "<r a=\"x &amp; y &lt; &gt; &quot; &apos;\" "
                                            "b=\"&#38;&#x26;&#60;\" c=\"&#10;&#9;&#13;\" d=\"\"/>"},
        {"texts, pieces joined",
         decl + "<r>a &amp; b &#233;<![CDATA[c <d>]]><![CDATA[e]]>f<!--g--><!--h-->i</r>"},
        {"blank texts", decl + "<r> <a>\t</a><b><![CDATA[ ]]></b>\r\n  </r>"},
        {"comments and instructions around the root",
         decl + "<!-- before --><?pi data?><r><?empty?></r><!-- after -->\n<?end x?>\n"},
        {"namespaces",
         decl + "<r xmlns=\"urn:d\" xmlns:p=\"urn:p\"><p:a p:x=\"1\" y=\"2\" xmlns:q=\"urn:q\"/>"
                "<q:b q:z=\"3\"/></r>"},
        {"unbound attribute prefix", decl + "<r u:x=\"1\" x=\"2\"/>"},
        {"Latin-1 bytes", decl + "<r t=\"\xe9\xe8\xff\">\xe0 \xdf</r>"},
        {"UTF-8", utf8 + "<r t=\"\xc3\xa9\xe2\x82\xac\">\xf0\x9f\x98\x80</r>"},
        {"no declaration", "<r><a/></r>"},
        {"plain document type", "<!DOCTYPE r><r/>"},
        {"document type with entities", decl + "<!DOCTYPE r [<!ENTITY e \"v\">]><r>&e;</r>"},
        {"broken document type", decl + "<!DOCTYPE r [<!ENTITY e>]><r/>"},
        {"undefined entity", decl + "<r><a/>&nope;<b/></r>"},
        {"undefined entity in an attribute", decl + "<r><a x=\"&nope;\"/></r>"},
        {"mismatched end", decl + "<r><a><b/></c></r>"},
        {"truncated", decl + "<r><a x=\"1\"><b"},
        {"nothing after the declaration", decl},
        {"text after the root", decl + "<r/>junk"},
        {"two roots", decl + "<r/><s/>"},
        {"duplicate attribute", decl + "<r><a x=\"1\" x=\"2\"/></r>"},
        {"undeclared element prefix", decl + "<r><p:a/></r>"},
    };
    for (auto const& c : cases)
        expectLikeTheTextReader(write(dir, c.text), c.what);
    // Nesting at and past the limit the writer keeps to.
    for (int depth : {255, 256, 257, 300}) {
        std::string text = decl;
        for (int i = 0; i < depth; ++i)
            text += "<e" + std::to_string(i % 3) + ">";
        text += "x";
        for (int i = depth - 1; i >= 0; --i)
            text += "</e" + std::to_string(i % 3) + ">";
        expectLikeTheTextReader(write(dir, text), "nested " + std::to_string(depth));
    }
}

TEST(XmlReaderCourse, TextsAtTheParsersSizeLimitAsTheTextReader)
{
    ScratchDir dir;
    for (std::size_t size : {std::size_t(9'999'000), std::size_t(10'000'001)}) {
        std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>\n <a>";
        text.append(size, 'x');
        text += "</a>\n <b/>\n</r>\n";
        std::string const f = write(dir, text);
        readlog::Outcome want = readlog::reference(f);
        readlog::Outcome const got = readlog::read(f);
        // The reason in the program's words rather than the tree builder's.
        if (want.message == f + " : failed to parse at line 3: xmlSAX2Characters: huge text node")
            want.message = f + " : failed to parse at line 3: a text of more than 10000000 bytes";
        EXPECT_EQ(got.message, want.message) << size;
        EXPECT_EQ(got.lines.size(), want.lines.size()) << size;
        EXPECT_EQ(got.lines == want.lines, true) << size;
    }
}

TEST(XmlReaderCourse, AGeneratedDocumentReadInManyStretchesGivesWhatOneParseGives)
{
    ScratchDir dir;
    std::string const f = write(dir, readlog::generated(400));
    readlog::Outcome const want = readlog::reference(f);
    ASSERT_EQ(want.message, "");
    for (int threads : {1, 2, 5}) {
        Stretching small(0, 4096, threads);
        readlog::Outcome const got = readlog::read(f);
        EXPECT_GT(got.course.stretches, 40);
        EXPECT_EQ(got.course.replayed, got.course.stretches);
        EXPECT_FALSE(got.course.tookOver);
        EXPECT_EQ(got.message, "");
        EXPECT_EQ(got.lines, want.lines) << threads << " threads";
    }
}

// Whatever one stretch holds, the outcome is that of one parse: the damage, a handler's refusal,
// and what the cutting can take for a start tag (a comment or CDATA holding a line that begins
// with one, texts beyond ASCII across a cut).
TEST(XmlReaderCourse, ADocumentDamagedInAnyOneStretchGivesWhatOneParseGives)
{
    ScratchDir dir;
    std::string const good = readlog::generated(120, 7);
    auto at = [&](double fraction) {
        std::size_t p = static_cast<std::size_t>(good.size() * fraction);
        return good.find("\n", p) + 1;
    };
    struct Case
    {
        std::string what;
        std::string text;
        int failAt = -1;
    };
    std::vector<Case> cases;
    for (double where : {0.001, 0.3, 0.77, 0.999}) {
        std::string const w = std::to_string(where);
        std::size_t const p = at(where);
        cases.push_back({"truncated at " + w, good.substr(0, p + 7)});
        cases.push_back({"broken tag at " + w, std::string(good).insert(p, "<a b=\"1\" c>\n")});
        cases.push_back({"stray end at " + w, std::string(good).insert(p, "</addr>\n")});
        cases.push_back(
            {"comment holding start tags at " + w,
             std::string(good).insert(p, "<!--\n            <addr _id=\"9\">\n  <x>\n-->\n")});
        cases.push_back(
            {"CDATA holding start tags at " + w,
             std::string(good).insert(p, "<w><![CDATA[\n            <addr _id=\"9\">\n]]></w>\n")});
        cases.push_back({"instruction holding start tags at " + w,
                         std::string(good).insert(p, "<?pi \n   <addr x=\"1\">\n?>\n")});
        cases.push_back({"text beyond ASCII across lines at " + w,
                         std::string(good).insert(p, "<w>\xe9\n\xe8\n   \xff</w>\n")});
        cases.push_back({"undefined entity at " + w, std::string(good).insert(p, "<w>&x;</w>\n")});
        cases.push_back({"end tag split by a cut at " + w,
                         std::string(good).insert(p, "<w a=\"1\"\n   >\n</w\n   >\n")});
    }
    for (int n : {0, 1, 5, 300, 700, 1100})
        cases.push_back({"refused at start " + std::to_string(n), good, n});
    for (auto const& c : cases) {
        std::string const f = write(dir, c.text);
        readlog::Outcome once;
        {
            Stretching never(std::size_t(1) << 40, 1 << 20);
            once = readlog::read(f, c.failAt);
        }
        expectLike(once, readlog::reference(f, c.failAt), c.what);
        for (std::size_t bytes : {std::size_t(1500), std::size_t(7000)}) {
            Stretching small(0, bytes, 3);
            readlog::Outcome const got = readlog::read(f, c.failAt);
            if (c.text.size() > 8 * bytes) {
                EXPECT_GT(got.course.stretches, 5) << c.what;
            }
            EXPECT_EQ(got.lines, once.lines) << c.what << ", stretches of " << bytes;
            EXPECT_EQ(got.message, once.message) << c.what << ", stretches of " << bytes;
        }
    }
}

TEST(XmlReaderCourse, OnlyFilesThatBeginAsTheProgramWritesThemAreCut)
{
    ScratchDir dir;
    std::string const body = readlog::generated(50).substr(
        std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n").size());
    struct Case
    {
        std::string head;
        bool cut;
    } const cases[] = {
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n", true},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n", true},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n", false},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n", false},
        {"<?xml version=\"1.0\"?>\n", false},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n", false},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!-- x -->\n", false},
        {"", false},
    };
    Stretching small(0, 1000, 2);
    for (auto const& c : cases) {
        std::string const f = write(dir, c.head + body);
        readlog::Outcome const got = readlog::read(f);
        EXPECT_EQ(got.course.stretches > 0, c.cut) << c.head;
        expectLike(got, readlog::reference(f), c.head);
    }
}

namespace {

// Where two node logs part, or "" when they are the same.
std::string firstDifference(std::vector<std::string> const& got,
                            std::vector<std::string> const& want)
{
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        std::string const g = i < got.size() ? got[i] : "(none)";
        std::string const w = i < want.size() ? want[i] : "(none)";
        if (g != w)
            return "node " + std::to_string(i) + " of " + std::to_string(got.size()) + " (" +
                   std::to_string(want.size()) + " wanted): [" + g.substr(0, 200) +
                   "] instead of [" + w.substr(0, 200) + "]";
    }
    return "";
}

// The reader in stretches of several sizes against one parse and the text reader: the same
// nodes and the same message.
void expectStretchesLikeOneParse(std::string const& path, std::string const& what,
                                 std::vector<std::size_t> const& sizes)
{
    readlog::Outcome once;
    {
        Stretching never(std::size_t(1) << 40, 1 << 20);
        once = readlog::read(path);
    }
    expectLike(once, readlog::reference(path), what);
    for (std::size_t bytes : sizes) {
        Stretching small(0, bytes, 3);
        readlog::Outcome const got = readlog::read(path);
        EXPECT_GT(got.course.stretches, 2) << what << ", stretches of " << bytes;
        EXPECT_EQ(got.message, once.message) << what << ", stretches of " << bytes;
        EXPECT_EQ(firstDifference(got.lines, once.lines), "") << what << ", stretches of " << bytes;
    }
}

// Lines that each begin with a start tag (places to cut) inside an element whose start tag is
// followed by text holding '>'.
std::string mixedElement(std::string const& name, int lines)
{
    std::string out = "<" + name + " k=\"1 > 0\" q='\"'>a > b\n";
    for (int i = 0; i < lines; ++i)
        out += "   <x i=\"" + std::to_string(i) + "\"/>\n";
    return out + "</" + name + ">\n";
}

// A comment as long as a few stretches, with no place to cut in it.
std::string longComment()
{
    std::string out = "<!--";
    for (int i = 0; i < 14; ++i)
        out += " a long comment, without a place to cut in it, filling a line or so\n";
    return out + "-->\n";
}

} // namespace

// Text after an open start tag is its element's first child; the start tag alone opens the
// element where a later stretch begins. Texts and attribute values holding '>' are no tag ends.
TEST(XmlReaderCourse, MixedContentWithGreaterThanAfterAStartTagIsDeliveredOnce)
{
    ScratchDir dir;
    std::string const good = readlog::generated(60, 3);
    for (double where : {0.1, 0.5, 0.9}) {
        std::size_t at =
            good.find("            <addr", static_cast<std::size_t>(good.size() * where));
        std::string text = std::string(good).insert(at, mixedElement("w", 80));
        std::string const f = write(dir, text);
        expectStretchesLikeOneParse(f, "mixed content at " + std::to_string(where), {61, 97, 400});
        // Every stretch continues the one before it: none has to be read again.
        Stretching small(0, 97, 3);
        EXPECT_FALSE(readlog::read(f).course.tookOver) << where;
    }
}

// A root that ends before a cut leaves what follows it to be refused as one parse refuses it:
// another element, a second root, the rest of a document whose root was closed early.
TEST(XmlReaderCourse, ContentAfterTheRootAtACutIsRefusedAsOneParseRefusesIt)
{
    ScratchDir dir;
    std::string const good = readlog::generated(40, 5);
    std::size_t const middle = good.find("            <addr _id=\"20\"");
    std::string const second = readlog::generated(3);
    struct Case
    {
        char const* what;
        std::string text;
    } const cases[] = {
        {"an element after the root",
         good + longComment() + "<attr _id=\"winX\" _t=\"int\" value=\"999\"/>\n"},
        {"a second root", good + longComment() + second.substr(second.find('\n') + 1)},
        {"a root closed early",
         std::string(good).insert(middle, "</bank></type></objects></timeline_document_v1>\n" +
                                              longComment())},
    };
    for (auto const& c : cases) {
        std::string const f = write(dir, c.text);
        expectStretchesLikeOneParse(f, c.what, {97, 250, 600});
        Stretching small(0, 97, 3);
        readlog::Outcome const got = readlog::read(f);
        EXPECT_THAT(got.message, testing::HasSubstr(" : failed to parse at line ")) << c.what;
        EXPECT_TRUE(got.course.tookOver) << c.what;
        EXPECT_THAT(got.lines, testing::Not(testing::Contains(testing::HasSubstr("winX"))))
            << c.what;
    }
}

// Where the elements open at an untrusted stretch cannot be written in the document's encoding,
// one parse goes on from the start of the file and hands on only what lies from that stretch on,
// whatever the trusted stretches before held (texts after start tags, here).
TEST(XmlReaderCourse, ARestartAfterTrustedStretchesThatCarriedTextGoesOnAfterTheirLastNode)
{
    ScratchDir dir;
    struct Encoding
    {
        char const* name;
        char const* eAcute;
    } const encodings[] = {{"UTF-8", "\xc3\xa9"}, {"ISO-8859-1", "\xe9"}};
    struct Size
    {
        int events;
        std::vector<std::size_t> stretches;
    };
    // The second has its untrusted stretch beyond the first 256 KB that one parse reads at once.
    for (auto const& [events, stretches] : {Size {60, {80, 150, 333}}, Size {24000, {90000}}})
        for (auto const& e : encodings) {
            // Lines that begin with a start tag inside a comment longer than a stretch: a
            // stretch that begins there is not trusted.
            std::string cutPlaces;
            while (cutPlaces.size() < 2 * stretches[0])
                cutPlaces += "   <ev i=\"none\">\n";
            std::string const element = std::string("donn") + e.eAcute + "es";
            std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + e.name +
                               "\"?>\n<r>\n<" + element + ">a > b\n";
            for (int i = 0; i < events; ++i) {
                text +=
                    "   <ev i=\"" + std::to_string(i) + "\">Event " + std::to_string(i) + "</ev>\n";
                if (i == events * 2 / 3)
                    text += "   <!--\n" + cutPlaces + "   -->\n";
            }
            text += "</" + element + ">\n</r>\n";
            std::string const f = write(dir, text);
            expectStretchesLikeOneParse(f, e.name, stretches);
            Stretching small(0, stretches[0], 3);
            readlog::Outcome const got = readlog::read(f);
            EXPECT_TRUE(got.course.restarted) << e.name;
            EXPECT_GT(got.course.replayed, 3) << e.name;
            std::string const last = "'Event " + std::to_string(events - 1) + "' d3";
            EXPECT_THAT(got.lines, testing::Contains(last)) << e.name;
        }
}

namespace {

// What libxml2 prints on standard error from this thread (where one parse runs), caught while
// it lives.
struct Diagnostics
{
    std::string text;
    Diagnostics() { xmlSetGenericErrorFunc(this, collect); }
    ~Diagnostics() { xmlSetGenericErrorFunc(nullptr, nullptr); }
    // Nothing it throws may pass through libxml2.
    static void collect(void* self, char const* format, ...) noexcept
    {
        char line[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        static_cast<Diagnostics*>(self)->text += line;
    }
};

std::string diagnosticsOf(std::string const& path)
{
    Diagnostics d;
    readlog::read(path);
    return d.text;
}

// The read on a thread of its own, waited for within a generous bound: a read that hangs stops
// the run with a message instead of holding it for ever.
readlog::Outcome readWithin(std::string const& path, std::string const& what)
{
    auto reading = std::async(std::launch::async, [&path] { return readlog::read(path); });
    if (reading.wait_for(std::chrono::minutes(2)) != std::future_status::ready) {
        std::fprintf(stderr, "the read did not end: %s\n", what.c_str());
        std::abort();
    }
    return reading.get();
}

} // namespace

// Whatever fails in a stretch's work (its thread does not start, a callback of its parse throws
// as a token buffer that cannot grow does, composing its prefix throws), the read ends with the
// nodes of one parse taking over at that stretch; when the one parse fails too, with a message
// naming the failure. No file is left open (and the sanitizer sees nothing leak).
TEST(XmlReaderCourse, AFailureInAStretchOrACallbackEndsTheReadCleanly)
{
    using FailAt = XmlStretches::Settings::FailAt;
    ScratchDir dir;
    std::string const f = write(dir, readlog::generated(200));
    readlog::Outcome const want = readlog::reference(f);
    ASSERT_EQ(want.message, "");
    struct Case
    {
        char const* what;
        int threadStart = -1;
        int stretch = -1;
        FailAt at = FailAt::Callback;
        std::size_t after = 0; // tokens written before a start tag throws
        bool once = false;     // the one parse fails too
    } const cases[] = {
        {.what = "no thread starts", .threadStart = 0},
        {.what = "the third thread does not start", .threadStart = 2},
        {.what = "the first stretch's root", .stretch = 0},
        {.what = "a start tag of a later stretch's prefix", .stretch = 7},
        {.what = "a later stretch's start tag", .stretch = 7, .after = 30},
        {.what = "composing the first stretch", .stretch = 0, .at = FailAt::Composing},
        {.what = "composing a later stretch", .stretch = 7, .at = FailAt::Composing},
        {.what = "one parse's start tag", .after = 30, .once = true},
        {.what = "a stretch and the one parse after it", .stretch = 7, .after = 30, .once = true},
    };
    std::size_t const descriptors = openDescriptors();
    for (auto const& c : cases) {
        bool const whole = c.threadStart < 0 && c.stretch < 0;
        Stretching small(whole ? std::size_t(1) << 40 : 0, 2000, 3);
        XmlStretches::Settings& s = XmlStretches::settings();
        s.failThreadStart = c.threadStart;
        s.failStretch = c.stretch;
        s.failAt = c.at;
        s.failAfter = c.after;
        s.failOnce = c.once;
        readlog::Outcome const got = readWithin(f, c.what);
        if (c.once) {
            EXPECT_EQ(got.message, f + " : reading stopped: out of memory") << c.what;
        } else {
            EXPECT_EQ(got.message, "") << c.what;
            EXPECT_EQ(firstDifference(got.lines, want.lines), "") << c.what;
        }
        if (c.stretch < 0) {
            EXPECT_EQ(got.course.stretches, 0) << c.what;
        } else {
            EXPECT_TRUE(got.course.tookOver) << c.what;
            EXPECT_EQ(got.course.replayed, c.stretch) << c.what;
            EXPECT_FALSE(got.course.restarted) << c.what;
        }
        EXPECT_EQ(openDescriptors(), descriptors) << c.what;
    }
}

// What one parse prints on standard error, read in stretches prints the same: a diagnostic that
// is no fault (a namespace prefix not defined), and a fault on the first line of a stretch with
// that line as the file has it.
TEST(XmlReaderCourse, DiagnosticsAreThoseOfOneParse)
{
    ScratchDir dir;
    std::string const good = readlog::generated(80, 9);
    struct Case
    {
        char const* what;
        std::string insert;
        char const* expect;
    } const cases[] = {
        {"prefix not defined", "            <p:w/>\n", "Namespace prefix p on w is not defined"},
        {"broken start tag", "            <addr _id=\"x\" y>\n", "<addr _id=\"x\" y>"},
    };
    for (auto const& c : cases)
        for (double where : {0.3, 0.8}) {
            std::size_t const at =
                good.find("            <addr", static_cast<std::size_t>(good.size() * where));
            std::string const f = write(dir, std::string(good).insert(at, c.insert));
            std::string once;
            {
                Stretching never(std::size_t(1) << 40, 1 << 20);
                once = diagnosticsOf(f);
            }
            EXPECT_THAT(once, testing::HasSubstr(c.expect)) << c.what;
            // Stretches of that size begin one at the line inserted.
            for (std::size_t bytes : {at - 1, std::size_t(97)}) {
                Stretching small(0, bytes, 3);
                EXPECT_EQ(diagnosticsOf(f), once)
                    << c.what << " at " << where << ", stretches of " << bytes;
            }
        }
}

// How much of a text or CDATA the parser had handed over before a fault within it depends on how
// its input was fed: such a text reaches no handler, wherever the 256 KB that one parse reads at
// a time end.
TEST(XmlReaderCourse, ATextThatAFaultCutsShortReachesNoHandler)
{
    ScratchDir dir;
    for (std::size_t length :
         {std::size_t(100), std::size_t(262000), std::size_t(262130), std::size_t(300000)})
        for (std::string const& node : {std::string("x"), std::string("<![CDATA[x")})
            for (char const* fault : {"\x01", "&nope;", ""}) {
                bool const cdata = node[0] == '<';
                if (cdata && fault[0] == '&')
                    continue; // no fault in a CDATA section
                std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n <a/>\n <b>";
                text += node;
                text.append(length, 'x');
                text += fault;
                if (*fault)
                    text += cdata ? "]]></b>\n</r>\n" : "</b>\n</r>\n";
                std::string const f = write(dir, text);
                readlog::Outcome const got = readlog::read(f);
                std::string const what = std::to_string(length) + " " + node + " " + fault;
                EXPECT_THAT(got.message, testing::HasSubstr(" : failed to parse at line ")) << what;
                EXPECT_EQ(firstDifference(got.lines, {"<r d0 #0", "<a d1 empty #0", "<b d1 #0"}),
                          "")
                    << what;
                expectLike(got, readlog::reference(f), what);
            }
}
