#pragma once

#include "ObQtApp.h"
#include "mAppData.h"
#include "str.h"
#include "tlObj.h"
#include "uiQtEngine.h"

class AutoUpdater;
class QEvent;
class QObject;
class QString;
class QWidget;
class mDoc;
class wMain;

// The application: the framework's document-keeping Qt application, with one timeline document
// open at a time. It takes the system's (and the command line's) requests to open a document,
// decides at launch what the first document is, keeps notes on open requests, guards every event
// handler against escaping exceptions, and quits once the last document window has closed.
//
// Its tlObj side reaches the engines of the current component, that is of the newest document.
//
// The document operations follow the document through its life: made, named, registered,
// initialised, current; later closed and deleted exactly once. A document with a window is
// closed through its window and released by the window's close protocol; one without is
// released here.
class mApp : public ObQtApp, public mAppData, public tlObj
{
    Q_OBJECT
public:
    mApp(int& argc, char** argv);
    ~mApp() override;

    // The organisation, its domain, the application's name and version; they also name the
    // folder of the application's data.
    static void setIdentity();

    // The running application, or null.
    static mApp* app();

    bool saveAndCloseDoc(ObDoc* doc) override;
    ObDoc* newDoc() override;
    using ObQtApp::openDoc;
    ObDoc* openDoc(char const* path) override;
    bool saveDoc(ObDoc* doc, bool saveAs) override;
    ObDirty* getAppDirtyEngine() const override;
    aRefresher* getAppRefreshEngine() const override;
    bool init() override;
    // The menu bar of every document window: File, Edit, Events, Layers, View.
    void initMenus() override;

    bool notify(QObject* receiver, QEvent* event) override;
    // Stands for a system request to open the document before launch.
    void setDocToOpenOnStart(rtl::str path);
    // Run once, a second after start: opens the document asked for, else a new one.
    void launchCb();
    void aboutToQuitCb();
    void lastWindowClosedCb();

    // Every argument of the command line that is no option (Qt has taken its own already) becomes
    // a request to open it, made absolute and clean; the last one wins.
    void postFileArguments();

    // Appends the text to the named file in the application's data folder (made when missing);
    // nothing happens when that fails.
    void localLogTo(rtl::str text, rtl::str fileName);
    // Tells the user about something that went wrong, in a warning box.
    void warn(char const* text);

    // Menu functions: a check for updates whose answer is shown; the about box (a trace only);
    // quitting, which closes every document as Close does and ends the program only when all
    // of them closed.
    static void checkForUpdates(bool);
    static void showAboutWindow(bool);
    static void quitCb(bool);

    // A document window's title: the document's name and the place of the modified mark.
    static QString titleOf(mDoc const& doc);

    // Set by main; deleted with the application.
    static AutoUpdater* ourAutoUpdater;

    // Set once launchCb has brought in the first document; before, open requests are recorded.
    bool myLaunched = false;

protected:
    bool event(QEvent* event) override;

private:
    // A window of the application that goes while it has the keyboard (a pop-up editor, a
    // dialog, the save question) gives it back to the document's window, so that the document's
    // keys work again without a click.
    void windowLeaving(QWidget* window, QEvent const& event);
    void keyboardToDocument();
    // Ends the program once nothing is left open: no document, no window on screen.
    void quitWhenNothingIsOpen();
    // The document argument, or the current one; it must be a timeline document.
    mDoc* docOrCurrent(ObDoc* doc);
    // Makes the document current, as the application's current document.
    void makeCurrent(mDoc* doc);
    // The dirt of a document just brought in or written, and a refresh pass for it.
    void synced(mDoc* doc, bool nameChanged);
    // Tells why the document at the path could not be opened; null.
    ObDoc* openFailed(char const* path, char const* why);
    // Gives a document just made or read its window: titled, on screen at the stored geometry,
    // its pane laid out with the timeline's header width.
    wMain* showWindow(mDoc* doc, bool loaded);
    // Whether a Save As that landed on the path may go on: another document's bundle there is
    // replaced only when the user says so.
    bool mayReplace(mDoc* doc, rtl::str const& path);

    // The application's dialogs, unless another answerer is installed.
    uiQtEngine myUi;
};
