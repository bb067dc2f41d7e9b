#include "mDoc.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObQtRefresher.h"
#include "ScratchDir.h"
#include "mEvent.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using testing::HasSubstr;

namespace {

struct Doc : mDoc
{
    Doc() { init(); }
    void pass() { getQtRefresher()->_doRefreshIfNeeded(nullptr); }
    void raise(uint32_t id) { getDirtEngine()->setDirty(id, true); }
};

// What follows the prefix at the start of each line, up to the first blank, '>' or '"'.
std::vector<std::string> lineHeads(std::string const& text, std::string const& prefix)
{
    std::vector<std::string> out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, prefix.size(), prefix) == 0 && line[prefix.size()] != '/')
            out.push_back(line.substr(prefix.size(),
                                      line.find_first_of(" >\"", prefix.size()) - prefix.size()));
    return out;
}

} // namespace

TEST(mDocTest, EveryFormOfABundlePathNamesOneDocument)
{
    struct Case
    {
        char const* path;
        char const* normal;
        char const* name;
    };
    Case const cases[] = {
        {"/data/Plans.orstime", "/data/Plans", "Plans"},
        {"/data/Plans.orstime/doc_data.xml", "/data/Plans", "Plans"},
        {"/data/Plans", "/data/Plans", "Plans"},
        {"/data/Plans.orstime/", "/data/Plans", "Plans"},
        {"//data//Plans.orstime", "/data/Plans", "Plans"},
        {"/data/my.plans.orstime", "/data/my.plans", "my.plans"},
        {"/data/X.ORSTIME", "/data/X.ORSTIME", "X.ORSTIME"},
        {"work/Plans", "/work/Plans", "Plans"},
        {"/doc_data.xml", "/doc_data.xml", ""},
    };
    Doc doc;
    for (Case const& c : cases) {
        EXPECT_STREQ(doc.normalizePath(rtl::str(c.path)).cs(), c.normal) << c.path;
        EXPECT_STREQ(mDoc::pathToName(rtl::str(c.path)).cs(), c.name) << c.path;
    }
    EXPECT_STREQ(mDoc::filePath(rtl::str("/data/X.ORSTIME")).cs(),
                 "/data/X.ORSTIME.orstime/doc_data.xml");
    EXPECT_FALSE(mDoc::filePath(rtl::str("doc_data.xml")));
    doc.setPath(rtl::str("/data/Plans.orstime/doc_data.xml"));
    EXPECT_STREQ(doc.getPath().cs(), "/data/Plans.orstime");
}

TEST(mDocTest, SavedBundleReadsBackWithItsLayoutAndItsText)
{
    ScratchDir dir;
    std::string const title = "Caf\xc3\xa9 5 \xe2\x82\xac"; // é and €, in UTF-8
    std::string const bundle = dir.file("deep/Pl\xc3\xa4ne");
    Obh event;
    {
        Doc doc;
        event = tlObj::ourType_mEvent->make();
        tlObj::ourType_mEvent->ptr(event)->setTitle(rtl::str(title.c_str()));
        doc.setWinX(40);
        doc.setNeedsSave(true);
        ASSERT_TRUE(doc.save(bundle.c_str())) << doc.fileError().cs();
        EXPECT_STREQ(doc.getName().cs(), "Pl\xc3\xa4ne");
        EXPECT_EQ(doc.getPath().cs(), bundle + ".orstime");
        EXPECT_FALSE(doc.getNeedsSave());
    }
    std::string const text = readFile(bundle + ".orstime/doc_data.xml");
    EXPECT_THAT(text, HasSubstr("encoding=\"ISO-8859-1\""));
    EXPECT_EQ(lineHeads(text, "   <"),
              (std::vector<std::string> {"objects", "timeline_component", "doc"}));
    std::string const docPart = text.substr(text.find("\n   <doc>"));
    EXPECT_EQ(
        lineHeads(docPart, "      <attr _id=\""),
        (std::vector<std::string> {"winX", "winY", "winW", "winH", "path", "name", "needsSave"}));
    EXPECT_THAT(docPart, HasSubstr("_id=\"needsSave\" _t=\"bool\" value=\"True\""));
    EXPECT_THAT(text, HasSubstr("Caf\xe9 5 &#8364;"))
        << "é in the file's encoding, € as a reference";

    Doc again;
    ASSERT_TRUE(again.load((bundle + ".orstime/doc_data.xml").c_str())) << again.fileError().cs();
    event.myType = tlObj::ourType_mEvent; // the same slot, in the store that read it
    mEvent* read = tlObj::ourType_mEvent->ptrFromFile(event);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::string(read->getTitle().cs()), title);
    EXPECT_EQ(again.getWinX(), 40);
    EXPECT_STREQ(again.getName().cs(), "Pl\xc3\xa4ne");
    EXPECT_EQ(again.getPath().cs(), bundle + ".orstime");
}

TEST(mDocTest, ARefusedFileIsReportedAndNamesNothing)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.file("Empty.orstime"));
    writeFile(dir.file("Empty.orstime/doc_data.xml"),
              "<timeline_document_v1><doc/></timeline_document_v1>");
    struct Case
    {
        std::string path, complaint;
    };
    Case const cases[] = {
        {dir.file("Missing"), "Unable to open"},
        {dir.file("Empty"), "holds no timeline"},
    };
    for (Case const& c : cases) {
        Doc doc;
        EXPECT_FALSE(doc.load(c.path.c_str())) << c.path;
        EXPECT_THAT(doc.fileError().cs(), HasSubstr(c.complaint));
        EXPECT_FALSE(doc.getPath()) << c.path;
    }
}

TEST(mDocTest, EditsMarkTheDocumentModifiedAndASaveClearsItInTheSamePass)
{
    struct Case
    {
        char const* what;
        std::vector<uint32_t*> raised;
        bool modified;
    };
    Case const cases[] = {
        {"a zoom", {&tlObj::DirtTimeScaleZoom}, true},
        {"a layer's colour", {&tlObj::DirtLayerColorChanged}, true},
        {"a selection alone", {&tlObj::DirtSelection}, false},
        {"an edit and a save", {&tlObj::DirtUserEditedAttrs, &tlObj::DirtDocJustSynced}, false},
    };
    for (Case const& c : cases) {
        Doc doc;
        doc.raise(tlObj::DirtDocJustSynced);
        doc.pass();
        for (uint32_t* id : c.raised)
            doc.raise(*id);
        doc.pass();
        EXPECT_EQ(doc.getNeedsSave(), c.modified) << c.what;
    }
}

TEST(mDocTest, AWindowStillBoundGoesWithItsDocumentAndClosingLetsItGo)
{
    QPointer<ObQtWinDoc> window;
    {
        Doc doc;
        window = new ObQtWinDoc(&doc);
        doc.setWindow(window);
    }
    EXPECT_TRUE(window.isNull());

    Doc doc;
    window = new ObQtWinDoc(&doc);
    doc.setWindow(window);
    window->show();
    doc.docWillBeClosed();
    EXPECT_EQ(doc.getWindow(), nullptr);
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST(mDocTest, TheSavedRecordNamesTheBundleItIsIn)
{
    ScratchDir dir;
    Doc doc;
    doc.setName("Untitled");
    for (char const* name : {"Plans", "Other"}) { // the first save, then saved as another
        std::string const bundle = dir.file(name) + ".orstime";
        ASSERT_TRUE(doc.save(dir.file(name).c_str())) << doc.fileError().cs();
        std::string const record = readFile(bundle + "/doc_data.xml");
        EXPECT_THAT(record, HasSubstr("\"path\" _t=\"rtl::str\" value=\"" + bundle + "\""));
        EXPECT_THAT(record,
                    HasSubstr("\"name\" _t=\"rtl::str\" value=\"" + std::string(name) + "\""));
    }
    // A folder where the file goes: it is written, then cannot take its name.
    std::filesystem::create_directories(dir.file("Blocked.orstime/doc_data.xml/inside"));
    EXPECT_FALSE(doc.save(dir.file("Blocked").c_str()));
    EXPECT_STREQ(doc.getName().cs(), "Other");
    EXPECT_EQ(doc.getPath().cs(), dir.file("Other") + ".orstime");
}
