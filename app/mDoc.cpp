#include "mDoc.h"

#include "ObApp.h"
#include "ObDirty.h"
#include "ObEngine.h"
#include "ObQtRefresher.h"
#include "ObSelection.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aStateEngine.h"
#include "aTrace.h"
#include "mTrace.h"
#include "tlCmp.h"
#include "tlStep.h"
#include "tlUi.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// When the document and its window count as modified: every editing change of the timeline. A
// layer's colour is an edit like an event's. The layers following the timeline's time scale
// after a layout (opening, a resize) is none: a document just opened is not modified.
#define M_DOC_EDITS                                                                                \
    "ActiveEvents|UserEditedAttrs|TimeScaleZoom|TimeScalePan|EventsDroppedInRow|"                  \
    "ActiveLayers|EventSetInLayer|NewEvent|SelectionByTimeDisabled|TimeSelectionChanged|"          \
    "RubberBandSelectionStart|LayerHidingChanged|EventWasDeleted|EventColorChanged|"               \
    "LayerColorChanged"

tlCmp::CleanRule const DocRules[] = {
    {"wMain_setWindowTitle", "DocNameChanged"}, {"mDoc_setNeedsSave", M_DOC_EDITS},
    {"mDoc_clearNeedsSave", "DocJustSynced"},   {"wMain_docModified", M_DOC_EDITS},
    {"wMain_clearNeedsSave", "DocJustSynced"},
};

#undef M_DOC_EDITS

// The components of the path from the root to the bundle's, the bundle's without its suffix;
// false when the path names no bundle.
bool bundleParts(rtl::str const& path, std::vector<rtl::str>& parts)
{
    if (!path.c())
        return false;
    path.tokenize("/", parts, -1);
    if (parts.size() >= 2 && parts.back() == mDoc::ourFileName)
        parts.pop_back();
    if (parts.empty() || parts.back() == mDoc::ourFileName)
        return false;
    if (parts.back().endswith(mDoc::ourBundleSuffix))
        parts.back().stripsuf('.');
    return true;
}

// Makes the folder and every parent it lacks, shallowest first, and lists in made each folder
// made here, in that order: one that appeared meanwhile is someone else's. False, errno telling
// why, when one cannot be made or something other than a folder holds the name.
bool makeFolder(rtl::str const& folder, std::vector<rtl::str>& made)
{
    std::vector<rtl::str> missing; // deepest first
    struct stat st;
    for (rtl::str p = folder; *p.cs() != '\0'; p = p.head('/')) {
        if (::lstat(p.cs(), &st) == 0 || errno != ENOENT)
            break;
        missing.push_back(p);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->cs(), 0777) == 0)
            made.push_back(*it);
        else if (errno != EEXIST)
            return false;
    }
    errno = 0;
    if (::stat(folder.cs(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// Takes away the folders a save made, deepest first, each only while empty: whatever someone
// else put there since stays, and so do the folders above it.
void removeFolders(std::vector<rtl::str> const& made)
{
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        ::rmdir(it->cs());
}

} // namespace

char const* const mDoc::ourBundleSuffix = ".orstime";
char const* const mDoc::ourFileName = "doc_data.xml";

mDoc::mDoc()
{
    A_ASSERT(ObApp::ourApp);
    setWinX(0);
    setWinY(15);
    setWinW(800);
    setWinH(600);
}

mDoc::~mDoc()
{
    // A window still bound to the document goes first: its panes use the component.
    delete myWindow.data();
    if (myRefreshEngine)
        myRefreshEngine->unschedule(static_cast<aRefreshable*>(this));
    // The component before the engines it was handed.
    myComponent.reset();
    myCmp = nullptr;
    mySelectionEngine.reset();
    myDirtEngine.reset();
    myRefreshEngine.reset();
    myStateEngine.reset();
    myObEngine.reset();
}

void mDoc::init()
{
    A_ASSERT(!myObEngine);
    myObEngine = std::make_unique<ObEngine>();
    myStateEngine = std::make_unique<aStateEngine>();
    myRefreshEngine = std::make_unique<ObQtRefresher>();
    myDirtEngine = std::make_unique<ObDirty>(myObEngine.get(), myRefreshEngine.get());
    mySelectionEngine = std::make_unique<ObSelection>(myDirtEngine.get(), ObDirty::INVALID_DIRT);
    myComponent = std::make_unique<tlCmp>(myObEngine.get(), myDirtEngine.get(), myStateEngine.get(),
                                          mySelectionEngine.get(), myRefreshEngine.get());
    // The document reaches its own engines, whichever component is current.
    myCmp = myComponent.get();
    tlCmp::installCleanRules(*myDirtEngine, DocRules);
    myRefreshEngine->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
}

void mDoc::commitEdits()
{
    if (tlUi* ui = myComponent ? myComponent->getUi() : nullptr)
        ui->commitEdits();
    if (myRefreshEngine)
        myRefreshEngine->_doRefreshIfNeeded(nullptr);
}

void mDoc::refresh(aRefreshContext*)
{
    static tlStep setNeedsSaveStep("mDoc_setNeedsSave");
    static tlStep clearNeedsSaveStep("mDoc_clearNeedsSave");
    ObDirty* dirt = getDirtEngine();
    if (setNeedsSaveStep.needsCleaning(dirt, "mDoc"))
        setNeedsSave(true);
    // Second, so that a pass that saw both a save and an edit ends saved.
    if (clearNeedsSaveStep.needsCleaning(dirt, "mDoc"))
        setNeedsSave(false);
}

bool mDoc::setWinW(int w)
{
    if (w <= 200)
        return false;
    return mDocData::setWinW(w);
}

void mDoc::docWasActivated()
{
    if (!myWindow)
        return;
    myWindow->activateWindow();
    myWindow->show();
    myWindow->raise();
}

void mDoc::docWasDeactivated()
{
}

void mDoc::docWillBeClosed()
{
    // Nothing may refresh a document whose window is going.
    if (myRefreshEngine) {
        myRefreshEngine->myTimer.stop();
        myRefreshEngine->myNeedsRefresh = false;
    }
    ObQtWinDoc* window = myWindow.data();
    myWindow = nullptr;
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->close();
}

rtl::str mDoc::normalizePath(rtl::str path)
{
    M_TRACE("Normalizing path: %s\n", path.cs());
    std::vector<rtl::str> parts;
    if (!bundleParts(path, parts))
        return path;
    std::string normal;
    for (rtl::str const& part : parts)
        normal += "/" + std::string(part.cs());
    return rtl::str(normal.c_str());
}

rtl::str mDoc::pathToName(rtl::str const& path)
{
    std::vector<rtl::str> parts;
    if (!bundleParts(path, parts))
        return rtl::str();
    return parts.back();
}

rtl::str mDoc::filePath(rtl::str const& path)
{
    std::vector<rtl::str> parts;
    if (!bundleParts(path, parts))
        return rtl::str();
    std::string file;
    for (rtl::str const& part : parts)
        file += "/" + std::string(part.cs());
    file += std::string(ourBundleSuffix) + "/" + ourFileName;
    return rtl::str(file.c_str());
}

rtl::str mDoc::whyUnreadable(rtl::str const& path)
{
    rtl::str const file = filePath(path);
    if (!file)
        return rtl::str("That names no document.");
    rtl::str const bundle = file.head('/');
    rtl::str why;
    struct stat st;
    if (::stat(bundle.cs(), &st) != 0) {
        if (errno == ENOENT)
            why.set("%s does not exist.", bundle.cs());
        else
            why.set("%s cannot be reached: %s", bundle.cs(), std::strerror(errno));
    } else if (!S_ISDIR(st.st_mode)) {
        why.set("%s is not a folder.", bundle.cs());
    } else if (::stat(file.cs(), &st) != 0) {
        if (errno == ENOENT)
            why.set("%s holds no %s.", bundle.cs(), ourFileName);
        else
            why.set("%s cannot be reached: %s", file.cs(), std::strerror(errno));
    } else if (S_ISDIR(st.st_mode)) {
        why.set("%s is a folder, not a file.", file.cs());
    } else if (!S_ISREG(st.st_mode)) {
        why.set("%s is not a regular file.", file.cs());
    } else if (int const fd = ::open(file.cs(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd < 0) {
        why.set("%s cannot be read: %s", file.cs(), std::strerror(errno));
    } else {
        ::close(fd);
    }
    return why;
}

bool mDoc::setPath(rtl::str path)
{
    rtl::str const file = filePath(path);
    if (!file)
        return mDocData::setPath(path);
    return mDocData::setPath(file.head('/'));
}

bool mDoc::fail(std::string const& reason, char const* format, char const* what)
{
    myFileError.set(format, what);
    if (!reason.empty()) {
        rtl::str told;
        told.set(": %s", reason.c_str());
        myFileError += told;
    }
    A_TRACE_C("ired", "%s\n", myFileError.cs());
    return false;
}

bool mDoc::save(char const* path)
{
    myFileError = rtl::str();
    rtl::str const file = filePath(rtl::str(path));
    if (!file)
        return fail({}, "\"%s\" names no document", path ? path : "");
    rtl::str const bundle = file.head('/');
    // The folders this save makes (the bundle's, and the parents it lacked) go again when the
    // save fails: no empty folder is left to look like a document or a place for one. One that
    // was there stays, with all it holds.
    std::vector<rtl::str> made;
    errno = 0;
    if (!makeFolder(bundle, made)) {
        int const error = errno != 0 ? errno : ENOTDIR;
        removeFolders(made);
        return fail(std::strerror(error), "The folder %s could not be made", bundle.cs());
    }
    // The record written into the bundle names that bundle, so the document takes its name and
    // path before writing; a save that fails gives them back.
    rtl::str const oldName = getName(), oldPath = getPath();
    setName(pathToName(file));
    setPath(file);
    // The writer fills a file of its own beside the old one and puts it in its place only when
    // everything was written, flushed and synced; given up, it removes it when it goes.
    bool written = false;
    std::string why;
    {
        XmlWriter w("ISO-8859-1");
        written =
            w.startDocument(file.cs(), "timeline_document_v1") && saveXml(w) && w.endDocument();
        // The reason of the first call the system refused, else what the writer refused itself.
        if (!written)
            why = w.systemError() != 0 ? std::strerror(w.systemError()) : w.refusal();
    }
    if (!written) {
        fail(why, "%s could not be written", file.cs());
        mDocData::setName(oldName);
        mDocData::setPath(oldPath);
        removeFolders(made);
        return false;
    }
    setNeedsSave(false);
    return true;
}

bool mDoc::saveXml(XmlWriter& w)
{
    bool ok = w.startElement("objects") && myObEngine->xmlWrite(w) && w.endElement();
    ok = ok && w.startElement("timeline_component") && myComponent->xmlWrite(w) && w.endElement();
    return ok && w.startElement("doc") && ObObj::xmlWrite(w) && w.endElement();
}

bool mDoc::load(char const* path)
{
    A_ASSERT(myObEngine);
    myFileError = rtl::str();
    rtl::str const file = filePath(rtl::str(path));
    if (!file)
        return fail({}, "\"%s\" names no document", path ? path : "");
    myObEngine->xmlReadPrep();
    XmlReader reader;
    reader.pushHandler(this, nullptr);
    bool const parsed = reader.parseFile(file.cs());
    myObEngine->xmlReadPost(parsed);
    if (!parsed) {
        myFileError = reader.failMessage().c_str();
        return false;
    }
    // Reading replaced the skin and the timeline the component made; a file without them leaves
    // it nothing to show.
    if (!myComponent->resolveModel())
        return fail({}, "%s holds no timeline", file.cs());
    // Named after the place it was opened from, not what its file says.
    setName(pathToName(file));
    setPath(file);
    return true;
}

bool mDoc::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (std::strcmp(name, "timeline_document_v1") == 0 || std::strcmp(name, "doc") == 0)
        return true;
    XmlReadHandler* part = nullptr;
    if (std::strcmp(name, "timeline_component") == 0) {
        M_TRACE("mDoc found <timeline_component> - push handler tlCmp\n");
        part = myComponent.get();
    } else if (std::strcmp(name, "objects") == 0) {
        M_TRACE("mDoc found <objects> - push handler ObEngine\n");
        part = myObEngine.get();
    }
    if (!part)
        return ObObj::xmlReadStartElement(r, name, attrCount);
    // An empty element has no end that would take its handler off again.
    if (!r.isEmptyElement())
        r.pushHandler(part, nullptr);
    return true;
}

bool mDoc::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "timeline_component") == 0 || std::strcmp(name, "objects") == 0) {
        r.popHandler();
        return true;
    }
    if (std::strcmp(name, "doc") == 0 || std::strcmp(name, "timeline_document_v1") == 0)
        return true;
    return ObObj::xmlReadEndElement(r, name);
}
