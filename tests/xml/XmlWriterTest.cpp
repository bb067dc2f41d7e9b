#include "XmlWriter.h"
#include "ScratchDir.h"
#include "XmlReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testing::HasSubstr;

namespace {

// Writes a document of one element; answers whether it was saved.
bool save(std::string const& path, char const* text = "new")
{
    XmlWriter w("ISO-8859-1");
    return w.startDocument(path.c_str(), "root") && w.addAttribute("t", text) && w.endDocument();
}

mode_t modeOf(std::string const& path)
{
    struct stat st
    {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

// Takes what a callback prints on standard output.
template <class F> std::string printed(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(XmlWriter, WritesIndentedDocumentWithTypedAttributes)
{
    char const* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "tools/deps generates the locale";
    ScratchDir dir;
    std::string f = dir.file("doc.xml");
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_TRUE(w.startElement("e"));
        EXPECT_TRUE(w.addAttribute("d", 0.1));
        EXPECT_TRUE(w.addAttribute("f", 0.5f));
        EXPECT_TRUE(w.addAttribute("b", true));
        EXPECT_TRUE(w.addAttribute("i", -7));
        EXPECT_TRUE(w.addAttribute("u", 4000000000u));
        EXPECT_TRUE(w.addAttribute("s", "a<\xc3\xa9"));
        EXPECT_TRUE(w.endElement());
        EXPECT_FALSE(w.startElement(nullptr));
        EXPECT_TRUE(w.startElement("v"));
        EXPECT_TRUE(w.addValue(1.25));
        EXPECT_TRUE(w.endElement());
        EXPECT_TRUE(w.addComment("caf\xc3\xa9"));
        EXPECT_TRUE(w.endDocument());
    }
    std::setlocale(LC_ALL, saved.c_str());
    std::string want = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                       "<root>\n"
                       "   <e d=\"0.100000\" f=\"0.500000\" b=\"True\" i=\"-7\" u=\"4000000000\" s=\"a&lt;\xe9\"/>\n"
                       "   <v>1.250000</v>\n"
                       "   <!--caf\xe9-->\n"
                       "</root>\n";
    EXPECT_EQ(readFile(f), want);
}

TEST(XmlWriter, FailedSaveLeavesTheOldFileAlone)
{
    ScratchDir dir;
    std::string f = dir.file("doc.xml");
    writeFile(f, "OLD CONTENT");

    // Abandoned after a failing step: nothing replaces the target, no temporary file stays.
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_TRUE(w.startElement("a"));
        EXPECT_FALSE(w.addAttribute("b", static_cast<char const*>(nullptr)));
        EXPECT_FALSE(w.endElement()) << "every step after a failure fails";
        EXPECT_FALSE(w.endDocument());
    }
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_TRUE(w.startElement("a"));
    } // destroyed without endDocument
    EXPECT_EQ(readFile(f), "OLD CONTENT");

    // Text a reader could not take back fails the save where it is written: a control
    // character (libxml2 would write it raw and the file would no longer parse), broken UTF-8,
    // a comment that would end early.
    for (char const* bad : {"a\x01b", "caf\xe9", "\xc3", "\xed\xa0\x80", "\xc0\xaf", "\xef\xbf\xbe"}) {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_TRUE(w.startElement("a"));
        EXPECT_FALSE(w.addAttribute("t", bad)) << bad;
        EXPECT_FALSE(w.endDocument());
    }
    for (char const* bad : {"a--b", "end-"}) {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_FALSE(w.addComment(bad)) << bad;
        EXPECT_FALSE(w.endDocument());
    }
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_FALSE(w.addString("x\x1b[0m"));
        EXPECT_FALSE(w.endDocument());
    }
    EXPECT_EQ(readFile(f), "OLD CONTENT");

    // The directory vanishes between start and end.
    std::string sub = dir.file("gone");
    ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
    {
        XmlWriter w("ISO-8859-1");
        std::string target = sub + "/doc.xml";
        ASSERT_TRUE(w.startDocument(target.c_str(), "root"));
        std::filesystem::remove_all(sub);
        EXPECT_FALSE(w.endDocument());
        XmlWriter w2("ISO-8859-1");
        EXPECT_FALSE(w2.startDocument(target.c_str(), "root"));
    }

    // The target is a directory: the save fails and the directory stays.
    std::string asDir = dir.file("isdir");
    ASSERT_EQ(mkdir(asDir.c_str(), 0755), 0);
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(asDir.c_str(), "root"));
        EXPECT_FALSE(w.endDocument());
        struct stat st;
        ASSERT_EQ(stat(asDir.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
    }
    // Only the original file and the directory are left.
    EXPECT_EQ(listing(dir.path), (std::vector<std::string> {"doc.xml", "isdir"}));
}

// What the writer saves, the reader opens: a start tag or a text up to the limit (in the worst
// case of escapes) and elements nested to the limit save and read back; one step beyond fails
// the save with a message naming the attribute or the element, and the old file stays.
TEST(XmlWriter, SavesOnlyWhatTheReaderOpens)
{
    ScratchDir dir;
    std::string const f = dir.file("doc.xml");
    writeFile(f, "OLD CONTENT");
    // "<root" and "/>", then ' value="..."': the quotes take six bytes each as "&quot;".
    size_t const room = Xml::MaxStoredBytes - std::strlen("root") - 3 - std::strlen("value") - 4;
    std::string const quotes(room / 6, '"');
    std::string const fill(room - Xml::storedSize(quotes.c_str()), 'a');
    std::string const full = quotes + fill;
    ASSERT_EQ(Xml::storedSize(full.c_str()), room);
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_TRUE(w.addAttribute("value", full.c_str()));
        ASSERT_TRUE(w.endDocument());
    }
    struct Value : XmlReadHandler
    {
        std::string got;
        bool xmlReadStartElement(XmlReader& r, char const*, int) override
        {
            char const* v = nullptr;
            if (r.getAttr("value", v))
                got = v;
            return true;
        }
    } value;
    XmlReader reader;
    reader.pushHandler(&value, nullptr);
    ASSERT_TRUE(reader.parseFile(f.c_str())) << reader.failMessage();
    EXPECT_EQ(value.got, full);

    // One byte beyond, in one attribute, in the sum of a start tag's attributes, in texts
    // written one after another, in the nesting; a control character: each printed and explained.
    std::string const saved = readFile(f);
    std::string const over = full + "a", half(Xml::MaxStoredBytes / 2 + 1, 'x');
    struct Case
    {
        char const* named; // in the printed message
        std::function<bool(XmlWriter&)> steps;
        std::string what {}, why {}; // the refusal, as the writer names it (one row per kind)
    } const cases[] = {
        {"attribute 'value'", [&](XmlWriter& w) { return w.addAttribute("value", over.c_str()); },
         "the attribute 'value'",
         " would take 9,990,001 bytes, more than a document can hold (9,990,000)"},
        {"attribute 'more'",
         [&](XmlWriter& w) {
             return w.addAttribute("value", fill.c_str()) && w.addAttribute("more", quotes.c_str());
         }},
        {"the text",
         [&](XmlWriter& w) { return w.addString(half.c_str()) && w.addString(half.c_str()); }},
        {"'deepest'",
         [&](XmlWriter& w) {
             for (int depth = 2; depth <= Xml::MaxDepth; ++depth)
                 if (!w.startElement("object"))
                     return false;
             return w.startElement("deepest");
         },
         "the element 'deepest'",
         " would be nested 257 deep, deeper than a document can hold (256)"},
        {"is refused", [&](XmlWriter& w) { return w.addAttribute("bell", "ring\x07"); },
         "the attribute 'bell'",
         " cannot be stored: a document holds no control characters and only UTF-8 text"},
    };
    for (auto const& c : cases) {
        bool ended = true;
        std::string refusal, named;
        std::string const out = printed([&] {
            XmlWriter w("ISO-8859-1");
            ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
            EXPECT_FALSE(c.steps(w)) << c.named;
            refusal = w.refusal();
            // The caller's words for what was refused: the first that are given stay.
            w.nameRefused("the title of an event");
            w.nameRefused("an event");
            named = w.refusal();
            ended = w.endDocument();
        });
        EXPECT_FALSE(ended) << c.named;
        EXPECT_THAT(out, HasSubstr(c.named));
        if (!c.why.empty()) {
            EXPECT_EQ(refusal, c.what + c.why);
            EXPECT_EQ(named, "the title of an event" + c.why);
        }
    }
    EXPECT_EQ(readFile(f), saved);

    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        for (int depth = 2; depth <= Xml::MaxDepth; ++depth)
            ASSERT_TRUE(w.startElement("object"));
        ASSERT_TRUE(w.endDocument());
    }
    XmlReader deep;
    XmlReadHandler takesAll;
    deep.pushHandler(&takesAll, nullptr);
    EXPECT_TRUE(deep.parseFile(f.c_str())) << deep.failMessage();
    std::string nested;
    for (int i = 0; i <= Xml::MaxDepth; ++i)
        nested = "<o>" + nested + "</o>";
    writeFile(f, nested);
    EXPECT_FALSE(deep.parseFile(f.c_str())) << "the reader holds to the same depth";
}

// A save keeps what the old file was: its permission bits, and its place when the path is a
// symbolic link. A new file gets what a plain create gives; the umask stays as it was.
TEST(XmlWriter, SavingKeepsTheFilesIdentity)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    mode_t const mask = ::umask(027);
    ASSERT_TRUE(save(f));
    EXPECT_EQ(modeOf(f), 0640u);
    EXPECT_EQ(::umask(mask), 027u) << "the save left the umask alone";

    ASSERT_EQ(::chmod(f.c_str(), 0604), 0);
    ASSERT_TRUE(save(f, "again"));
    EXPECT_EQ(modeOf(f), 0604u);
    EXPECT_THAT(readFile(f), HasSubstr("again"));

    // Through links, absolute and relative, to a file that may not exist yet.
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
    std::string const target = dir.file("real/target.xml");
    writeFile(target, "OLD");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    std::string const link = dir.file("link.xml");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    std::string const hop = dir.file("hop.xml");
    ASSERT_EQ(::symlink("link.xml", hop.c_str()), 0);
    std::string const dangling = dir.file("dangling.xml");
    ASSERT_EQ(::symlink("real/later.xml", dangling.c_str()), 0);
    ASSERT_TRUE(save(hop, "through"));
    ASSERT_TRUE(save(dangling, "created"));
    struct stat st
    {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::lstat(hop.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_THAT(readFile(target), HasSubstr("through"));
    EXPECT_EQ(modeOf(target), 0600u);
    EXPECT_THAT(readFile(dir.file("real/later.xml")), HasSubstr("created"));
    EXPECT_EQ(listing(dir.file("real")), (std::vector<std::string> {"later.xml", "target.xml"}));

    std::string const loop = dir.file("loop.xml");
    ASSERT_EQ(::symlink("loop.xml", loop.c_str()), 0);
    EXPECT_FALSE(save(loop));
}

// Temporary files of killed saves are removed by the next successful save of the same file;
// a save that is still running (it holds its file locked) and other files are left alone.
TEST(XmlWriter, ASuccessfulSaveRemovesWhatKilledSavesLeft)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    for (char const* name :
         {"doc_data.xml.tmp-AbC123", "doc_data.xml.tmp-zzzzzz", "doc_data.xml.tmp-AbC12",
          "doc_data.xml.tmp-AbC1234", "other.xml.tmp-AbC123", "doc_data.xml.tmp-running"})
        writeFile(dir.file(name), "left over");
    int const running =
        ::open(dir.file("doc_data.xml.tmp-runnin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "root"));
        EXPECT_FALSE(w.addAttribute("bad", "\x01"));
        EXPECT_FALSE(w.endDocument());
    }
    EXPECT_EQ(listing(dir.path).size(), 7u) << "a failed save removes nothing";
    ASSERT_TRUE(save(f));
    ::close(running);
    EXPECT_EQ(listing(dir.path),
              (std::vector<std::string> {"doc_data.xml", "doc_data.xml.tmp-AbC12",
                                         "doc_data.xml.tmp-AbC1234", "doc_data.xml.tmp-runnin",
                                         "doc_data.xml.tmp-running", "other.xml.tmp-AbC123"}));
}
