#include "tlUi.h"

#include "ObDirty.h"
#include "ObObj.h"
#include "ObSelection.h"
#include "aGraphic.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "aTypeName.h"
#include "mTrace.h"
#include "pCtrls.h"
#include "pTimeline.h"
#include "tlScene.h"
#include "uiGi.h"
#include "wEditEvent.h"
#include "wEditLayer.h"

#include <QPointer>
#include <cstring>
#include <typeinfo>

wEdit* tlUi::ourEditor = nullptr;
wEditEvent* tlUi::ourEventEditor = nullptr;
wEditLayer* tlUi::ourLayerEditor = nullptr;
tlUi* tlUi::ourEditorUi = nullptr;

namespace {

// One more than the largest id in use, 0 for none.
template <class P> int nextId(std::map<int, P*> const& panels)
{
    return panels.empty() ? 0 : panels.rbegin()->first + 1;
}

template <class P> void forget(std::map<int, P*>& panels, P* panel)
{
    for (auto it = panels.begin(); it != panels.end(); ++it)
        if (it->second == panel) {
            panels.erase(it);
            return;
        }
}

template <class P> P* find(std::map<int, P*> const& panels, int id)
{
    auto it = panels.find(id);
    return it == panels.end() ? nullptr : it->second;
}

// The class name of a model object without its prefix letter ("Event" for an mEvent).
char const* shortName(ObObj const* obj)
{
    char const* name = aTypeName(typeid(*obj));
    return name[0] ? name + 1 : name;
}

} // namespace

tlUi::tlUi(tlCmp* cmp) : myTlCmp(cmp), myScene(new tlScene())
{
    myScene->setItemIndexMethod(QGraphicsScene::NoIndex);
}

tlUi::~tlUi()
{
    // The document it edits is going: nothing is saved into it.
    if (ourEditorUi == this)
        dropEditor();
    delete myScene;
    myScene = nullptr;
}

void tlUi::setNeedsRefresh()
{
    if (aRefresher* refresher = getRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}

void tlUi::setSelection(std::list<Obh>& handles)
{
    if (ObSelection* selection = getSelectionEngine())
        selection->setSelection(handles);
    setNeedsRefresh();
}

void tlUi::setSelection(Obh h)
{
    std::list<Obh> handles {h};
    setSelection(handles);
}

void tlUi::setDirty(unsigned long id)
{
    if (ObDirty* dirt = getDirtEngine())
        dirt->setDirty(static_cast<unsigned int>(id), true);
    setNeedsRefresh();
}

aGraphic* tlUi::graphicToAdd(Obh& h, bool traceAdding)
{
    ObObj* obj = h.isValid() ? h.obj() : nullptr;
    auto* g = dynamic_cast<aGraphic*>(obj);
    if (!g) {
        A_TRACE_C("ired", "Nothing to add to the scene: the handle names no drawn object\n");
        return nullptr;
    }
    if (traceAdding)
        M_TRACE_C("ired", "Adding a %s to scene\n", shortName(obj));
    double x = 0, y = 0, w = 0, hgt = 0;
    g->giGetBbox(x, y, w, hgt);
    if (!(w > 0.0) || !(hgt > 0.0)) {
        M_TRACE_C("iyellow", "%s NOT ADDED TO SCENE due to ZERO dimension %f x %f\n",
                  shortName(obj), w, hgt);
        return nullptr;
    }
    return g;
}

void tlUi::addToScene(Obh& h)
{
    if (aGraphic* g = graphicToAdd(h, true))
        g->giAddToScene(*myScene, h);
}

void tlUi::addToScene(Obh& h, aGraphic* parent, float z)
{
    aGraphic* g = graphicToAdd(h, false);
    if (!g)
        return;
    if (parent) {
        if (!parent->giInSceneTest()) {
            A_TRACE_C("ired", "Not added to the scene: the parent's item is in no scene\n");
            return;
        }
        // Only made here: an object's giEnsure may place its item through this very call.
        if (!g->giGet())
            g->giNew(h);
        if (g->giInSceneTest())
            g->giRemoveFromScene();
        g->giSetParent(parent);
    } else {
        g->giAddToScene(*myScene, h);
    }
    g->giGet()->setZValue(z);
    if (ObDirty* dirt = getDirtEngine())
        dirt->setDirty(DirtScene, true);
}

int tlUi::newPanel(tlCmp* cmp, QWidget* parent, char const* type)
{
    if (!type)
        return -1;
    // What the panel builds reaches the component that asked for it.
    ourCurrentCmp = cmp;
    M_TRACE("Requesting new panel type '%s'\n", type);
    if (std::strcmp(type, "Timeline") == 0) {
        auto* view = new pTimeline(parent, cmp, this);
        M_TRACE("New timeline panel\n");
        int const id = nextId(myViews);
        M_TRACE("Registered panel #%i\n", id);
        myViews[id] = view;
        return id;
    }
    if (std::strcmp(type, "Timeline Ctrls") == 0) {
        auto* ctrls = new pCtrls(parent, cmp, this);
        M_TRACE("New ctrls panel\n");
        int const id = nextId(myCtrls);
        M_TRACE("Registered ctrl panel #%i\n", id);
        myCtrls[id] = ctrls;
        return id;
    }
    return -1;
}

pTimeline* tlUi::newView(tlCmp* cmp, QWidget* parent)
{
    ourCurrentCmp = cmp;
    auto* view = new pTimeline(parent, cmp, this);
    int const id = nextId(myViews);
    M_TRACE("Registered panel #%i\n", id);
    myViews[id] = view;
    return view;
}

pCtrls* tlUi::newCtrls(tlCmp* cmp, QWidget* parent)
{
    ourCurrentCmp = cmp;
    auto* ctrls = new pCtrls(parent, cmp, this);
    int const id = nextId(myCtrls);
    M_TRACE("Registered ctrl panel #%i\n", id);
    myCtrls[id] = ctrls;
    return ctrls;
}

void tlUi::forgetView(pTimeline* view)
{
    forget(myViews, view);
}

void tlUi::forgetCtrls(pCtrls* ctrls)
{
    forget(myCtrls, ctrls);
}

pTimeline* tlUi::getPanelById(int id) const
{
    M_TRACE("Finding panel #%i\n", id);
    return find(myViews, id);
}

pCtrls* tlUi::getCtrlsPanelById(int id) const
{
    M_TRACE("Finding ctrl panel #%i\n", id);
    return find(myCtrls, id);
}

void tlUi::dropEditor()
{
    wEdit* editor = ourEditor;
    ourEditor = nullptr;
    ourEventEditor = nullptr;
    ourLayerEditor = nullptr;
    ourEditorUi = nullptr;
    if (!editor)
        return;
    if (auto* objEditor = dynamic_cast<wEditObj*>(editor))
        objEditor->forgetObject();
    editor->hide();
    editor->deleteLater();
}

void tlUi::commitEdits()
{
    if (ourEditor && ourEditorUi == this)
        ourEditor->saveToModel();
    for (auto const& [id, view] : myViews)
        view->commitTitleEdits();
}

bool tlUi::closeEditorOf(Obh h)
{
    auto* editor = dynamic_cast<wEditObj*>(ourEditor);
    if (!editor || editor->getHdl() != h)
        return false;
    clearEditor();
    return true;
}

void tlUi::objectGoing(ObObj const* obj)
{
    auto* editor = dynamic_cast<wEditObj*>(ourEditor);
    if (editor && editor->edits(obj)) {
        A_TRACE("The edited object is going: its editor closes unsaved\n");
        dropEditor();
    }
}

void tlUi::opened(wEdit* editor)
{
    ourEditor = editor;
    ourEditorUi = this;
}

wEdit* tlUi::showEditEvent(Obh ev, int x, int y, int w, int h, char const* title)
{
    if (ourEditor)
        clearEditor();
    auto* editor = new wEditEvent(ev, x, y, w, h, false);
    ourEventEditor = editor;
    editor->setTitle(title);
    editor->show();
    opened(editor);
    return editor;
}

wEdit* tlUi::showEditLayer(Obh layer, int x, int y, int w, int h, char const* title)
{
    if (ourEditor)
        clearEditor();
    auto* editor = new wEditLayer(layer, x, y, w, h, false);
    ourLayerEditor = editor;
    editor->setTitle(title);
    editor->show();
    opened(editor);
    return editor;
}

wEditEvent* tlUi::getEditor()
{
    return ourEventEditor;
}

wEditLayer* tlUi::getLayerEditor()
{
    return ourLayerEditor;
}

void tlUi::clearEditor()
{
    if (!ourEditor) {
        // A second key press before the first close took effect, say.
        M_TRACE("tlUi::clearEditor - no editor open\n");
        return;
    }
    // The statics are cleared first: saving may run code that asks for the open editor.
    QPointer<wEdit> editor = ourEditor;
    ourEditor = nullptr;
    ourEventEditor = nullptr;
    ourLayerEditor = nullptr;
    ourEditorUi = nullptr;
    editor->saveToModel();
    if (editor) {
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->close();
    }
}
