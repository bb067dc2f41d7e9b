#include "mDoc.h"

#include "ObAttr.h"
#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObQtRefresher.h"
#include "ScratchDir.h"
#include "XmlWriter.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mTimeline.h"
#include "tlCmp.h"
#include "xml/SameBytes.h"
#include "xml/XmlReferenceWriter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// A document tools/gendoc made in the folder, opened.
testing::AssertionResult generated(ScratchDir const& dir, Doc& doc, int events, int layers)
{
    std::filesystem::path const source =
        std::filesystem::path(VANTREL_TEST_DATA_DIR).parent_path().parent_path().parent_path();
    std::string const command = "python3 '" + (source / "tools/gendoc").string() + "' '" +
                                dir.file("Gen") + "' " + std::to_string(events) + " " +
                                std::to_string(layers) + " --seed 3 >/dev/null";
    if (std::system(command.c_str()) != 0)
        return testing::AssertionFailure() << command;
    if (!doc.load(dir.file("Gen.orstime").c_str()))
        return testing::AssertionFailure() << doc.fileError().cs();
    return testing::AssertionSuccess();
}

// The threads a save formats on, for as long as it lives.
class SaveThreads
{
public:
    explicit SaveThreads(unsigned count) : myOld(XmlWriter::ourThreads)
    {
        XmlWriter::ourThreads = count;
    }
    ~SaveThreads() { XmlWriter::ourThreads = myOld; }

private:
    unsigned myOld;
};

// What a save printed and left in the file, with that many threads.
std::pair<std::string, std::string> saved(Doc& doc, std::string const& bundle, unsigned threads)
{
    SaveThreads only(threads);
    testing::internal::CaptureStdout();
    doc.save(bundle.c_str());
    std::string const printed = testing::internal::GetCapturedStdout();
    return {printed, readFile(bundle + ".orstime/doc_data.xml")};
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

// A document tools/gendoc made, opened, given texts that need escapes and references and odd
// numbers, and saved through the document's writer and through the libxml2 writer it replaced:
// the same bytes.
TEST(mDocTest, AGeneratedDocumentSavesAsTheLibxml2WriterWritesIt)
{
    ScratchDir dir;
    Doc doc;
    ASSERT_TRUE(generated(dir, doc, 3000, 7));
    char const* const texts[] = {
        "Caf\xc3\xa9 & <Bar> \"quoted\" 'single'", "tab\there\nnew line\r\nreturn",
        "\xe2\x82\xac 5 \xe6\x97\xa5 \xf0\x9f\x98\x80 \xc3\xbf\xc2\xa0", "]]> -- <!-- &amp;", ""};
    double const reals[] = {-0.0, 1e300, 5e-324, 0.0078125, -123456789.0000005};
    int n = 0;
    for (Obh h : doc.getTimeline()->getEdb()->getEvents()) {
        if (n >= 40)
            break;
        mEvent* e = tlObj::ourType_mEvent->ptr(h);
        ASSERT_NE(e, nullptr);
        rtl::str const text(texts[n % std::size(texts)]);
        e->setTitle(text);
        e->setNotes(rtl::str(texts[(n + 1) % std::size(texts)]));
        e->setKeywords(text);
        e->setSceneW(reals[n % std::size(reals)]);
        ++n;
    }
    std::string const mine = dir.file("writer.xml"), libxml2 = dir.file("reference.xml");
    XmlWriter w("ISO-8859-1");
    ASSERT_TRUE(w.startDocument(mine.c_str(), "timeline_document_v1") && doc.saveXml(w) &&
                w.endDocument());
    XmlReferenceWriter r("ISO-8859-1");
    ASSERT_TRUE(r.startDocument(libxml2.c_str(), "timeline_document_v1") && doc.saveXml(r) &&
                r.endDocument());
    std::string const saved = readFile(mine);
    EXPECT_THAT(saved,
                HasSubstr("value=\"Caf\xe9 &amp; &lt;Bar&gt; &quot;quoted&quot; 'single'\""));
    EXPECT_TRUE(sameBytes(saved, readFile(libxml2)));
}

// Saved on one thread or on several, a document is the same bytes; an event that cannot be
// written fails the save with the same messages and leaves the old file, whether it is refused
// by the writer or by the time classes.
TEST(mDocTest, ThreadsChangeNothingASaveWritesOrSays)
{
    ScratchDir dir;
    Doc doc;
    ASSERT_TRUE(generated(dir, doc, 5000, 3));
    std::vector<mEvent*> events;
    for (Obh h : doc.getTimeline()->getEdb()->getEvents())
        events.push_back(tlObj::ourType_mEvent->ptr(h));
    ASSERT_EQ(events.size(), 5000u);
    events[10]->setTitle(rtl::str("Caf\xc3\xa9 & \xe2\x82\xac"));
    std::string const bundle = dir.file("Copy");
    // The first save names the bundle anew in the document's record; the next ones are alike.
    ASSERT_TRUE(doc.save(bundle.c_str()));
    auto const one = saved(doc, bundle, 1);
    auto const several = saved(doc, bundle, 4);
    EXPECT_TRUE(sameBytes(several.second, one.second));
    EXPECT_EQ(several.first, one.first);
    EXPECT_THAT(one.second, HasSubstr("Caf\xe9 &amp; &#8364;"));

    std::string const before = one.second;
    std::string const file = bundle + ".orstime/doc_data.xml";
    struct Case
    {
        char const* what;
        std::function<void(mEvent&)> spoil;
        char const* said;
        char const* why; // told the user after "could not be written"
    } const cases[] = {
        {"a control character", [](mEvent& e) { e.setTitle(rtl::str("bell\x07")); },
         "text that is not UTF-8",
         ": the title of an event cannot be stored: a document holds no control characters and "
         "only UTF-8 text"},
        {"a start beyond the calendar", [](mEvent& e) { e.setStartTime(1e300); },
         "localtime OVERFLOW", ": the start of an event is beyond the calendar's years"},
    };
    for (Case const& c : cases) {
        mEvent& late = *events[4321];
        double const start = late.getStartTime();
        rtl::str const title = late.getTitle();
        c.spoil(late);
        auto const oneFails = saved(doc, bundle, 1);
        std::string const oneError = doc.fileError().cs();
        auto const severalFail = saved(doc, bundle, 4);
        EXPECT_THAT(oneFails.first, HasSubstr(c.said)) << c.what;
        EXPECT_EQ(severalFail.first, oneFails.first) << c.what;
        EXPECT_TRUE(sameBytes(severalFail.second, before)) << c.what;
        EXPECT_EQ(oneError, file + " could not be written" + c.why) << c.what;
        EXPECT_EQ(doc.fileError().cs(), oneError) << c.what;
        late.setStartTime(start);
        late.setTitle(title);
    }

    // A refusal is told as such in a new bundle too (no reason of the system's left over from
    // looking for the file that is not there yet).
    events[7]->setTitle(rtl::str("bell\x07"));
    saved(doc, dir.file("Fresh"), 4);
    EXPECT_EQ(doc.fileError().cs(),
              dir.file("Fresh.orstime/doc_data.xml") + " could not be written" + cases[0].why);
}

// A save that fails takes away the folders it made, the bundle's and the parents it lacked, and
// nothing else: a folder that was there before stays with all it holds.
TEST(mDocTest, AFailedSaveTakesAwayOnlyTheFoldersItMade)
{
    ScratchDir dir;
    Doc doc;
    ASSERT_TRUE(doc.save(dir.file("Good").c_str())) << doc.fileError().cs();
    std::string const good = readFile(dir.file("Good.orstime/doc_data.xml"));
    std::filesystem::create_directory(dir.file("Empty.orstime"));
    std::filesystem::create_directory(dir.file("Mine.orstime"));
    writeFile(dir.file("Mine.orstime/notes.txt"), "the user's own");
    std::filesystem::create_directory(dir.file("Kept"));
    Obh h = doc.getCmp()->newEvent(Obh());
    tlObj::ourType_mEvent->ptr(h)->setStartTime(1e300);

    for (char const* name : {"New", "made/deeper/New", "Kept/deeper/New", "Good", "Empty", "Mine"})
        EXPECT_FALSE(doc.save(dir.file(name).c_str())) << name;
    EXPECT_EQ(readFile(dir.file("Good.orstime/doc_data.xml")), good);
    EXPECT_EQ(readFile(dir.file("Mine.orstime/notes.txt")), "the user's own");
    EXPECT_EQ(listing(dir.path),
              (std::vector<std::string> {"Empty.orstime", "Good.orstime", "Kept", "Mine.orstime"}));
    EXPECT_EQ(listing(dir.file("Mine.orstime")), std::vector<std::string> {"notes.txt"});
    EXPECT_TRUE(listing(dir.file("Kept")).empty());

    // A parent's name held by a file: the save says why and makes nothing.
    writeFile(dir.file("Kept/plain"), "a file");
    EXPECT_FALSE(doc.save(dir.file("Kept/plain/New").c_str()));
    EXPECT_THAT(doc.fileError().cs(), HasSubstr("could not be made: Not a directory"));
    EXPECT_EQ(listing(dir.file("Kept")), std::vector<std::string> {"plain"});
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
    EXPECT_THAT(doc.fileError().cs(),
                HasSubstr("doc_data.xml could not be written: Is a directory"));
    EXPECT_STREQ(doc.getName().cs(), "Other");
    EXPECT_EQ(doc.getPath().cs(), dir.file("Other") + ".orstime");
}

// The four geometry attributes are integers by name and as text; the document takes no window
// width of 200 or less from a caller, but keeps what a stored file says.
TEST(mDocTest, TheWindowGeometryIsFourIntegersAndAFileMayHoldANarrowWidth)
{
    Doc doc;
    std::list<rtl::str> names;
    doc.getAttrNames(names);
    std::vector<std::string> first;
    for (rtl::str const& name : names)
        if (first.size() < 4)
            first.push_back(name.cs());
    EXPECT_EQ(first, (std::vector<std::string> {"winX", "winY", "winW", "winH"}));
    for (std::string const& name : first) {
        ObAttr attr;
        EXPECT_TRUE(doc.getAttr(rtl::str(name.c_str()), attr)) << name;
        EXPECT_STREQ(attr.getCDataType(), "int") << name;
    }

    struct Case
    {
        char const* what;
        std::function<bool(Doc&)> set;
        bool taken;
        char const* winW; // as text afterwards
    };
    Case const cases[] = {
        {"a width of 201", [](Doc& d) { return d.setWinW(201); }, true, "201"},
        {"a width of 200", [](Doc& d) { return d.setWinW(200); }, false, "201"},
        {"150 as text", [](Doc& d) { return d.setAttrByString("winW", "150", "int"); }, true,
         "150"},
        {"a negative x", [](Doc& d) { return d.setWinX(-7); }, true, "150"},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(c.set(doc), c.taken) << c.what;
        rtl::str text;
        EXPECT_TRUE(doc.getAttrAsString("winW", text));
        EXPECT_STREQ(text.cs(), c.winW) << c.what;
    }
    rtl::str x;
    doc.getAttrAsString("winX", x);
    EXPECT_STREQ(x.cs(), "-7");

    ScratchDir dir;
    ASSERT_TRUE(doc.save(dir.file("Narrow").c_str())) << doc.fileError().cs();
    Doc read;
    ASSERT_TRUE(read.load(dir.file("Narrow").c_str())) << read.fileError().cs();
    EXPECT_EQ(read.getWinW(), 150) << "read back as written";
    EXPECT_EQ(read.getWinX(), -7);
}
