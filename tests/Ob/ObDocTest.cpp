#include "ObAttr.h"
#include "ObDoc.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Records the hook calls of the setters.
struct HookedDoc : ObDoc
{
    void hookName(rtl::str old, rtl::str nu) override { names.emplace_back(old.c(), nu.c()); }
    bool checkPath(rtl::str path) const override { return !(path == "refused"); }
    std::vector<std::pair<std::string, std::string>> names;
};

std::string attr(ObObj const& o, char const* name)
{
    rtl::str text;
    EXPECT_TRUE(o.getAttrAsString(name, text));
    return text.c();
}

// Hands the root element to the object being read, as a document does.
struct Root : XmlReadHandler
{
    explicit Root(ObObj* o) : target(o) {}
    bool xmlReadStartElement(XmlReader& r, char const* name, int) override
    {
        if (std::strcmp(name, "doc") != 0)
            return false;
        r.pushHandler(target, nullptr);
        return true;
    }
    ObObj* target;
};

std::string tempDir()
{
    char pattern[] = "/tmp/obdoc-XXXXXX";
    char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    return made ? made : "";
}

} // namespace

TEST(ObDoc, AttributesSettersAndBaseBehaviour)
{
    HookedDoc doc;
    EXPECT_EQ(attr(doc, "path"), "");
    EXPECT_EQ(attr(doc, "needsSave"), "False");
    std::list<rtl::str> names;
    doc.getAttrNames(names);
    std::vector<std::string> listed;
    for (auto const& n : names)
        listed.push_back(n.c());
    EXPECT_EQ(listed, (std::vector<std::string>{"path", "name", "needsSave"}));
    ObAttr desc;
    EXPECT_TRUE(doc.getAttr("needsSave", desc));
    EXPECT_STREQ(desc.getCDataType(), "bool");
    EXPECT_FALSE(doc.getAttr("winX", desc));

    EXPECT_TRUE(doc.setName("Untitled"));
    EXPECT_TRUE(doc.setName("Untitled 2"));
    EXPECT_EQ(doc.names, (std::vector<std::pair<std::string, std::string>>{{"", "Untitled"}, {"Untitled", "Untitled 2"}}));
    EXPECT_FALSE(doc.setPath("refused"));
    EXPECT_EQ(attr(doc, "path"), "");

    // Reading restores values without checks or hooks; only the four true texts set a flag.
    EXPECT_TRUE(doc.setAttrByString("path", "refused", "rtl::str"));
    EXPECT_EQ(attr(doc, "path"), "refused");
    EXPECT_TRUE(doc.setAttrByString("name", "Read", nullptr));
    EXPECT_EQ(doc.names.size(), 2u);
    for (char const* yes : {"T", "True", "t", "true"}) {
        doc.setAttrByString("needsSave", "False", "bool");
        doc.setAttrByString("needsSave", yes, "bool");
        EXPECT_TRUE(doc.getNeedsSave()) << yes;
    }
    for (char const* no : {"1", "yes", "TRUE"}) {
        doc.setAttrByString("needsSave", "true", "bool");
        doc.setAttrByString("needsSave", no, "bool");
        EXPECT_FALSE(doc.getNeedsSave()) << no;
    }
    EXPECT_FALSE(doc.setAttrByString("winX", "3", "int"));

    EXPECT_FALSE(doc.load("/tmp"));
    EXPECT_FALSE(doc.save("/tmp"));
    EXPECT_STREQ(doc.desc(), "doc");
    EXPECT_STREQ(doc.normalizePath("a/b.orstime").c(), "a/b.orstime");
    EXPECT_STREQ(doc.normalizePath(rtl::str()).c(), "");
}

TEST(ObDoc, CanSaveWhereTheFolderExists)
{
    std::string const dir = tempDir();
    ObDoc doc;
    EXPECT_FALSE(doc.canSaveTest());
    for (std::string path : {std::string("plain.orstime"), std::string("/rooted.orstime"), dir + "/missing/x.orstime"}) {
        doc.setPath(path.c_str());
        EXPECT_FALSE(doc.canSaveTest()) << path;
    }
    doc.setPath((dir + "/not-yet-written.orstime").c_str());
    EXPECT_TRUE(doc.canSaveTest());
    rmdir(dir.c_str());
}

TEST(ObDoc, AttributesWrittenAndReadBackThroughXml)
{
    std::string const dir = tempDir();
    std::string const file = dir + "/doc.xml";
    ObDoc doc;
    doc.setPath("/some/where/My Doc.orstime");
    doc.setName("My Doc");
    doc.setNeedsSave(true);
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(file.c_str(), "doc"));
        ASSERT_TRUE(doc.xmlWrite(w));
        ASSERT_TRUE(w.endDocument());
    }
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::string const xml = text.str();
    std::size_t const path = xml.find("_id=\"path\""), name = xml.find("_id=\"name\""), flag = xml.find("_id=\"needsSave\"");
    ASSERT_NE(flag, std::string::npos);
    EXPECT_LT(path, name);
    EXPECT_LT(name, flag);
    EXPECT_NE(xml.find("value=\"True\""), std::string::npos);

    ObDoc back;
    Root root(&back);
    XmlReader r;
    r.pushHandler(&root, nullptr);
    ASSERT_TRUE(r.parseFile(file.c_str()));
    EXPECT_STREQ(back.getPath().c(), "/some/where/My Doc.orstime");
    EXPECT_STREQ(back.getName().c(), "My Doc");
    EXPECT_TRUE(back.getNeedsSave());
    unlink(file.c_str());
    rmdir(dir.c_str());
}
