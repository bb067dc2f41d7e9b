#include "ObApp.h"

#include "ObCmd.h"
#include "ObDoc.h"
#include "ObTrace.h"
#include "aAssert.h"
#include "aPath.h"
#include "aTrace.h"
#include "aTypeName.h"

#include <cstring>
#include <string>
#include <typeinfo>
#include <unistd.h>
#include <vector>

ObApp* ObApp::ourApp = nullptr;
std::set<ObDoc*> ObApp::ourDocs;
ObDoc* ObApp::ourCurrentDoc = nullptr;
std::map<rtl::str, rtl::str> ObApp::ourLastLoadPaths;
std::map<rtl::str, rtl::str> ObApp::ourLastSavePaths;
ObApp::Stop ObApp::ourStop = ObApp::Stop::None;

ObApp::ObApp()
{
    A_ASSERT(!ourApp);
    A_ASSERT(ourDocs.size()==0);
    ourApp = this;
}

ObApp::~ObApp()
{
    // Nothing may reach the application through a pointer to a destroyed one.
    if (ourApp == this)
        ourApp = nullptr;
}

void ObApp::registerDoc(ObDoc* d)
{
    A_ASSERT(d);
    ourDocs.insert(d);
}

void ObApp::unregisterDoc(ObDoc* d)
{
    A_ASSERT(d);
    A_ASSERT(ourCurrentDoc != d);
    ourDocs.erase(d);
}

ObDoc* ObApp::getDoc(rtl::str name)
{
    for (ObDoc* d : ourDocs)
        if (d->getName() == name.c())
            return d;
    return nullptr;
}

void ObApp::activateDoc(ObDoc* d)
{
    A_ASSERT(d);
    if (d == ourCurrentDoc)
        return;
    if (ourCurrentDoc)
        deactivateDoc(ourCurrentDoc);
    ourCurrentDoc = d;
    d->docWasActivated();
}

void ObApp::deactivateDoc(ObDoc* d)
{
    A_ASSERT(d);
    if (d != ourCurrentDoc)
        return;
    d->docWasDeactivated();
    ourCurrentDoc = nullptr;
}

void ObApp::setNewCurrentDoc()
{
    if (ourDocs.empty()) {
        OB_TRACE("No Doc to make current\n");
        return;
    }
    ObDoc* first = *ourDocs.begin();
    ourCurrentDoc = first;
    activateDoc(first);
    OB_TRACE("New Current Doc has been set\n");
}

ObDoc* ObApp::closeDoc(ObDoc* doc, bool)
{
    if (!doc)
        doc = ourCurrentDoc;
    if (!doc)
        return nullptr;
    A_ASSERT(!doc->getNeedsSave());
    if (doc == ourCurrentDoc) {
        ourCurrentDoc = nullptr;
        doc->docWasDeactivated();
    }
    doc->docWillBeClosed();
    unregisterDoc(doc);
    if (!ourCurrentDoc)
        setNewCurrentDoc();
    return doc;
}

bool ObApp::saveAndCloseDoc(ObDoc* doc)
{
    if (!doc)
        doc = getDoc();
    if (!doc)
        return true;
    if (doc->getNeedsSave()) {
        int const answer = askSaveBeforeClose(doc);
        if (answer == 0) {
            stopped(Stop::Cancelled);
            return false;
        }
        if (answer == 1) {
            if (!doc->canSaveTest()) {
                aPath path;
                if (!askForPathToSave(doc, path, nullptr)) {
                    stopped(Stop::Cancelled);
                    return false;
                }
                doc->setPath(rtl::str(path.asChar()));
            }
            if (!saveDoc(doc, false)) {
                stopped(Stop::Failed);
                return false;
            }
        }
        doc->setNeedsSave(false);
    }
    if (!closeDoc(doc, false))
        return false;
    if (doc == ourCurrentDoc)
        ourCurrentDoc = nullptr;
    return true;
}

ObDoc* ObApp::tryTransitionToNewSingleDoc(char const* path)
{
    ObDoc* doc = getDoc();
    if (!doc)
        return openDoc(path);
    rtl::str const current = doc->normalizePath(doc->getPath());
    rtl::str const requested = doc->normalizePath(rtl::str(path));
    if (std::strcmp(current.cs(), requested.cs()) == 0)
        return doc;
    // Closing releases the document (its owner's close handling does): never delete it here.
    saveAndCloseDoc(doc);
    return openDoc(path);
}

rtl::str ObApp::getNonConflictDocTitle(char const* base)
{
    std::set<rtl::str> names;
    for (ObDoc* d : ourDocs)
        names.insert(d->getName());
    rtl::str candidate(base);
    for (int n = 2; names.count(candidate) != 0; ++n)
        candidate.set("%s %i", base, n);
    return candidate;
}

void ObApp::setPathLastLoaded(rtl::str path, ObDoc* doc)
{
    ourLastLoadPaths[rtl::str(doc->desc())] = path.head('/');
}

void ObApp::setPathLastSaved(rtl::str path, ObDoc* doc)
{
    ourLastSavePaths[rtl::str(doc->desc())] = path.head('/');
}

void ObApp::stopped(Stop why)
{
    if (ourStop == Stop::None)
        ourStop = why;
}

char const* ObApp::cmdEnded(bool ok)
{
    if (ok)
        return "SUCCESS!";
    return ourStop == Stop::Cancelled ? "Cancelled." : "Fail.";
}

bool ObApp::runCmd(ObCmd* cmd)
{
    A_ASSERT(cmd);
    char const* name = aTypeName(typeid(*cmd));
    OB_TRACE_C("iwhite", "====================================> BEGIN CMD: %s\n", name);
    ourStop = Stop::None;
    bool const ok = cmd->cmdAction();
    // By default a command is one line: its end, with how it went.
    A_TRACE_C("iwhite", "<====================================== END CMD: %s %s\n", name,
              cmdEnded(ok));
    return ok;
}

rtl::str ObApp::getExecutablePath() const
{
    // Grown by doubling until the path fits; a path that needs more than that is a broken system.
    char fixed[1024];
    std::size_t size = sizeof fixed;
    std::vector<char> grown;
    char* buf = fixed;
    for (;;) {
        ssize_t const n = readlink("/proc/self/exe", buf, size);
        if (n < 0)
            return rtl::str("");
        if (static_cast<std::size_t>(n) < size)
            return rtl::str(std::string(buf, static_cast<std::size_t>(n)).c_str());
        size *= 2;
        if (size > 199999)
            A_ASSERT(0);
        grown.assign(size, '\0');
        buf = grown.data();
    }
}

rtl::str ObApp::getBundlePath() const
{
    rtl::str path = getExecutablePath();
    // Inside an application bundle the bundle folder lies three steps up; elsewhere the
    // executable's own folder stands for it.
    if (std::strstr(path.cs(), "/Contents/MacOS/"))
        return path.head('/').head('/').head('/');
    return path.head('/');
}
