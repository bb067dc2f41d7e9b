#pragma once

#include "Obh.h"
#include "tlObj.h"

#include <list>
#include <map>

class ObObj;
class QWidget;
class aGraphic;
class pCtrls;
class pTimeline;
class tlScene;
class wEdit;
class wEditEvent;
class wEditLayer;

// The component's registry of user-interface pieces: it owns the scene that holds the layer
// and event items, makes and numbers the panels that windows ask for by type name, puts model
// objects' items into the scene, forwards selection and dirt to the engines, and opens and
// closes the one pop-up editor (of an event or of a layer) that may be open at a time.
//
// Panel ids are numbered apart for timeline panes and control strips, each from 0: a new panel
// gets one more than the largest id of its kind present. The registry does not own the panels
// (their parent widgets do); a panel leaves it through forgetView or forgetCtrls.
class tlUi : public tlObj
{
public:
    explicit tlUi(tlCmp* cmp);
    // Deletes the scene (and with it the items left in it) and closes, without saving, an editor
    // it opened: the document it edits is going.
    ~tlUi() override;
    tlUi(tlUi const&) = delete;
    tlUi& operator=(tlUi const&) = delete;

    tlScene* getScene() const { return myScene; }

    virtual void setNeedsRefresh();
    virtual void setSelection(Obh h);
    // The selection becomes exactly the list.
    virtual void setSelection(std::list<Obh>& handles);
    virtual void setDirty(unsigned long id);
    // Puts the object's item under the parent's item (or straight into the scene without a
    // parent) at the z value and raises the scene's dirt id. An object with an empty box is not
    // added.
    virtual void addToScene(Obh& h, aGraphic* parent, float z);
    virtual void addToScene(Obh& h);
    // "Timeline" or "Timeline Ctrls": the new panel's id; -1 for any other type.
    virtual int newPanel(tlCmp* cmp, QWidget* parent, char const* type);
    virtual pTimeline* newView(tlCmp* cmp, QWidget* parent);
    virtual void forgetView(pTimeline* view);
    virtual pCtrls* newCtrls(tlCmp* cmp, QWidget* parent);
    virtual void forgetCtrls(pCtrls* ctrls);
    // Saves and closes an open editor first, then opens the event's (layer's) editor pointing at
    // the rectangle (x, y, w, h) in global screen coordinates.
    virtual wEdit* showEditEvent(Obh ev, int x, int y, int w, int h, char const* title);
    virtual wEditEvent* getEditor();
    virtual wEdit* showEditLayer(Obh layer, int x, int y, int w, int h, char const* title);
    virtual wEditLayer* getLayerEditor();
    // Saves the open editor into its model object and closes it. Nothing when none is open.
    virtual void clearEditor();
    // What is typed into this registry's open editor and into its panes' title editors reaches
    // the model, every editor staying open: a save or a close that follows sees what is shown.
    virtual void commitEdits();
    // A second request for the object whose editor is open: that editor is saved and closed,
    // and the answer is true. False when no editor of the object is open.
    virtual bool closeEditorOf(Obh h);
    // An object is going: an open editor of it closes without saving (a later object in the
    // same slot must get nothing of it).
    static void objectGoing(ObObj const* obj);

    pTimeline* getPanelById(int id) const;
    pCtrls* getCtrlsPanelById(int id) const;

    // The one editor open in the application, of either kind, and the same by kind.
    static wEdit* ourEditor;
    static wEditEvent* ourEventEditor;
    static wEditLayer* ourLayerEditor;

    tlCmp* myTlCmp;
    tlScene* myScene;
    std::map<int, pTimeline*> myViews;
    std::map<int, pCtrls*> myCtrls;

private:
    // The registry that opened the editor that is open, if any.
    static tlUi* ourEditorUi;
    // The graphic side of a handle's object, or null; false when its box is empty (traced).
    aGraphic* graphicToAdd(Obh& h, bool traceAdding);
    void opened(wEdit* editor);
    // Closes the open editor without saving: its object or its document is going.
    static void dropEditor();
};
