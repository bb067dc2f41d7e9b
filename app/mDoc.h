#pragma once

#include "ObQtWinDoc.h"
#include "aRefreshable.h"
#include "mDocData.h"
#include "str.h"
#include "tlObj.h"

#include <QPointer>
#include <memory>
#include <string>

class ObDirty;
class ObEngine;
class ObQtRefresher;
class ObSelection;
class XmlReader;
class XmlWriter;
class aStateEngine;
class tlCmp;

// One open timeline document: its engines and its timeline component, the document-level clean
// rules that drive its modified state and its window's, its window geometry, and its bundle on
// disk (a folder "<name>.orstime" holding "doc_data.xml").
//
// A document is made, then init() once, then loaded or left new. It owns its engines and its
// component; its window is bound to it for the window's life and is not owned (the window goes
// after its close). It must be deleted only after its window has gone.
//
// Paths are the file system's bytes (QFile::encodeName); texts in the model are UTF-8.
class mDoc : public mDocData, public aRefreshable, public tlObj
{
public:
    mDoc();
    ~mDoc() override;
    mDoc(mDoc const&) = delete;
    mDoc& operator=(mDoc const&) = delete;

    // Makes the object store, the state, refresh, dirt and selection engines and the component,
    // in this order; installs the document's clean rules and schedules its refresh step.
    void init();

    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    // Stores the normal form of the path with ".orstime" appended.
    bool setPath(rtl::str path) override;
    // Reads the bundle that the path names (in any of its three forms). A document whose file
    // cannot be read, or holds no timeline, is refused: the caller throws it away.
    bool load(char const* path) override;
    // Writes the bundle that the path names, making its folder and parents when missing. The
    // file is replaced whole or not at all; only a save that succeeded renames the document and
    // marks it saved: a failed one leaves its path, name and modified state as they were.
    bool save(char const* path) override;
    void docWasActivated() override;
    void docWasDeactivated() override;
    // Stops the pending refresh pass and closes the window, which deletes itself.
    void docWillBeClosed() override;
    // "/data/Plans" for "/data/Plans", "/data/Plans.orstime", "/data/Plans.orstime/" and
    // "/data/Plans.orstime/doc_data.xml". A path is taken from the root; one that names no
    // bundle (no component, or "doc_data.xml" alone) is returned as it is.
    rtl::str normalizePath(rtl::str path) override;
    // Widths of 200 pixels or less are refused.
    bool setWinW(int w) override;

    void refresh(aRefreshContext* ctx) override;

    // What is typed into an open editor (a pop-up editor's fields, a layer title in a header)
    // reaches the model, the editors staying open, and a refresh pass runs at once: a save that
    // follows writes what is shown, a close that follows knows whether anything is unsaved.
    void commitEdits();

    // The parts of "doc_data.xml" under its root: "objects", "timeline_component", "doc".
    bool saveXml(XmlWriter& w);
    // Why the last load or save failed, for the user; empty after a success.
    rtl::str const& fileError() const { return myFileError; }

    // The name of the document a path names: "Plans" for every form of "/data/Plans.orstime".
    static rtl::str pathToName(rtl::str const& path);
    // The bundle file a path names: ".../Plans.orstime/doc_data.xml"; empty when it names none.
    static rtl::str filePath(rtl::str const& path);
    // Why the bundle a path names cannot be read, for the user: the bundle or its file and what
    // is wrong with it ("... does not exist.", "... is not a folder.", "... holds no
    // doc_data.xml.", "... cannot be read: Permission denied"); empty when nothing stands in the
    // way. Whether the file holds a document only reading it tells.
    static rtl::str whyUnreadable(rtl::str const& path);

    ObQtWinDoc* getWindow() const { return myWindow; }
    // Called by the window bound to this document when it is made.
    void setWindow(ObQtWinDoc* window) { myWindow = window; }

    ObEngine* getObEngine() const { return myObEngine.get(); }
    ObQtRefresher* getQtRefresher() const { return myRefreshEngine.get(); }

    static char const* const ourBundleSuffix;
    static char const* const ourFileName;

private:
    // Keeps the message for the user, followed by the reason when there is one.
    bool fail(std::string const& reason, char const* format, char const* what);

    std::unique_ptr<ObEngine> myObEngine;
    std::unique_ptr<ObDirty> myDirtEngine;
    std::unique_ptr<aStateEngine> myStateEngine;
    std::unique_ptr<ObSelection> mySelectionEngine;
    std::unique_ptr<ObQtRefresher> myRefreshEngine;
    std::unique_ptr<tlCmp> myComponent;
    // Cleared by Qt when the window goes first.
    QPointer<ObQtWinDoc> myWindow;
    rtl::str myFileError;
};
