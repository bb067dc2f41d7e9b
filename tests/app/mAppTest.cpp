#include "mApp.h"

#include "Aa/TzGuard.h"
#include "AppTest.h"
#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "PrintQt.h"
#include "ScopedTraces.h"
#include "WhenShown.h"
#include "cmdFileNew.h"
#include "cmdFileOpen.h"
#include "cmdFileSave.h"
#include "cmdFileSaveAs.h"
#include "cmdViewFitSelected.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mPlatform.h"
#include "mScale.h"
#include "mTimeline.h"
#include "tlCmp.h"
#include "xml/AsNobody.h"
#include "xml/FileSizeLimit.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileOpenEvent>
#include <QMessageBox>
#include <QProcess>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

using testing::HasSubstr;

namespace {

using mAppTest = AppTest;

} // namespace

TEST_F(mAppTest, EveryFormOfABundleAskedForBeforeLaunchIsOpenedByIt)
{
    std::string const bundle = dir.file("Plans");
    makeBundle(bundle);
    for (std::string const& form :
         {bundle + ".orstime", bundle, bundle + ".orstime/doc_data.xml"}) {
        fresh();
        request(dir.file("Earlier.orstime")); // the last request wins
        request(form);
        EXPECT_TRUE(ObApp::ourDocs.empty()) << "only recorded before the launch";
        app.launchCb();
        EXPECT_EQ(current(), "Plans") << form;
        EXPECT_EQ(ObApp::ourDocs.size(), 1u);
    }
    EXPECT_THAT(openLog(), HasSubstr("OPEN EVENT FILE = " + bundle + "\nOPEN EVENT URL  = file://" +
                                     bundle + "\nDocToOpen '" + bundle + "'\n"));
    EXPECT_THAT(openLog(), HasSubstr("Launch with '" + bundle + ".orstime/doc_data.xml'\n"));
    EXPECT_TRUE(ui.warnings.empty());
}

TEST_F(mAppTest, ALaunchWithNothingToOpenStartsANewDocumentAndSaysWhy)
{
    struct Case
    {
        std::string request, logLine, warning;
    };
    // A bundle whose file was cut short: the box names the line and the parser's reason.
    makeBundle(dir.file("Cut"));
    std::string const cut = dir.file("Cut.orstime/doc_data.xml");
    writeFile(cut, readFile(cut).substr(0, 200) + "</timeline_document_v1>\n<extra/>\n");
    Case const cases[] = {
        {"", "Launch with NEW DOC NULL\n", ""},
        {dir.file("Missing.orstime"), "Launch with '" + dir.file("Missing.orstime") + "'\n",
         "\"" + dir.file("Missing.orstime") + "\" could not be opened"},
        {dir.file("Cut.orstime"), "Launch with '" + dir.file("Cut.orstime") + "'\n",
         cut + " : failed to parse at line "},
    };
    for (Case const& c : cases) {
        fresh();
        ui.warnings.clear();
        if (!c.request.empty())
            request(c.request);
        app.launchCb();
        EXPECT_EQ(current(), "Untitled") << c.request;
        ASSERT_TRUE(doc()->getWindow());
        EXPECT_TRUE(doc()->getWindow()->isVisible());
        EXPECT_EQ(doc()->getWindow()->windowTitle(), "Untitled[*]");
        EXPECT_THAT(openLog(), HasSubstr(c.logLine));
        EXPECT_EQ(ui.warnings.size(), c.warning.empty() ? 0u : 1u);
        if (!c.warning.empty() && !ui.warnings.empty()) {
            EXPECT_THAT(ui.warnings.front(), HasSubstr(c.warning));
        }
    }
}

TEST_F(mAppTest, ARequestAfterLaunchReplacesTheDocumentUnlessItIsTheSame)
{
    makeBundle(dir.file("Plans"));
    app.launchCb();
    request(dir.file("Plans"));
    EXPECT_EQ(current(), "Plans");
    ObDoc* const plans = ObApp::ourCurrentDoc;
    request(dir.file("Plans.orstime/"));
    EXPECT_EQ(ObApp::ourCurrentDoc, plans);
    EXPECT_EQ(ObApp::ourDocs.size(), 1u);
}

TEST_F(mAppTest, AFailedSaveKeepsTheOldFileAndTheDocumentAsItWasAndSaysSo)
{
    app.launchCb();
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    EXPECT_EQ(ui.asked, std::vector<std::string> {"Save as..."});
    EXPECT_EQ(current(), "Plans");
    std::string const file = dir.file("Plans.orstime/doc_data.xml");
    std::string const saved = readFile(file);
    edit();
    ASSERT_TRUE(doc()->getNeedsSave());
    {
        FileSizeLimit full(saved.size() / 2);
        EXPECT_FALSE(app.saveDoc(nullptr, false));
    }
    writeFile(dir.file("Taken.orstime"), "a file where the bundle would go");
    ui.savePath = dir.file("Taken");
    EXPECT_FALSE(app.saveDoc(nullptr, true));
    writeFile(dir.file("notes.txt"), "a file where a folder would go");
    ui.savePath = dir.file("notes.txt/Plans");
    EXPECT_FALSE(app.saveDoc(nullptr, true));
    pass();

    EXPECT_EQ(readFile(file), saved);
    EXPECT_EQ(readFile(dir.file("Taken.orstime")), "a file where the bundle would go");
    EXPECT_TRUE(doc()->getNeedsSave());
    EXPECT_EQ(current(), "Plans");
    EXPECT_EQ(doc()->getPath().cs(), dir.file("Plans.orstime"));
    ASSERT_EQ(ui.warnings.size(), 3u);
    EXPECT_THAT(ui.warnings[0], HasSubstr(file + " could not be written: File too large"));
    EXPECT_THAT(ui.warnings[1], HasSubstr("could not be made: Not a directory"));
    EXPECT_THAT(ui.warnings[2], HasSubstr("The folder " + dir.file("notes.txt/Plans.orstime") +
                                          " could not be made: Not a directory"));
    EXPECT_EQ(listing(dir.file("Plans.orstime")), std::vector<std::string> {"doc_data.xml"});
}

// The save dialog starts in the document's folder and offers the document's name; a document
// never saved, or whose folder went, starts in the home folder.
TEST_F(mAppTest, TheSaveDialogStartsWhereTheDocumentIsAndOffersItsName)
{
    ScratchDir home;
    EnvGuard homeVar("HOME", home.path.c_str());
    app.launchCb();
    std::filesystem::create_directory(dir.file("sub"));
    ui.savePath = dir.file("sub/Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    ui.savePath = dir.file("Other");
    ASSERT_TRUE(app.saveDoc(nullptr, true));
    ui.savePath = dir.file("sub/Again");
    ASSERT_TRUE(app.saveDoc(nullptr, true));
    std::filesystem::remove_all(dir.file("sub"));
    ASSERT_TRUE(app.saveDoc(nullptr, true));
    std::vector<std::string> const expected = {home.file("Untitled"), dir.file("sub/Plans"),
                                               dir.file("Other"), home.file("Again")};
    EXPECT_EQ(ui.saveStarts, expected);
}

// A bundle the user may not write into: the save says so and leaves the old file alone.
TEST_F(mAppTest, ASaveIntoAFolderTheUserMayNotWriteIntoSaysSo)
{
    app.launchCb();
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    std::string const bundle = dir.file("Plans.orstime"), file = bundle + "/doc_data.xml";
    std::string const saved = readFile(file);
    edit();
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(bundle.c_str(), 0555), 0);
    {
        AsNobody nobody;
        std::string const why = AsNobody::whyNotShown(bundle);
        if (!why.empty())
            GTEST_SKIP() << why;
        EXPECT_FALSE(app.saveDoc(nullptr, false));
    }
    ::chmod(bundle.c_str(), 0755);
    EXPECT_EQ(readFile(file), saved);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_THAT(ui.warnings[0], HasSubstr(file + " could not be written: Permission denied"));
    EXPECT_EQ(listing(bundle), std::vector<std::string> {"doc_data.xml"});
}

TEST(mPlatformTest, AWaylandSessionPrefersX11UnlessAPlatformWasChosen)
{
    struct Case
    {
        char const* what;
        char const* wayland;
        char const* qpa;
        std::vector<char const*> args;
        char const* expected;
    };
    Case const cases[] = {
        {"Wayland, nothing chosen", "wayland-0", nullptr, {"vantrel"}, "xcb;wayland"},
        {"chosen in the environment", "wayland-0", "offscreen", {"vantrel"}, nullptr},
        {"chosen on the command line",
         "wayland-0",
         nullptr,
         {"vantrel", "-platform", "vnc"},
         nullptr},
        {"no Wayland", nullptr, nullptr, {"vantrel"}, nullptr},
    };
    EnvGuard session("XDG_SESSION_TYPE", nullptr);
    for (Case const& c : cases) {
        EnvGuard wayland("WAYLAND_DISPLAY", c.wayland);
        EnvGuard qpa("QT_QPA_PLATFORM", c.qpa);
        std::vector<char*> argv;
        for (char const* a : c.args)
            argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        char const* chosen =
            mPlatform::preferredPlatform(static_cast<int>(c.args.size()), argv.data());
        EXPECT_STREQ(chosen, c.expected) << c.what;
    }
}

namespace {

struct ProgramRun
{
    std::string out; // standard output
    std::string log; // the open-request log
};

// Runs the program in the folder with the arguments until its open-request log holds the text,
// then ends it.
ProgramRun runUntilLogged(std::string const& folder, QStringList const& args,
                          std::string const& text)
{
    ScratchDir data;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QString::fromStdString(data.path));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VANTREL_TRACE", "1"); // the steps of the launch are busy-path lines
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(folder));
    program.start(VANTREL_PROGRAM, args);
    std::string const log = data.path + "/Orsenko/Vantrel/log_open.txt";
    bool const logged =
        QTest::qWaitFor([&] { return readFile(log).find(text) != std::string::npos; }, 120000);
    program.terminate();
    program.waitForFinished(30000);
    EXPECT_TRUE(logged) << text << " not in:\n" << readFile(log);
    return {program.readAllStandardOutput().toStdString(), readFile(log)};
}

} // namespace

TEST(mAppStartTest, StartsANewDocumentALittleAfterTheEventLoopRuns)
{
    ScratchDir dir;
    std::string const out = runUntilLogged(dir.path, {}, "Launch with NEW DOC NULL\n").out;
    std::size_t const trigger = out.find("Trigger launch CB...");
    std::size_t const loop = out.find("Launch Qt App");
    std::size_t const launch = out.find("LaunchCB, numDocs=0, path=<NullPath>");
    ASSERT_NE(launch, std::string::npos) << out.substr(0, 4000);
    EXPECT_LT(trigger, loop);
    EXPECT_LT(loop, launch);
}

TEST(mAppStartTest, TheBusyPathsTraceOnlyWhenAsked)
{
    // A document's component names its dirt ids (object framework lines) before the document
    // opened is reported (a line written always).
    for (char const* traceSwitch : {static_cast<char const*>(nullptr), "0", "yes", "1"}) {
        std::string const shown = traceSwitch ? traceSwitch : "unset";
        ScratchDir dir, data;
        std::string const bundle = dir.file("Plans.orstime");
        {
            mDoc d;
            d.init();
            ASSERT_TRUE(d.save(bundle.c_str()));
        }
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("VANTREL_TRACE");
        if (traceSwitch)
            env.insert("VANTREL_TRACE", traceSwitch);
        env.insert("XDG_DATA_HOME", QString::fromStdString(data.path));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QString::fromStdString(dir.path));
        program.start(VANTREL_PROGRAM, {QString::fromStdString(bundle)});
        std::string out;
        bool const opened = QTest::qWaitFor(
            [&] {
                out += program.readAllStandardOutput().toStdString();
                return out.find("Opened " + bundle + " with 0 events") != std::string::npos;
            },
            120000);
        program.terminate();
        program.waitForFinished(30000);
        ASSERT_TRUE(opened) << shown << ":\n" << out.substr(0, 4000);
        EXPECT_THAT(out, HasSubstr("Launch with '" + bundle + "'")) << shown;
        bool const detailed = traceSwitch && std::string(traceSwitch) == "1";
        EXPECT_EQ(out.find("DIRT NAME[") != std::string::npos, detailed) << shown;
    }
}

TEST(mAppStartTest, EveryFileArgumentIsARequestMadeAbsoluteTheLastWins)
{
    ScratchDir dir;
    std::string const first = dir.file("rel/First.orstime");
    std::string const last = dir.file("rel/Last");
    ProgramRun const run =
        runUntilLogged(dir.path, {"rel/./First.orstime/", "-reverse", "rel/sub/../Last"},
                       "Launch with '" + last + "'\n");
    EXPECT_THAT(run.log, HasSubstr("OPEN EVENT FILE = " + first + "\n"));
    EXPECT_THAT(run.log, HasSubstr("OPEN EVENT FILE = " + last + "\n"));
    EXPECT_THAT(run.log, testing::Not(HasSubstr("-reverse")));
}

// A document opened, and saved again, is a line each naming its bundle and its number of events,
// and nothing else is written on the way.
TEST_F(mAppTest, ADocumentOpenedOrSavedIsOneLineWithItsNumberOfEvents)
{
    ScopedTraces quiet(false);
    std::string const bundle = dir.file("Plans.orstime");
    {
        mDoc d;
        d.init();
        for (int i = 0; i < 3; ++i)
            d.getCmp()->newEvent(Obh());
        ASSERT_TRUE(d.save(bundle.c_str()));
    }
    testing::internal::CaptureStdout();
    app.openDoc(bundle.c_str());
    edit();
    bool const saved = app.saveDoc(nullptr, false);
    std::string const out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(saved);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_THAT(out, HasSubstr("Opened " + bundle + " with 3 events"));
    EXPECT_THAT(out, HasSubstr("Saved " + bundle + " with 3 events"));
}

// A new document saved at once: its record holds the defaults of a new document's window, the
// path and name of the bundle it went to, and no unsaved changes.
TEST_F(mAppTest, ANewDocumentSavedAtOnceKeepsItsDefaultsInItsRecord)
{
    app.newDoc();
    EXPECT_EQ(doc()->getWindow()->geometry(), QRect(0, 15, 800, 600)) << "the window as given";
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    std::string const text = readFile(dir.file("Plans.orstime/doc_data.xml"));
    auto const start = text.find("<doc>");
    ASSERT_NE(start, std::string::npos);
    std::string const record = text.substr(start, text.find("</doc>") - start);
    std::vector<std::string> const expected = {
        "winX int 0",
        "winY int 15",
        "winW int 800",
        "winH int 600",
        "path rtl::str " + dir.file("Plans") + ".orstime",
        "name rtl::str Plans",
        "needsSave bool False",
    };
    // Each attribute element as "name type value".
    auto const field = [](std::string const& element, std::string const& key) {
        auto const from = element.find(key + "=\"") + key.size() + 2;
        return element.substr(from, element.find('"', from) - from);
    };
    std::vector<std::string> found;
    for (auto at = record.find("<attr "); at != std::string::npos;
         at = record.find("<attr ", at + 1)) {
        std::string const element = record.substr(at, record.find('>', at) - at);
        found.push_back(field(element, "_id") + " " + field(element, "_t") + " " +
                        field(element, "value"));
    }
    EXPECT_EQ(found, expected);
}

// A file command's line says whether it succeeded, failed or was cancelled; a failure says why.
TEST_F(mAppTest, EveryFileCommandSaysHowItEndedAndWhy)
{
    makeBundle(dir.file("Plans"));
    writeFile(dir.file("Empty.orstime"), "");
    std::filesystem::create_directories(dir.file("Hollow.orstime"));
    std::string const tooLong(10000000, 'x');
    auto const longTitle = [&] {
        Obh event = doc()->getCmp()->newEvent(Obh());
        tlObj::ourType_mEvent->ptr(event)->setTitle(rtl::str(tooLong.c_str()));
    };
    auto const modifiedThenCancelled = [&] {
        edit();
        whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
    };
    struct Case
    {
        char const* what;
        ObCmd* cmd;
        std::string loadPath, savePath; // the dialogs' answers; empty: cancelled
        std::function<void()> before;
        std::string line, warning;
    };
    ObCmd* const open = &cmdFileOpen::ourInstance;
    Case const cases[] = {
        {"open a bundle", open, dir.file("Plans"), "", nullptr, "cmdFileOpen SUCCESS!", ""},
        {"open cancelled", open, "", "", nullptr, "cmdFileOpen Cancelled.", ""},
        {"open a bundle that is not there", open, dir.file("Missing.orstime"), "", nullptr,
         "cmdFileOpen Fail.", dir.file("Missing.orstime") + " does not exist."},
        {"open an empty file", open, dir.file("Empty.orstime"), "", nullptr, "cmdFileOpen Fail.",
         dir.file("Empty.orstime") + " is not a folder."},
        {"open a bundle without its file", open, dir.file("Hollow"), "", nullptr,
         "cmdFileOpen Fail.", dir.file("Hollow.orstime") + " holds no doc_data.xml."},
        {"save as, cancelled", &cmdFileSaveAs::ourInstance, "", "", nullptr,
         "cmdFileSaveAs Cancelled.", ""},
        {"save a title too long for a document", &cmdFileSave::ourInstance, "", dir.file("Long"),
         longTitle, "cmdFileSave Fail.",
         dir.file("Long.orstime/doc_data.xml") +
             " could not be written: the title of an event would take 10,000,042 bytes, more "
             "than a document can hold (9,990,000)"},
        {"new, the save question cancelled", &cmdFileNew::ourInstance, "", "",
         modifiedThenCancelled, "cmdFileNew Cancelled.", ""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        app.newDoc();
        ui.warnings.clear();
        ui.loadPath = c.loadPath;
        ui.savePath = c.savePath;
        if (c.before)
            c.before();
        testing::internal::CaptureStdout();
        app.runCmd(c.cmd);
        std::string const out = testing::internal::GetCapturedStdout();
        std::size_t const end = out.find("END CMD: ");
        ASSERT_NE(end, std::string::npos) << out;
        // The line ends where its colours do.
        EXPECT_EQ(out.substr(end + 9, out.find_first_of("\n\033", end) - end - 9), c.line);
        if (c.warning.empty())
            EXPECT_THAT(ui.warnings, testing::IsEmpty());
        else
            EXPECT_THAT(ui.warnings, testing::ElementsAre(HasSubstr(c.warning)));
        gone();
        EXPECT_EQ(ObApp::ourDocs.size(), 1u) << "a document is open, whatever happened";
    }
}

namespace {

// The text of the file with the value of its one "attr" element of that name, a double, replaced.
std::string withAttr(std::string text, std::string const& name, std::string const& value)
{
    std::string const key = "_id=\"" + name + "\" _t=\"double\" value=\"";
    auto const from = text.find(key) + key.size();
    return text.replace(from, text.find('"', from) - from, value);
}

} // namespace

// A start without a date (no save writes one) refuses the document, naming it; a fit over a span
// that ends beyond the dated times keeps the window dated.
TEST_F(mAppTest, StartsWithoutADateAreRefusedAndFitsShowOnlyDates)
{
    TzGuard utc("UTC");
    std::string const bundle = dir.file("Case"), file = bundle + ".orstime/doc_data.xml";
    {
        mDoc d;
        d.init();
        Obh span = d.getCmp()->newEvent(Obh());
        tlObj::ourType_mEvent->ptr(span)->setIsImpulse(false);
        ASSERT_TRUE(d.save(bundle.c_str()));
    }
    std::string const text = readFile(file);
    struct Case
    {
        char const *start, *length;
        bool opens;
    } const cases[] = {
        {"1e300", "1.0", false},
        {"-1e300", "1.0", false},
        {"1000000000.0", "1e300", true},
        {"9.9e15", "2e14", true}, // across the edge of the dated times
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " for " + c.length);
        fresh();
        ui.warnings.clear();
        writeFile(file, withAttr(withAttr(text, "startTime", c.start), "timeLength", c.length));
        app.openDoc(bundle.c_str());
        if (!c.opens) {
            EXPECT_EQ(current(), "Untitled");
            EXPECT_THAT(ui.warnings, testing::ElementsAre(HasSubstr("attribute \"startTime\" = \"" +
                                                                    std::string(c.start) + "\"")));
            continue;
        }
        ASSERT_EQ(current(), "Case") << testing::PrintToString(ui.warnings);
        mTimeline* tl = doc()->getTimeline();
        doc()->getSelectionEngine()->addToSelection(*tl->getEdb()->getEvents().begin());
        EXPECT_TRUE(cmdViewFitSelected::ourInstance.cmdAction());
        pass();
        doc()->getWindow()->grab(); // the ruler and the window's dates painted
        EXPECT_TRUE(tl->timeScale()->getVisStart().hasLocalFields());
        EXPECT_TRUE(tl->timeScale()->getVisEnd().hasLocalFields());
    }
}
