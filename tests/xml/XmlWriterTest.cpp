#include "ScratchDir.h"
#include "XmlWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sys/stat.h>

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
        xmlChar* u = w.ConvertInput("caf\xe9", "ISO-8859-1");
        EXPECT_STREQ(reinterpret_cast<char const*>(u), "caf\xc3\xa9");
        xmlFree(u);
        EXPECT_EQ(w.ConvertInput("caf\xe9", "no-such-encoding"), nullptr);
        EXPECT_EQ(w.ConvertInput(nullptr, "ISO-8859-1"), nullptr);
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
    struct stat st;
    ASSERT_EQ(stat(dir.path.c_str(), &st), 0);
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
        std::string cmd = "rm -rf '" + sub + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
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
    std::string listing;
    FILE* p = popen(("ls -A '" + dir.path + "'").c_str(), "r");
    char buf[256];
    while (p && fgets(buf, sizeof buf, p))
        listing += buf;
    if (p)
        pclose(p);
    EXPECT_EQ(listing, "doc.xml\nisdir\n");
}
