#pragma once

#include "AnswerUi.h"
#include "ObDirty.h"
#include "ObQtRefresher.h"
#include "ScratchDir.h"
#include "WhenShown.h"
#include "mApp.h"
#include "mDoc.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileOpenEvent>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

// An environment variable set (or, with null, removed) for as long as the guard lives.
class EnvGuard
{
public:
    EnvGuard(char const* name, char const* value) : myName(name)
    {
        if (char const* old = std::getenv(name))
            myOld = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~EnvGuard() { myOld ? setenv(myName, myOld->c_str(), 1) : unsetenv(myName); }
    EnvGuard(EnvGuard const&) = delete;
    EnvGuard& operator=(EnvGuard const&) = delete;

private:
    char const* myName;
    std::optional<std::string> myOld;
};

// The application as before its launch, with the data folder and the answers of the test's own.
class AppTest : public testing::Test
{
protected:
    AppTest() { fresh(); }
    ~AppTest() override { fresh(); }

    // No document, nothing asked for, not launched.
    void fresh()
    {
        while (!ObApp::ourDocs.empty()) {
            auto* doc = dynamic_cast<mDoc*>(*ObApp::ourDocs.begin());
            doc->getQtRefresher()->_doRefreshIfNeeded(nullptr);
            doc->setNeedsSave(false);
            app.saveAndCloseDoc(doc);
        }
        gone();
        app.myLaunched = false;
        app.setNextDocPath(rtl::str());
    }
    void request(std::string const& path)
    {
        QFileOpenEvent open(QString::fromUtf8(path.c_str()));
        QCoreApplication::sendEvent(&app, &open);
    }
    std::string current() const
    {
        return ObApp::ourCurrentDoc ? ObApp::ourCurrentDoc->getName().cs() : "(none)";
    }
    mDoc* doc() const { return dynamic_cast<mDoc*>(ObApp::ourCurrentDoc); }
    // The current document's refresh pass, run now.
    void pass() const { doc()->getQtRefresher()->_doRefreshIfNeeded(nullptr); }
    // An edit of the current document, seen by its refresh pass (after the one that ends its
    // opening or saving): it is modified.
    void edit() const
    {
        pass();
        doc()->getDirtEngine()->setDirty(tlObj::DirtUserEditedAttrs, true);
        pass();
    }
    // Windows closed with their documents go, and release the documents.
    static void gone() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    std::string openLog() const { return readFile(data.path + "/Orsenko/Vantrel/log_open.txt"); }
    static void makeBundle(std::string const& path)
    {
        mDoc d;
        d.init();
        ASSERT_TRUE(d.save(path.c_str()));
    }

    mApp& app = *mApp::app();
    ScratchDir data;
    EnvGuard dataHome {"XDG_DATA_HOME", data.path.c_str()};
    ScratchDir dir;
    AnswerUi ui;
};
