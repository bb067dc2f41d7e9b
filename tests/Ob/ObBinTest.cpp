#include "ObAttr.h"
#include "ObBin.h"
#include "ScratchDir.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>

using testing::HasSubstr;

namespace {

std::string text(ObBin const& b, char const* name)
{
    rtl::str t;
    return b.getAttrAsString(rtl::str(name), t) ? t.c() : "<none>";
}

} // namespace

TEST(ObBin, AttributesKeepTheirFirstKind)
{
    ObBin b;
    b.setAttr(rtl::str("n"), 3);
    b.setAttr(rtl::str("n"), 2.7f);
    EXPECT_EQ(b.getInt(rtl::str("n")), 2);
    EXPECT_EQ(text(b, "n"), "2");
    b.setAttr(rtl::str("on"), true);
    b.setAttr(rtl::str("on"), 0);
    EXPECT_FALSE(b.getBool(rtl::str("on")));
    b.setAttr(rtl::str("s"), "x");
    b.setAttr(rtl::str("s"), 5);
    EXPECT_STREQ(b.getCString(rtl::str("s")), "5");
    b.setAttr(rtl::str("f"), 1e30f);
    b.setAttr(rtl::str("i"), 1);
    b.setAttr(rtl::str("i"), 1e30f);
    EXPECT_EQ(b.getInt(rtl::str("i")), INT_MAX) << "out-of-range floats clamp";

    struct
    {
        char const* value;
        unsigned long kind;
    } deduced[] = {{"True", ObObj::ParmBool}, {"12", ObObj::ParmInt}, {"1.5", ObObj::ParmFloat},
                   {"-3", ObObj::ParmString}, {"1.2.3", ObObj::ParmString}};
    for (auto const& d : deduced) {
        ObBin c;
        EXPECT_TRUE(c.setAttrByString(rtl::str("a"), rtl::str(d.value), nullptr));
        EXPECT_EQ(c.getAttrFlags(rtl::str("a")), d.kind) << d.value;
        EXPECT_EQ(text(c, "a"), d.kind == ObObj::ParmFloat ? "1.500000" : d.value);
    }
    ObBin c;
    c.setAttrByString(rtl::str("yes"), rtl::str("1"), "bool");
    c.setAttrByString(rtl::str("no"), rtl::str("no"), "bool");
    c.setAttrByString(rtl::str("odd"), rtl::str("7"), "wobble");
    c.setAttrByString(rtl::str("big"), rtl::str("1e40"), "float");
    EXPECT_EQ(c.getFloat(rtl::str("big")), FLT_MAX) << "a real beyond the float range is clamped";
    EXPECT_TRUE(c.getBool(rtl::str("yes")));
    EXPECT_FALSE(c.getBool(rtl::str("no")));
    EXPECT_EQ(c.getInt(rtl::str("odd")), 7) << "an unknown type name falls back to the text";
    c.setMultiAttrs(rtl::str(), rtl::str("a=True,b=2,,c=0.5,d=hi"));
    EXPECT_TRUE(c.getBool(rtl::str("a")));
    EXPECT_EQ(c.getInt(rtl::str("b")), 2);
    EXPECT_EQ(c.getFloat(rtl::str("c")), 0.5f);
    EXPECT_STREQ(c.getCString(rtl::str("d")), "hi");
}

TEST(ObBin, TreeOfChildrenWithInheritance)
{
    ObBin root;
    root.setAttr(rtl::str("w"), 4);
    ObBin* a = root.ensureAtPath(rtl::str("/a/b"));
    EXPECT_EQ(root.ensureAtPath(rtl::str("/a/b")), a);
    EXPECT_EQ(a->ensureAtPath(rtl::str("c"))->myParent, a);
    EXPECT_STREQ(a->getPath().c(), "//a[0]/b[0]");
    int v = 0;
    EXPECT_FALSE(a->getAttr(rtl::str("w"), v));
    EXPECT_TRUE(a->getInheritedAttr(rtl::str("w"), v));
    EXPECT_EQ(v, 4);
    ObBin* mid = root.getSub(rtl::str("a"), 0);
    mid->setAttrFlags(rtl::str("w"), ObObj::ParmInherit);
    v = 0;
    EXPECT_TRUE(mid->getAttr(rtl::str("w"), v));
    EXPECT_EQ(v, 4);

    for (int i = 0; i < 3; ++i)
        root.newSub(rtl::str("x"))->setAttr(rtl::str("i"), i);
    ObBin* last = root.removeSub(rtl::str("x"), -1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->getInt(rtl::str("i")), 2);
    EXPECT_EQ(last->myParent, nullptr);
    delete last;
    EXPECT_EQ(root.getSub(rtl::str("x"), 1)->mySubIndex, 1);
    EXPECT_EQ(root.getSub(rtl::str("x"), 2), nullptr);
    EXPECT_TRUE(root.deleteSub(rtl::str("x"), 0));
    EXPECT_EQ(root.getSub(rtl::str("x"), 0)->getInt(rtl::str("i")), 1);
    EXPECT_EQ(root.getSub(rtl::str("x"), 0)->mySubIndex, 0);

    root.setAttr(rtl::str("a"), 1);
    EXPECT_TRUE(root.deleteSub(rtl::str("a"), 0));
    EXPECT_FALSE(root.hasAttr(rtl::str("a"))) << "removing the last child of a name drops that attribute";
    EXPECT_FALSE(root.deleteSub(rtl::str("a"), 0));

    ObBin copy;
    root.copyTo(&copy, nullptr);
    EXPECT_EQ(copy.getInt(rtl::str("w")), 4);
    ASSERT_NE(copy.getSub(rtl::str("x"), 0), nullptr);
    EXPECT_NE(copy.getSub(rtl::str("x"), 0), root.getSub(rtl::str("x"), 0));
    EXPECT_EQ(copy.getSub(rtl::str("x"), 0)->myParent, &copy);
}

TEST(ObBin, WritesAndReadsItsTree)
{
    ObBin b;
    b.setAttr(rtl::str("name"), "top");
    b.setAttr(rtl::str("p"), "k=v", true);
    b.newSub(rtl::str("x"))->setAttr(rtl::str("i"), 1);
    b.newSub(rtl::str("x"));
    b.newSub(rtl::str("y"))->setAttr(rtl::str("f"), 0.25f);
    ScratchDir dir;
    std::string f = dir.file("bin.xml");
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "setting"));
        ASSERT_TRUE(b.xmlWrite(w)) << "a complex attribute is left out, not a failure";
        ASSERT_TRUE(w.endDocument());
    }
    std::string doc = readFile(f);
    EXPECT_THAT(doc, testing::Not(HasSubstr("k=v")));
    size_t x1 = doc.find("_id=\"x\""), x2 = doc.find("_id=\"x\"", x1 + 1), y = doc.find("_id=\"y\"");
    EXPECT_LT(x1, x2);
    EXPECT_LT(x2, y);
    EXPECT_NE(y, std::string::npos);

    // Read back, with a refused child whose content must not reach the parent.
    doc.insert(doc.find("</setting>"),
               "<object _t=\"Nope\" _id=\"z\"><attr _id=\"name\" _t=\"str\" value=\"hijacked\"/></object>"
               "<object _id=\"q\"><attr _id=\"name\" _t=\"str\" value=\"hijacked\"/></object>");
    writeFile(f, doc);
    ObBin r;
    struct Setting : XmlReadHandler
    {
        ObBin* bin;
        bool xmlReadStartElement(XmlReader& rd, char const*, int) override
        {
            rd.pushHandler(bin, nullptr);
            return true;
        }
        bool xmlReadEndElement(XmlReader& rd, char const*) override
        {
            rd.popHandler();
            return true;
        }
    } setting;
    setting.bin = &r;
    XmlReader reader;
    reader.pushHandler(&setting, nullptr);
    ASSERT_TRUE(reader.parseFile(f.c_str()));
    EXPECT_EQ(reader.currentHandler(), &setting);
    EXPECT_STREQ(r.getCString(rtl::str("name")), "top");
    ASSERT_NE(r.getSub(rtl::str("x"), 1), nullptr) << "the empty child was read too";
    EXPECT_EQ(r.getSub(rtl::str("x"), 0)->getInt(rtl::str("i")), 1);
    EXPECT_EQ(r.getSub(rtl::str("y"), 0)->getFloat(rtl::str("f")), 0.25f);
    EXPECT_EQ(r.getSub(rtl::str("z"), 0), nullptr);
    EXPECT_EQ(r.getSub(rtl::str("q"), 0), nullptr);
    std::list<rtl::str> names;
    r.getAttrNames(names);
    EXPECT_EQ(names.size(), 1u);
}

// Bins nest as deep as a document may hold and no deeper: a save beyond fails, names the child
// where it stopped, and leaves the earlier file.
TEST(ObBin, NestsNoDeeperThanADocumentHolds)
{
    ScratchDir dir;
    std::string const f = dir.file("bin.xml");
    auto saveNested = [&](int levels) {
        ObBin root;
        ObBin* at = &root;
        for (int i = 1; i < levels; ++i)
            at = at->newSub(rtl::str(i + 1 == levels ? "deepest" : "child"));
        at->setAttr(rtl::str("depth"), levels);
        XmlWriter w("ISO-8859-1");
        return w.startDocument(f.c_str(), "setting") && root.xmlWrite(w) && w.endDocument();
    };
    // The document's root holds the top bin's attributes; every child is one level more, and
    // its attributes one more again.
    ASSERT_TRUE(saveNested(Xml::MaxDepth - 1));
    std::string const saved = readFile(f);
    XmlReader reader;
    XmlReadHandler all;
    reader.pushHandler(&all, nullptr);
    EXPECT_TRUE(reader.parseFile(f.c_str())) << reader.failMessage();

    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveNested(Xml::MaxDepth));
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("child 'deepest' could not be saved"));
    EXPECT_EQ(readFile(f), saved);
}

TEST(ObAttr, RealsAreDocumentTextInAnyLocale)
{
    char const* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "tools/deps generates de_DE.UTF-8";
    rtl::str t = ObAttr::realText(0.5);
    double back = ObAttr::realValue("2.25");
    ObBin b;
    b.setAttrByString(rtl::str("f"), rtl::str("1.5"), "float");
    rtl::str bt;
    b.getAttrAsString(rtl::str("f"), bt);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_STREQ(t.c(), "0.500000");
    EXPECT_EQ(back, 2.25);
    EXPECT_STREQ(bt.c(), "1.500000");
}
