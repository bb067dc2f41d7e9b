#include "XmlReader.h"
#include "ScratchDir.h"
#include "Xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Records every callback; takes only the elements named in myTake (all when empty).
struct Recorder : XmlReadHandler
{
    std::vector<std::string> events;
    std::string skipName;
    bool xmlReadStartElement(XmlReader& r, char const* name, int count) override
    {
        events.push_back(std::string("<") + name + "#" + std::to_string(count));
        if (skipName == name)
            r.skipElement();
        return true;
    }
    bool xmlReadEndElement(XmlReader&, char const* name) override
    {
        events.push_back(std::string("</") + name);
        return true;
    }
    bool xmlReadValue(XmlReader&, char const* text) override
    {
        events.push_back(std::string("'") + text + "'");
        return true;
    }
};

std::vector<std::string> parse(std::string const& text, Recorder& rec, bool* ok = nullptr)
{
    ScratchDir dir;
    std::string f = dir.file("in.xml");
    writeFile(f, text);
    XmlReader reader;
    reader.pushHandler(&rec, nullptr);
    bool res = reader.parseFile(f.c_str());
    if (ok)
        *ok = res;
    return rec.events;
}

} // namespace

TEST(XmlReader, DeliversStartsEndsAndTexts)
{
    Recorder rec;
    bool ok = false;
    auto ev = parse("<r>\n  <a x=\"1\"/>\n  <a x=\"1\"></a>\n  <t>  x </t>\n</r>\n", rec, &ok);
    EXPECT_TRUE(ok);
    // An empty element gives a start only; whitespace between elements reaches nobody.
    std::vector<std::string> want = {"<r#0", "<a#1", "<a#1", "</a", "<t#0", "'  x '", "</t", "</r"};
    EXPECT_EQ(ev, want);
}

TEST(XmlReader, SkippedElementHidesItsWholeSubtree)
{
    Recorder rec;
    rec.skipName = "s";
    auto ev = parse("<r><s><bank/><x>t</x></s><s/><after/></r>", rec);
    std::vector<std::string> want = {"<r#0", "<s#0", "<s#0", "<after#0", "</r"};
    EXPECT_EQ(ev, want);
}

TEST(XmlReader, RefusesDoctypeEntitiesAndBrokenFiles)
{
    ScratchDir dir;
    std::string secret = dir.file("secret.txt");
    writeFile(secret, "SECRET");
    struct Case
    {
        char const* name;
        std::string text;
    } cases[] = {
        {"external entity",
         "<!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + secret + "\">]><r>&e;</r>"},
        {"entity bomb", "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                        "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><r>&b;</r>"},
        {"plain doctype", "<!DOCTYPE r><r/>"},
        {"truncated", "<r><a x=\"1\"><b"},
        {"undefined entity", "<r>&nope;</r>"},
    };
    for (auto const& c : cases) {
        Recorder rec;
        bool ok = true;
        auto ev = parse(c.text, rec, &ok);
        EXPECT_FALSE(ok) << c.name;
        for (auto const& e : ev)
            EXPECT_THAT(e, testing::Not(testing::HasSubstr("SECRET"))) << c.name;
    }
}

// Only a regular file is read; whatever else the path names is refused before anything is read
// (a named pipe without a writer would block for ever), with the system's reason.
TEST(XmlReader, OpensOnlyRegularFilesAndSaysWhyNot)
{
    ScratchDir dir;
    std::string const fifo = dir.file("pipe.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string const empty = dir.file("empty.xml");
    writeFile(empty, "");
    struct Case
    {
        std::string path;
        std::string says;
    } const cases[] = {
        {dir.file("missing.xml"),
         "Unable to open " + dir.file("missing.xml") + ": " + std::strerror(ENOENT)},
        {fifo, "Unable to open " + fifo + ": not a regular file"},
        {"/dev/null", "Unable to open /dev/null: not a regular file"},
        {dir.path, "Unable to open " + dir.path + ": " + std::strerror(EISDIR)},
        {empty, empty + " : the file is empty"},
        {"", std::string("Unable to open : ") + std::strerror(ENOENT)},
    };
    for (auto const& c : cases) {
        Recorder rec;
        XmlReader reader;
        reader.pushHandler(&rec, nullptr);
        EXPECT_FALSE(reader.parseFile(c.path.c_str())) << c.path;
        EXPECT_EQ(reader.failMessage(), c.says);
        EXPECT_TRUE(rec.events.empty()) << c.path;
    }
    std::string const locked = dir.file("locked.xml");
    writeFile(locked, "<r/>");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    XmlReader reader;
    if (geteuid() != 0) {
        EXPECT_FALSE(reader.parseFile(locked.c_str()));
        EXPECT_THAT(reader.failMessage(), testing::EndsWith(std::strerror(EACCES)));
    }
    // A fault in the file is told with its line and the parser's reason, not only that it is one.
    writeFile(dir.file("broken.xml"), "<r>");
    EXPECT_FALSE(reader.parseFile(dir.file("broken.xml").c_str()));
    EXPECT_THAT(reader.failMessage(),
                testing::StartsWith(dir.file("broken.xml") + " : failed to parse at line 1: "));
    writeFile(dir.file("extra.xml"), "<r>\n <a/>\n</r>\n<a/>\n");
    EXPECT_FALSE(reader.parseFile(dir.file("extra.xml").c_str()));
    EXPECT_EQ(reader.failMessage(), dir.file("extra.xml") +
                                        " : failed to parse at line 4: Extra content at the end "
                                        "of the document");
}

namespace {

struct AttrProbe : XmlReadHandler
{
    bool b = false, bt = false, bf = false, byes = false, bempty = false;
    bool bv = false, btv = false, bfv = true, byesv = true;
    bool ulOk = true, lOk = true, intOk = false, dOk = false;
    unsigned long ul = 77;
    long l = 0;
    int i = 0;
    double d = 0, dJunk = 1;
    bool xmlReadStartElement(XmlReader& r, char const*, int) override
    {
        bt = r.getAttr("t", bv);
        b = r.getAttr("one", btv);
        bf = r.getAttr("f", bfv);
        byes = r.getAttr("yes", byesv);
        ulOk = r.getAttr("neg", ul);
        lOk = r.getAttr("huge", l);
        intOk = r.getAttr("i", i);
        dOk = r.getAttr("d", d);
        r.getAttr("junk", dJunk);
        char const* s = nullptr;
        bempty = r.getAttr("absent", s);
        return true;
    }
};

} // namespace

TEST(XmlReader, TypedAttributesInAnyLocale)
{
    // Numbers in documents are C-locale whatever the user's locale is.
    char const* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    ScratchDir dir;
    std::string f = dir.file("a.xml");
    writeFile(
        f,
        "<a t=\"true\" one=\"1\" f=\"False\" yes=\"yes\" neg=\"-1\" huge=\"99999999999999999999\" "
        "i=\"-42\" d=\"2.5\" junk=\"abc\"/>");
    AttrProbe p;
    XmlReader reader;
    reader.pushHandler(&p, nullptr);
    EXPECT_TRUE(reader.parseFile(f.c_str()));
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(german) << "de_DE.UTF-8 locale missing (tools/deps generates it)";
    EXPECT_TRUE(p.bt);
    EXPECT_TRUE(p.bv);
    EXPECT_TRUE(p.b);
    EXPECT_TRUE(p.btv);
    EXPECT_TRUE(p.bf);
    EXPECT_FALSE(p.bfv);
    EXPECT_FALSE(p.byes);
    EXPECT_TRUE(p.byesv) << "a failed bool read leaves the target untouched";
    EXPECT_FALSE(p.ulOk);
    EXPECT_EQ(p.ul, 77u);
    EXPECT_FALSE(p.lOk);
    EXPECT_EQ(p.l, LONG_MAX);
    EXPECT_TRUE(p.intOk);
    EXPECT_EQ(p.i, -42);
    EXPECT_TRUE(p.dOk);
    EXPECT_EQ(p.d, 2.5);
    EXPECT_EQ(p.dJunk, 0.0);
    EXPECT_FALSE(p.bempty);
}

TEST(XmlReader, UnpairedPopLeavesNoHandler)
{
    Recorder a;
    XmlReader reader;
    reader.pushHandler(&a, nullptr);
    reader.pushHandler(&a, nullptr);
    reader.popHandler();
    EXPECT_EQ(reader.currentHandler(), &a);
    reader.popHandler();
    reader.popHandler();
    EXPECT_EQ(reader.currentHandler(), nullptr);
}

TEST(XmlReader, ReadsSeveralAttributesInOnePassInAnyOrder)
{
    struct Several : XmlReadHandler
    {
        std::vector<std::string> got;
        bool all = false;
        bool xmlReadStartElement(XmlReader& r, char const*, int) override
        {
            static char const* const Names[] = {"value", "_id", "_t"};
            char const* values[3];
            all = r.getAttrs(Names, values, 3);
            for (char const* v : values)
                got.push_back(v ? v : "(none)");
            return true;
        }
    } several;
    ScratchDir dir;
    std::string const f = dir.file("a.xml");
    writeFile(f, "<attr _id=\"title\" _t=\"rtl::str\" value=\"a &amp; b\" extra=\"x\"/>");
    XmlReader reader;
    reader.pushHandler(&several, nullptr);
    ASSERT_TRUE(reader.parseFile(f.c_str()));
    EXPECT_TRUE(several.all);
    EXPECT_EQ(several.got, (std::vector<std::string> {"a & b", "title", "rtl::str"}));

    writeFile(f, "<attr _id=\"title\" value=\"v\"/>");
    several.got.clear();
    ASSERT_TRUE(reader.parseFile(f.c_str()));
    EXPECT_FALSE(several.all) << "no \"_t\"";
    EXPECT_EQ(several.got, (std::vector<std::string> {"v", "title", "(none)"}));
}

TEST(XmlReader, RealsReadTheSameWhicheverWayTheyAreWritten)
{
    // The writer's own form reads on a fast path; any other form as the C library reads it.
    double v = 7;
    EXPECT_TRUE(Xml::parseReal("-0.250000", v));
    EXPECT_EQ(v, -0.25);
    for (auto const& [text, expect] : std::vector<std::pair<char const*, double>> {
             {"1e3", 1000.0}, {" 2.5", 2.5}, {"+1.5", 1.5}, {"1.5x", 1.5}, {"12", 12.0}}) {
        EXPECT_TRUE(Xml::parseReal(text, v)) << text;
        EXPECT_EQ(v, expect) << text;
    }
    v = 7;
    EXPECT_FALSE(Xml::parseReal("abc", v));
    EXPECT_FALSE(Xml::parseReal("", v));
    EXPECT_EQ(v, 7) << "left as it was";
}

TEST(XmlReader, WholeNumbersReadAsTheCLibraryReadsThem)
{
    // The int and long forms give what strtol gives, the clamped value and the failure beyond the
    // range included, whatever the text holds around the digits.
    std::vector<std::string> const texts = {"0",
                                            "-0",
                                            "42",
                                            "-42",
                                            "007",
                                            "12abc",
                                            " 5",
                                            "+5",
                                            "-",
                                            "",
                                            "x",
                                            "2147483647",
                                            "2147483648",
                                            "-2147483649",
                                            "9223372036854775807",
                                            "9223372036854775808",
                                            "-9223372036854775809",
                                            "99999999999999999999",
                                            "1e3",
                                            "\t-17 "};
    struct Probe : XmlReadHandler
    {
        std::vector<std::string> const* texts = nullptr;
        std::vector<std::pair<bool, long>> longs;
        std::vector<std::pair<bool, int>> ints;
        bool xmlReadStartElement(XmlReader& r, char const*, int) override
        {
            for (std::size_t i = 0; i < texts->size(); ++i) {
                std::string const n = "a" + std::to_string(i);
                long l = -5;
                int v = -5;
                bool const lok = r.getAttr(n.c_str(), l);
                bool const iok = r.getAttr(n.c_str(), v);
                longs.emplace_back(lok, l);
                ints.emplace_back(iok, v);
            }
            return true;
        }
    } probe;
    probe.texts = &texts;
    std::string doc = "<r";
    for (std::size_t i = 0; i < texts.size(); ++i)
        doc += " a" + std::to_string(i) + "=\"" + (texts[i] == "\t-17 " ? "&#9;-17 " : texts[i]) +
               "\"";
    doc += "/>";
    ScratchDir dir;
    writeFile(dir.file("n.xml"), doc);
    XmlReader reader;
    reader.pushHandler(&probe, nullptr);
    ASSERT_TRUE(reader.parseFile(dir.file("n.xml").c_str()));
    ASSERT_EQ(probe.longs.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        errno = 0;
        long const want = std::strtol(texts[i].c_str(), nullptr, 10);
        bool const ok = errno != ERANGE;
        EXPECT_EQ(probe.longs[i], std::make_pair(ok, want)) << '"' << texts[i] << '"';
        EXPECT_EQ(probe.ints[i], std::make_pair(ok, static_cast<int>(want)))
            << '"' << texts[i] << '"';
    }
}
