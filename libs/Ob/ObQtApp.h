#pragma once

#include "ObApp.h"

#include <QApplication>

class ObCmd;
class ObDoc;
class ObQtMbar;
class ObQtMitem;
class ObQtUi;
class aPath;

// The application base joined to Qt's application object: it runs the event loop, asks the
// user where to save or open and whether to save, reads the organisation's settings, and runs
// the command (or calls the function) of every menu entry chosen. Qt's application comes first:
// a class's meta-object is made from its first base.
class ObQtApp : public QApplication, public ObApp
{
    Q_OBJECT
public:
    ObQtApp(int& argc, char** argv);
    ~ObQtApp() override;

    ObDoc* openDoc() override;
    ObDoc* openDoc(char const* path) override;
    ObDoc* closeDoc(ObDoc* doc, bool flag) override;
    int askSaveBeforeClose(ObDoc* doc) override;
    bool askForPathToSave(ObDoc* doc, aPath& path, char const* dir) override;
    bool askForPathToLoad(ObDoc* doc, aPath& path, char const* dir) override;
    void activateDoc(ObDoc* doc) override;
    void deactivateDoc(ObDoc* doc) override;
    bool runCmd(ObCmd* cmd) override;
    int run() override;
    bool init() override;

    virtual void initSessionState();
    virtual void initMenus();
    virtual void initModelData();
    virtual void mitemTriggeredCb(ObQtMitem* item);
    virtual void mitemToggledCb(ObQtMitem* item);

    // The application's menu bar, made by the concrete application's initMenus; deleted with
    // the application.
    static ObQtMbar* ourMenuBar;
    // Who asks the user; null means Qt's own dialogs. Not owned.
    static ObQtUi* ourUi;

private:
    enum class Purpose
    {
        Save,
        Load
    };
    // The file question, where to save or what to open; remembers the folder of the answer.
    bool askForPath(Purpose purpose, ObDoc* doc, aPath& path, char const* dir);
    void mitemChosen(ObQtMitem* item);
};
