#pragma once

#include "ObAp.h"
#include "str.h"

#include <map>
#include <set>

class ObCmd;
class ObDirty;
class ObDoc;
class aPath;
class aRefresher;

// The one application object: the open documents, the current one, their life cycle, command
// execution and the place of the application on disk. Questions to the user and the concrete
// document work are left to the virtual operations that the toolkit binding and the
// application override.
class ObApp : public ObAp
{
public:
    ObApp();
    ObApp(ObApp const&) = delete;
    ObApp& operator=(ObApp const&) = delete;
    ~ObApp() override;

    static void registerDoc(ObDoc* d);
    static void unregisterDoc(ObDoc* d);

    virtual bool saveAndCloseDoc(ObDoc* doc);
    virtual ObDoc* newDoc() { return nullptr; }
    virtual ObDoc* openDoc() { return nullptr; }
    virtual ObDoc* openDoc(char const*) { return nullptr; }
    virtual bool saveDoc(ObDoc*, bool) { return false; }
    virtual ObDoc* closeDoc(ObDoc* doc, bool flag);
    virtual int askSaveBeforeClose(ObDoc*) { return 1; }
    virtual bool askForPathToSave(ObDoc*, aPath&, char const*) { return false; }
    virtual bool askForPathToLoad(ObDoc*, aPath&, char const*) { return false; }
    virtual ObDoc* tryTransitionToNewSingleDoc(char const* path);
    virtual void setCurrentDoc(ObDoc* d) { ourCurrentDoc = d; }
    virtual ObDoc* getDoc() { return ourCurrentDoc; }
    virtual ObDoc* getDoc(rtl::str name);
    virtual ObDirty* getAppDirtyEngine() const { return nullptr; }
    virtual aRefresher* getAppRefreshEngine() const { return nullptr; }
    virtual void activateDoc(ObDoc* d);
    virtual void deactivateDoc(ObDoc* d);
    virtual bool runCmd(ObCmd* cmd);
    virtual int run() { return 0; }
    virtual bool init() { return true; }
    virtual rtl::str getNonConflictDocTitle(char const* base);
    virtual void setNewCurrentDoc();
    virtual void setPathLastLoaded(rtl::str path, ObDoc* doc);
    virtual void setPathLastSaved(rtl::str path, ObDoc* doc);

    // Why the document operation under way stopped short of what it was asked: the user
    // cancelled a question or a file dialog, or a step failed (and said why). The first reason
    // given stays. runCmd starts each command with none, and ends a command that did not
    // succeed as cancelled when the user cancelled it.
    enum class Stop
    {
        None,
        Cancelled,
        Failed
    };
    static void stopped(Stop why);
    static Stop ourStop;
    // How the command that just ran ended, for its line: "SUCCESS!" when it answered true, else
    // "Cancelled." or "Fail.".
    static char const* cmdEnded(bool ok);

    rtl::str getExecutablePath() const;
    rtl::str getBundlePath() const;

    static ObApp* ourApp;
    static std::set<ObDoc*> ourDocs;
    static ObDoc* ourCurrentDoc;
    static std::map<rtl::str, rtl::str> ourLastLoadPaths;
    static std::map<rtl::str, rtl::str> ourLastSavePaths;
};
