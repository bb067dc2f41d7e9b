#include "ObDoc.h"
#include "ScratchDir.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

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

} // namespace

TEST(ObDoc, CanSaveWhereTheFolderExists)
{
    ScratchDir dir;
    ObDoc doc;
    EXPECT_FALSE(doc.canSaveTest());
    for (std::string path : {std::string("plain.orstime"), std::string("/rooted.orstime"), dir.path + "/missing/x"}) {
        doc.setPath(path.c_str());
        EXPECT_FALSE(doc.canSaveTest()) << path;
    }
    doc.setPath((dir.path + "/not-yet-written.orstime").c_str());
    EXPECT_TRUE(doc.canSaveTest());
}

TEST(ObDoc, AttributesWrittenAndReadBackThroughXml)
{
    ScratchDir dir;
    std::string const file = dir.file("doc.xml");
    ObDoc doc;
    doc.setPath("/some/where/My Doc.orstime");
    doc.setName("My Doc");
    doc.setNeedsSave(true);
    XmlWriter w("ISO-8859-1");
    ASSERT_TRUE(w.startDocument(file.c_str(), "doc"));
    ASSERT_TRUE(doc.xmlWrite(w));
    ASSERT_TRUE(w.endDocument());
    std::string const xml = readFile(file);
    std::size_t const path = xml.find("_id=\"path\""), name = xml.find("_id=\"name\""), flag = xml.find("_id=\"needsSave\"");
    EXPECT_LT(path, name);
    EXPECT_LT(name, flag);
    EXPECT_NE(flag, std::string::npos);
    EXPECT_THAT(xml, testing::HasSubstr("_t=\"bool\" value=\"True\""));

    ObDoc back;
    Root root(&back);
    XmlReader r;
    r.pushHandler(&root, nullptr);
    ASSERT_TRUE(r.parseFile(file.c_str()));
    EXPECT_STREQ(back.getPath().c(), "/some/where/My Doc.orstime");
    EXPECT_STREQ(back.getName().c(), "My Doc");
    EXPECT_TRUE(back.getNeedsSave());

    // Only the four true texts set the flag when read.
    for (char const* no : {"1", "yes", "TRUE"}) {
        back.setAttrByString("needsSave", no, "bool");
        EXPECT_FALSE(back.getNeedsSave()) << no;
    }
    back.setAttrByString("needsSave", "t", "bool");
    EXPECT_TRUE(back.getNeedsSave());
}
