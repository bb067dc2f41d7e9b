#include "ObQtApp.h"

#include "ObCmd.h"
#include "ObDoc.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "ObQtUiDialogs.h"
#include "ObTrace.h"
#include "Xml.h"
#include "aAssert.h"
#include "aPath.h"
#include "aTrace.h"

#include <QAction>
#include <QSettings>
#include <QVariant>
#include <clocale>
#include <cstdio>
#include <typeinfo>

ObQtMbar* ObQtApp::ourMenuBar = nullptr;
ObQtUi* ObQtApp::ourUi = nullptr;

ObQtApp::ObQtApp(int& argc, char** argv) : QApplication(argc, argv), ObApp()
{
    // Qt has just switched every category to the user's locale; documents and traces must
    // keep writing and reading "0.5", not "0,5". Dates and month names stay the user's.
    std::setlocale(LC_NUMERIC, "C");
}

ObQtApp::~ObQtApp()
{
    // Widgets must not outlive the Qt application.
    delete ourMenuBar;
    ourMenuBar = nullptr;
}

int ObQtApp::run()
{
    if (!init()) {
        std::printf("Trouble initializing the application!");
        std::printf("\n");
        std::fflush(stdout);
        return 1;
    }
    A_TRACE("Launch Qt App\n");
    return QApplication::exec();
}

bool ObQtApp::init()
{
    initMenus();
    initModelData();
    initSessionState();
    return true;
}

void ObQtApp::initSessionState()
{
    // Read at every start, never written: reopening the documents of the last run is not
    // provided, so the value is not used.
    QSettings settings(QSettings::UserScope, QCoreApplication::organizationName(), QString());
    QVariant openDocs = settings.value("Open Documents", QVariant());
    (void)openDocs;
}

void ObQtApp::initMenus()
{
}

void ObQtApp::initModelData()
{
}

// A stand-in for the dialogs lives only as long as the question.
static ObQtUi& ui(ObQtUiDialogs& dialogs)
{
    return ObQtApp::ourUi ? *ObQtApp::ourUi : dialogs;
}

static char const* text(aString const& s)
{
    return s.c() ? s.c() : "";
}

ObDoc* ObQtApp::openDoc()
{
    ObQtUiDialogs dialogs;
    aPath path;
    if (!ui(dialogs).browseForFilePathToLoad(path, "Open Document...", nullptr, nullptr)) {
        stopped(Stop::Cancelled);
        return nullptr;
    }
    return openDoc(text(path));
}

ObDoc* ObQtApp::openDoc(char const* path)
{
    return ObApp::openDoc(path);
}

ObDoc* ObQtApp::closeDoc(ObDoc* doc, bool flag)
{
    // As the base, except that closing nothing is a caller's fault here.
    if (!doc)
        doc = ObApp::ourCurrentDoc;
    A_ASSERT(doc);
    A_ASSERT(!doc->getNeedsSave());
    return ObApp::closeDoc(doc, flag);
}

int ObQtApp::askSaveBeforeClose(ObDoc* doc)
{
    ObQtUiDialogs dialogs;
    rtl::str name = doc->getName();
    // A document without a name is asked about as "the current document".
    char const* n = name.c();
    return ui(dialogs).saveBeforeClosing(n && *n ? n : nullptr);
}

bool ObQtApp::askForPathToSave(ObDoc* doc, aPath& path, char const* dir)
{
    return askForPath(Purpose::Save, doc, path, dir);
}

bool ObQtApp::askForPathToLoad(ObDoc* doc, aPath& path, char const* dir)
{
    return askForPath(Purpose::Load, doc, path, dir);
}

bool ObQtApp::askForPath(Purpose purpose, ObDoc* doc, aPath& path, char const* dir)
{
    aPath home;
    if (!dir) {
        home.SetToHomeDir();
        dir = text(home);
    }
    ObQtUiDialogs dialogs;
    bool const save = purpose == Purpose::Save;
    bool const chosen = save ? ui(dialogs).browseForFilePathToSave(path, "Save as...", dir, nullptr)
                             : ui(dialogs).browseForFilePathToLoad(path, "Open...", dir, nullptr);
    if (!chosen)
        return false;
    rtl::str const where(text(path));
    save ? setPathLastSaved(where, doc) : setPathLastLoaded(where, doc);
    return true;
}

void ObQtApp::activateDoc(ObDoc*)
{
}

void ObQtApp::deactivateDoc(ObDoc*)
{
}

bool ObQtApp::runCmd(ObCmd* cmd)
{
    A_ASSERT(cmd);
    std::string name = Xml::className(typeid(*cmd));
    OB_TRACE_C("iwhite", "====================================> BEGIN CMD: %s\n", name.c_str());
    ourStop = Stop::None;
    bool ok = cmd->cmdAction();
    // By default a command is one line: its end, with how it went.
    A_TRACE_C("iwhite", "<====================================== END CMD: %s %s\n", name.c_str(),
              cmdEnded(ok));
    return ok;
}

void ObQtApp::mitemTriggeredCb(ObQtMitem* item)
{
    OB_TRACE("MITEM triggered: %s\n", item->getTitle().cs());
    mitemChosen(item);
}

void ObQtApp::mitemToggledCb(ObQtMitem* item)
{
    OB_TRACE("MITEM toggled: %s\n", item->getTitle().cs());
    mitemChosen(item);
}

void ObQtApp::mitemChosen(ObQtMitem* item)
{
    if (ObCmd* cmd = item->getCmd())
        runCmd(cmd);
    void (*func)(bool) = item->getFunc();
    if (!func)
        return;
    ObQtMenu* menu = qobject_cast<ObQtMenu*>(item->getQAction()->parent());
    func(item->isCheckedTest(menu));
}
