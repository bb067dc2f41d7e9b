#include "mApp.h"

#include "AutoUpdater.h"
#include "ObDirty.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "aAssert.h"
#include "aPath.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "cmdEventDeleteSelected.h"
#include "cmdEventNew.h"
#include "cmdEventSetColorStyle.h"
#include "cmdFileClose.h"
#include "cmdFileNew.h"
#include "cmdFileOpen.h"
#include "cmdFileSave.h"
#include "cmdFileSaveAs.h"
#include "cmdLayerLessSpacing.h"
#include "cmdLayerMoreSpacing.h"
#include "cmdLayerNoSpacing.h"
#include "cmdLayerNormalSpacing.h"
#include "cmdNewRowInSelectedLayers.h"
#include "cmdRemoveEmptyLayers.h"
#include "cmdRemoveEmptyRows.h"
#include "cmdSelectAll.h"
#include "cmdTimelineNewLayer.h"
#include "cmdToggleShowLayerControls.h"
#include "cmdViewFitSelected.h"
#include "cmdViewFitSelectedHorizontal.h"
#include "cmdViewFitSelectedVertical.h"
#include "cmdViewLockTimeToNow.h"
#include "cmdViewPanTimeToNow.h"
#include "mDoc.h"
#include "mEdb.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "wMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QKeySequence>
#include <QStandardPaths>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <span>

#ifndef VANTREL_VERSION
#error "VANTREL_VERSION: the program's version comes from the build"
#endif

namespace {

char const* const OpenLog = "log_open.txt";

// One entry of a menu: a command, or a function that gets the entry's check state. An entry
// with neither is always disabled; one without text is a separator.
struct MenuEntry
{
    char const* text = nullptr;
    ObCmd* cmd = nullptr;
    char const* shortcut = nullptr;
    bool checkable = false;
    void (*func)(bool) = nullptr;
    // Belongs in the application menu where the platform has one.
    bool appMenu = false;
    // A second key that does the same.
    char const* otherShortcut = nullptr;
    // The platform's key for the entry, in place of the shortcut where the platform names one.
    QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
    // The key works in every window, a pop-up editor's too: the commands on the file, which the
    // user may want while typing. Every other key in a pop-up editor is the editor's.
    bool inEveryWindow = false;
};

// The platform's key for an entry, else its own shortcut (the generic X11 desktop names no key
// for Save As, GNOME and KDE name the same as the shortcut).
QKeySequence keysOf(MenuEntry const& e)
{
    if (e.standardKey != QKeySequence::UnknownKey)
        if (QKeySequence const platform(e.standardKey); !platform.isEmpty())
            return platform;
    return e.shortcut ? QKeySequence(QString::fromUtf8(e.shortcut)) : QKeySequence();
}

struct Menu
{
    char const* title;
    std::span<MenuEntry const> entries;
};

constexpr MenuEntry Separator {};

// Where the save dialog starts: in the document's folder, offering the document's name; a
// document never saved, or whose folder is gone, starts in the home folder.
QByteArray saveStart(mDoc const& doc)
{
    QString folder;
    if (rtl::str const path = doc.getPath(); *path.cs())
        folder = QFileInfo(QString::fromUtf8(path.cs())).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString const name = QString::fromUtf8(doc.getName().cs());
    return (name.isEmpty() ? folder : folder + '/' + name).toUtf8();
}

} // namespace

AutoUpdater* mApp::ourAutoUpdater = nullptr;

mApp::mApp(int& argc, char** argv) : ObQtApp(argc, argv)
{
    // Quitting waits until no document is left (lastWindowClosedCb), not for the first moment
    // without a window: a document being replaced closes its window before its successor shows.
    setQuitOnLastWindowClosed(false);
    connect(this, &QCoreApplication::aboutToQuit, this, &mApp::aboutToQuitCb);
    connect(this, &QGuiApplication::lastWindowClosed, this, &mApp::lastWindowClosedCb);
    if (!ourUi)
        ourUi = &myUi;
}

mApp::~mApp()
{
    // Windows closed with their documents go now, releasing those documents.
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete ourAutoUpdater;
    ourAutoUpdater = nullptr;
    // Documents still open go with their windows while Qt is still there.
    ourCurrentDoc = nullptr;
    while (!ourDocs.empty()) {
        ObDoc* doc = *ourDocs.begin();
        unregisterDoc(doc);
        delete doc;
    }
    if (ourUi == &myUi)
        ourUi = nullptr;
}

void mApp::setIdentity()
{
    setOrganizationName("Orsenko");
    setOrganizationDomain("orsenko.example.com");
    setApplicationName("Vantrel");
    setApplicationVersion(VANTREL_VERSION);
}

mApp* mApp::app()
{
    return dynamic_cast<mApp*>(ObApp::ourApp);
}

bool mApp::init()
{
    return ObQtApp::init();
}

void mApp::initMenus()
{
    if (ourMenuBar)
        return;
    MenuEntry const file[] = {
        Separator,
        {"New Document", &cmdFileNew::ourInstance},
        {"Open...", &cmdFileOpen::ourInstance},
        Separator,
        {.text = "Close",
         .cmd = &cmdFileClose::ourInstance,
         .shortcut = "Ctrl+W",
         .inEveryWindow = true},
        {.text = "Save",
         .cmd = &cmdFileSave::ourInstance,
         .shortcut = "Ctrl+S",
         .inEveryWindow = true},
        {.text = "Save As...",
         .cmd = &cmdFileSaveAs::ourInstance,
         .shortcut = "Ctrl+Shift+S",
         .standardKey = QKeySequence::SaveAs,
         .inEveryWindow = true},
        {"About Vantrel...", nullptr, nullptr, false, &mApp::showAboutWindow, true},
        {"Check For Updates...", nullptr, nullptr, false, &mApp::checkForUpdates, true},
        Separator,
        {.text = "Quit", .shortcut = "Ctrl+Q", .func = &mApp::quitCb, .inEveryWindow = true},
    };
    MenuEntry const edit[] = {
        {"Select All", &cmdSelectAll::ourInstance, "Ctrl+A"},
        Separator,
        {"Copy", nullptr, "Ctrl+C"},
        {"Paste", nullptr, "Ctrl+V"},
        Separator,
        {"Delete Selected", &cmdEventDeleteSelected::ourInstance, "Backspace", false, nullptr,
         false, "Delete"},
    };
    MenuEntry const events[] = {
        {"New Event", &cmdEventNew::ourInstance, "E"},
        Separator,
        {"Color - Individually", &cmdEventSetColorStyle::ourInstance0},
        {"Color - By Layer", &cmdEventSetColorStyle::ourInstance1},
        Separator,
        {"Make Instant"},
        {"Make Ongoing"},
        Separator,
        {"Set Length = 1 Year"},
        {"Set Length = 1 Month"},
        {"Set Length = 1 Week"},
        {"Set Length = 1 Day"},
        {"Set Length = 1 Hour"},
        {"Set Length = 1 Minute"},
    };
    MenuEntry const layers[] = {
        {"New Layer", &cmdTimelineNewLayer::ourInstance, "L"},
        {"Remove Empty Layers", &cmdRemoveEmptyLayers::ourInstance},
        Separator,
        {"New Row", &cmdNewRowInSelectedLayers::ourInstance, "R"},
        {"Remove Empty Rows", &cmdRemoveEmptyRows::ourInstance},
        Separator,
        {"Select Events"},
        {"Show Controls", &cmdToggleShowLayerControls::ourInstance, "Alt+L", true},
        Separator,
        {"Zero Spacing", &cmdLayerNoSpacing::ourInstance},
        {"Reset Spacing", &cmdLayerNormalSpacing::ourInstance},
        {"Make Smaller", &cmdLayerLessSpacing::ourInstance, "Alt+-"},
        {"Make Bigger", &cmdLayerMoreSpacing::ourInstance, "Alt+="},
    };
    MenuEntry const view[] = {
        {"Go To Now", &cmdViewPanTimeToNow::ourInstance, "Alt+N"},
        {"Lock To Now", &cmdViewLockTimeToNow::ourInstance, "N", true},
        Separator,
        {"Fit Selected", &cmdViewFitSelected::ourInstance, "F"},
        {"Fit Selected - Vertical", &cmdViewFitSelectedVertical::ourInstance, "Alt+F"},
        {"Fit Selected - Horizontal", &cmdViewFitSelectedHorizontal::ourInstance, "Shift+F"},
    };
    Menu const menus[] = {
        {"File", file}, {"Edit", edit}, {"Events", events}, {"Layers", layers}, {"View", view},
    };
    ourMenuBar = new ObQtMbar();
    for (Menu const& m : menus) {
        ObQtMenu* menu = ourMenuBar->addMenu(m.title);
        for (MenuEntry const& e : m.entries) {
            if (!e.text) {
                menu->addSeparator();
                continue;
            }
            QKeySequence const keys = keysOf(e);
            ObQtMitem* item = e.func ? menu->addFuncMitem(e.text, e.func, keys, e.checkable)
                                     : menu->addMitem(e.text, e.cmd, keys, e.checkable);
            if (e.appMenu)
                item->setAppMenuMitem();
            if (e.inEveryWindow)
                item->setAppShortcut();
            if (e.otherShortcut)
                item->getQAction()->setShortcuts(
                    {QKeySequence(e.shortcut), QKeySequence(e.otherShortcut)});
        }
    }
}

bool mApp::notify(QObject* receiver, QEvent* event)
{
    try {
        if ((event->type() == QEvent::Hide || event->type() == QEvent::WindowDeactivate) &&
            receiver->isWidgetType())
            windowLeaving(static_cast<QWidget*>(receiver), *event);
        return QApplication::notify(receiver, event);
    } catch (...) {
        // No handler's failure is swallowed: what it left half done must not reach a save.
        A_TRACE_C("ired", "ERROR IN EVENT HANDLER!!! event type = %i\n",
                  static_cast<int>(event->type()));
        aAssertFail("an exception escaped an event handler", __FILE__, __LINE__);
    }
}

void mApp::windowLeaving(QWidget* window, QEvent const& event)
{
    // Menus and drop-down lists give the keyboard back themselves; the document's window is the
    // one it goes back to.
    if (!window->isWindow() || window->windowType() == Qt::Popup ||
        window->windowType() == Qt::ToolTip || dynamic_cast<ObQtWinDoc*>(window))
        return;
    // Some platforms take the keyboard from a window as it hides, others after it hid.
    bool const hadKeyboard =
        event.type() == QEvent::Hide ? window->isActiveWindow() : window->isHidden();
    if (!hadKeyboard)
        return;
    // Once the window is gone and whatever closed it is done: a question that follows at once
    // takes the keyboard for itself.
    QTimer::singleShot(0, this, &mApp::keyboardToDocument);
}

void mApp::keyboardToDocument()
{
    if (activeModalWidget() || activePopupWidget())
        return;
    if (QWidget* active = activeWindow(); active && active->isVisible())
        return;
    auto* doc = dynamic_cast<mDoc*>(getDoc());
    QWidget* window = doc ? doc->getWindow() : nullptr;
    if (window && window->isVisible())
        window->activateWindow();
}

bool mApp::event(QEvent* event)
{
    if (event->type() != QEvent::FileOpen)
        return ObQtApp::event(event);
    auto* request = static_cast<QFileOpenEvent*>(event);
    rtl::str const file(QFile::encodeName(request->file()).constData());
    QByteArray const url = request->url().toString().toUtf8();
    rtl::str line;
    line.set("OPEN EVENT FILE = %s\n", file.cs());
    localLogTo(line, OpenLog);
    line.set("OPEN EVENT URL  = %s\n", url.constData());
    localLogTo(line, OpenLog);
    line.set("DocToOpen '%s'\n", file.cs());
    localLogTo(line, OpenLog);
    if (!myLaunched) {
        // The launch opens the last one asked for.
        setNextDocPath(file);
        return true;
    }
    if (tryTransitionToNewSingleDoc(file.cs()))
        raiseDirt(DirtDocNameChanged);
    return true;
}

void mApp::setDocToOpenOnStart(rtl::str path)
{
    setNextDocPath(path);
}

void mApp::postFileArguments()
{
    QStringList const args = arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i].startsWith('-'))
            continue;
        QString const path = QDir::cleanPath(QDir::current().absoluteFilePath(args[i]));
        postEvent(this, new QFileOpenEvent(path));
    }
}

void mApp::launchCb()
{
    rtl::str const path = getNextDocPath();
    bool const hasChars = path.get() && path.c();
    M_TRACE("-------------------------------- LaunchCB, numDocs=%i, path=%s\n",
            static_cast<int>(ourDocs.size()), path ? path.cs() : "<NullPath>");
    rtl::str line;
    if (path) {
        line.set("Launch with '%s'\n", path.cs());
        A_TRACE("%s", line.cs());
        localLogTo(line, OpenLog);
        // A document that cannot be opened is reported, and a new one takes its place.
        openDoc(path.cs());
    } else {
        line.set("Launch with NEW DOC %s\n", hasChars ? path.cs() : "NULL");
        A_TRACE("%s", line.cs());
        localLogTo(line, OpenLog);
        newDoc();
    }
    myLaunched = true;
}

void mApp::aboutToQuitCb()
{
    M_TRACE("About to quit!\n");
}

void mApp::lastWindowClosedCb()
{
    M_TRACE("Last window closed!\n");
    // Decided on the next turn of the loop, when a document that replaces another has shown its
    // window.
    QTimer::singleShot(0, this, &mApp::quitWhenNothingIsOpen);
}

void mApp::quitWhenNothingIsOpen()
{
    if (!myLaunched || !ourDocs.empty())
        return;
    for (QWidget* w : topLevelWidgets())
        if (w->isVisible())
            return;
    M_TRACE("Nothing left open: quitting\n");
    quit();
}

void mApp::localLogTo(rtl::str text, rtl::str fileName)
{
    QString const folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    QFile file(folder + '/' + QFile::decodeName(fileName.cs()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(text.cs());
}

void mApp::warn(char const* text)
{
    A_TRACE_C("iyellow", "%s\n", text);
    (ourUi ? *ourUi : myUi).warn("Vantrel", text);
}

void mApp::checkForUpdates(bool)
{
    if (ourAutoUpdater)
        ourAutoUpdater->checkForUpdatesAndShow();
}

void mApp::showAboutWindow(bool)
{
    M_TRACE("SHOW ABOUT WINDOW\n");
}

void mApp::quitCb(bool)
{
    mApp* self = app();
    if (!self)
        return;
    while (!ourDocs.empty()) {
        ObDoc* doc = *ourDocs.begin();
        // A document kept open (Cancel, or a save that failed) keeps the program running.
        if (!self->saveAndCloseDoc(doc) || ourDocs.count(doc))
            return;
    }
    M_TRACE("Every document closed: quitting\n");
    self->quit();
}

QString mApp::titleOf(mDoc const& doc)
{
    return QString::fromUtf8(doc.getName().cs()) + QStringLiteral("[*]");
}

wMain* mApp::showWindow(mDoc* doc, bool loaded)
{
    auto* window = new wMain(doc);
    window->setWindowTitle(titleOf(*doc));
    if (loaded)
        window->setDirtyOnNextShow(DirtDocLoaded);
    QRect const stored(doc->getWinX(), doc->getWinY(), doc->getWinW(), doc->getWinH());
    // Shown where and as large as it will be, not first at a size of Qt's own choosing.
    window->setGeometry(wMain::placeOnScreen(stored));
    window->activateWindow();
    window->show();
    window->raise();
    M_TRACE_C("ired", "\n\n\n\n\n\n\n\nWIN GEOM: %i x %i at ( %i, %i )\n", stored.width(),
              stored.height(), stored.x(), stored.y());
    window->applyGeometry(stored);
    window->freeze();
    window->setLayerHeaderW(doc->getTimeline()->getLayerHeaderW());
    return window;
}

ObDirty* mApp::getAppDirtyEngine() const
{
    return getDirtEngine();
}

aRefresher* mApp::getAppRefreshEngine() const
{
    return getRefreshEngine();
}

mDoc* mApp::docOrCurrent(ObDoc* doc)
{
    auto* d = dynamic_cast<mDoc*>(doc ? doc : getDoc());
    A_ASSERT(d);
    return d;
}

void mApp::makeCurrent(mDoc* doc)
{
    if (ourCurrentDoc && ourCurrentDoc != doc)
        ourCurrentDoc->docWasDeactivated();
    ourCurrentDoc = doc;
    doc->docWasActivated();
}

void mApp::synced(mDoc* doc, bool nameChanged)
{
    ObDirty* dirt = doc->getDirtEngine();
    if (nameChanged)
        dirt->setDirty(DirtDocNameChanged, true);
    dirt->setDirty(DirtDocJustSynced, true);
    doc->getRefreshEngine()->setNeedsRefresh(nullptr);
}

ObDoc* mApp::newDoc()
{
    M_TRACE("mApp::newDoc - checking %i docs\n", static_cast<int>(ourDocs.size()));
    if (!ourDocs.empty() && !saveAndCloseDoc(nullptr)) {
        M_TRACE_C("iyellow", "Can't save and close current\n");
        stopped(Stop::Failed); // unless the user cancelled, which was told first
        return getDoc();
    }
    M_TRACE_C("iwhite", "mApp::NEW DOC!\n");
    auto* doc = new mDoc();
    doc->setName(getNonConflictDocTitle("Untitled"));
    registerDoc(doc);
    doc->init();
    mTimeline* timeline = doc->getTimeline();
    A_ASSERT(timeline);
    timeline->timeScale()->viewCurrentTime(true);
    // The second zoom is the one that stays.
    timeline->perpScale()->setZoom(1.0 / 30.0);
    timeline->perpScale()->setZoom(0.01);
    showWindow(doc, false);
    makeCurrent(doc);
    synced(doc, false);
    return doc;
}

ObDoc* mApp::openDoc(char const* path)
{
    // A bundle that is not there, or cannot be read, costs the user nothing: the current document
    // stays.
    if (rtl::str const why = mDoc::whyUnreadable(rtl::str(path)))
        return openFailed(path, why.cs());
    if (!ourDocs.empty() && !saveAndCloseDoc(nullptr)) {
        stopped(Stop::Failed); // unless the user cancelled, which was told first
        return getDoc();
    }
    auto doc = std::make_unique<mDoc>();
    doc->init();
    if (!doc->load(path)) {
        rtl::str const why = doc->fileError();
        // Thrown away before it is ever registered: nothing may reach what it read.
        doc.reset();
        return openFailed(path, why.cs());
    }
    mDoc* opened = doc.release();
    mEdb const* events = opened->getTimeline() ? opened->getTimeline()->getEdb() : nullptr;
    A_TRACE("Opened %s with %i events\n", path, events ? static_cast<int>(events->size()) : 0);
    opened->setName(mDoc::pathToName(rtl::str(path)));
    registerDoc(opened);
    showWindow(opened, true);
    makeCurrent(opened);
    synced(opened, false);
    return opened;
}

ObDoc* mApp::openFailed(char const* path, char const* why)
{
    QString const text = QStringLiteral("The document \"%1\" could not be opened.\n%2")
                             .arg(QFile::decodeName(path ? path : ""), QFile::decodeName(why));
    warn(text.toUtf8().constData());
    stopped(Stop::Failed);
    // Never a program without a document to work on.
    if (ourDocs.empty())
        newDoc();
    return nullptr;
}

bool mApp::saveDoc(ObDoc* d, bool saveAs)
{
    mDoc* doc = docOrCurrent(d);
    // What the user sees typed is what is written.
    doc->commitEdits();
    rtl::str path = doc->getPath();
    bool const chosen = saveAs || !doc->canSaveTest();
    if (chosen) {
        aPath chosen;
        if (!(ourUi ? *ourUi : myUi)
                 .browseForFilePathToSave(chosen, "Save as...", saveStart(*doc).constData(),
                                          nullptr)) {
            stopped(Stop::Cancelled);
            return false;
        }
        path = chosen.asChar();
    }
    if (!path.endswith(mDoc::ourBundleSuffix)) {
        rtl::str bundle;
        bundle.set("%s%s", path.cs(), mDoc::ourBundleSuffix);
        path = bundle;
        // The dialog asked about the name it was given, not about this one.
        if (chosen && !mayReplace(doc, path)) {
            stopped(Stop::Cancelled);
            return false;
        }
    }
    M_TRACE("Will save in: %s\n", path.cs());
    if (!doc->save(path.cs())) {
        // The document stays as it was: modified, with its old path and name.
        QString const text = QStringLiteral("The document \"%1\" could not be saved.\n%2")
                                 .arg(QString::fromUtf8(doc->getName().cs()),
                                      QFile::decodeName(doc->fileError().cs()));
        warn(text.toUtf8().constData());
        stopped(Stop::Failed);
        return false;
    }
    // What was written, for whoever checks the bundle against the program.
    mEdb const* events = doc->getTimeline() ? doc->getTimeline()->getEdb() : nullptr;
    A_TRACE("Saved %s with %i events\n", path.cs(), events ? static_cast<int>(events->size()) : 0);
    synced(doc, true);
    return true;
}

bool mApp::mayReplace(mDoc* doc, rtl::str const& path)
{
    QString const bundle = QFile::decodeName(path.cs());
    if (!QFileInfo(bundle).isDir() ||
        doc->normalizePath(path) == doc->normalizePath(doc->getPath()))
        return true;
    QString const question = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QFileInfo(bundle).fileName());
    return (ourUi ? *ourUi : myUi).confirm("Save as...", question.toUtf8().constData());
}

bool mApp::saveAndCloseDoc(ObDoc* d)
{
    if (!d && !getDoc())
        return true;
    mDoc* doc = docOrCurrent(d);
    if (ObQtWinDoc* window = doc->getWindow()) {
        // The window asks, saves and closes as the answer says, and releases the document.
        QCloseEvent close;
        QCoreApplication::sendEvent(window, &close);
        return close.isAccepted();
    }
    if (doc->getNeedsSave()) {
        int const answer = askSaveBeforeClose(doc);
        if (answer == 0)
            stopped(Stop::Cancelled);
        if (answer == 0 || (answer == 1 && !saveDoc(doc, false)))
            return false;
        doc->setNeedsSave(false);
    }
    closeDoc(doc, false);
    delete doc;
    return true;
}
