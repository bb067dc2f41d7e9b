#include "tlUi.h"
#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "TimelineTestDoc.h"
#include "mLayer.h"
#include "pCtrls.h"
#include "pTimeline.h"
#include "tlScene.h"
#include "uiGi.h"
#include "wEditEvent.h"
#include "wEditLayer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Runs the deletions that closing windows asked for.
void processDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Registry : testing::Test
{
    TimelineTestDoc doc;
    QWidget window;
    tlUi& ui = *doc.cmp.getUi();

    void TearDown() override
    {
        if (tlUi::ourEditor)
            ui.clearEditor();
        processDeletes();
    }
};

} // namespace

TEST_F(Registry, NumbersViewsAndControlStripsApartFromZero)
{
    EXPECT_EQ(doc.cmp.cmpNewPanel(&window, "Timeline"), 0);
    EXPECT_EQ(doc.cmp.cmpNewPanel(&window, "Timeline Ctrls"), 0);
    EXPECT_EQ(doc.cmp.cmpNewPanel(&window, "Timeline"), 1);
    EXPECT_EQ(doc.cmp.cmpNewPanel(&window, "timeline"), -1);
    EXPECT_EQ(ui.newPanel(&doc.cmp, &window, nullptr), -1);
    EXPECT_EQ(ui.myViews.size(), 2u);
    EXPECT_EQ(ui.myCtrls.size(), 1u);

    pTimeline* first = doc.cmp.getPanelById(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_EQ(first->myTlUi, &ui);
    EXPECT_NE(doc.cmp.getPanelById(1), first);
    EXPECT_EQ(doc.cmp.getPanelById(7), nullptr);
    EXPECT_NE(doc.cmp.getCtrlsPanelById(0), nullptr);
    EXPECT_EQ(doc.cmp.getCtrlsPanelById(1), nullptr);
}

TEST_F(Registry, ANewPanelTakesOneMoreThanTheLargestIdLeft)
{
    pTimeline* v0 = ui.newView(&doc.cmp, &window);
    pTimeline* v1 = ui.newView(&doc.cmp, &window);
    ui.forgetView(v1);
    EXPECT_EQ(ui.newPanel(&doc.cmp, &window, "Timeline"), 1);
    ui.forgetView(v0);
    EXPECT_EQ(ui.newPanel(&doc.cmp, &window, "Timeline"), 2);
    ui.forgetView(v0); // not registered any more: nothing happens
    EXPECT_EQ(ui.myViews.size(), 2u);

    pCtrls* c0 = ui.newCtrls(&doc.cmp, &window);
    EXPECT_EQ(ui.getCtrlsPanelById(0), c0);
    ui.forgetCtrls(c0);
    EXPECT_EQ(ui.getCtrlsPanelById(0), nullptr);
}

TEST_F(Registry, APaneClosedForGoodLeavesTheRegistry)
{
    pTimeline* view = ui.newView(&doc.cmp, &window);
    QEvent close(QEvent::Close);
    view->closeEvent(&close); // kept on close: stays registered
    EXPECT_EQ(ui.getPanelById(0), view);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->closeEvent(&close);
    EXPECT_EQ(ui.getPanelById(0), nullptr);
    EXPECT_EQ(view->myTlUi, nullptr);
}

TEST_F(Registry, AskingForAPanelMakesTheComponentCurrent)
{
    TimelineTestDoc newer;
    ASSERT_EQ(tlObj::ourCurrentCmp, &newer.cmp);
    EXPECT_EQ(doc.cmp.cmpNewPanel(&window, "Timeline"), 0);
    EXPECT_EQ(tlObj::ourCurrentCmp, &doc.cmp);
    tlObj::ourCurrentCmp = &newer.cmp; // the newer one goes first
}

TEST_F(Registry, OneEditorAtATimeOfEitherKind)
{
    Obh const someone;
    wEdit* first = ui.showEditEvent(someone, 10, 20, 30, 40, "Edit Event");
    QPointer<wEdit> firstAlive = first;
    EXPECT_EQ(tlUi::ourEditor, first);
    EXPECT_EQ(static_cast<wEdit*>(ui.getEditor()), first);
    EXPECT_EQ(ui.getLayerEditor(), nullptr);
    EXPECT_EQ(first->windowTitle().toStdString(), "Edit Event");
    EXPECT_TRUE(first->isVisible());

    wEdit* second = ui.showEditLayer(someone, 10, 20, 30, 40, "Edit Layer");
    processDeletes();
    EXPECT_TRUE(firstAlive.isNull()) << "the event editor was closed first";
    EXPECT_EQ(ui.getEditor(), nullptr);
    EXPECT_EQ(static_cast<wEdit*>(ui.getLayerEditor()), second);
    EXPECT_EQ(tlUi::ourEditor, second);

    QPointer<wEdit> secondAlive = second;
    ui.clearEditor();
    processDeletes();
    EXPECT_TRUE(secondAlive.isNull());
    EXPECT_EQ(tlUi::ourEditor, nullptr);
    EXPECT_EQ(ui.getLayerEditor(), nullptr);
    ui.clearEditor(); // none open: nothing happens
}

TEST(RegistryLife, AnEditorOfADocumentThatGoesClosesWithoutSaving)
{
    QPointer<wEdit> editor;
    {
        TimelineTestDoc doc;
        editor = doc.cmp.getUi()->showEditEvent(Obh(), 0, 0, 10, 10, "Edit Event");
    }
    EXPECT_EQ(tlUi::ourEditor, nullptr);
    EXPECT_EQ(tlUi::ourEventEditor, nullptr);
    processDeletes();
    EXPECT_TRUE(editor.isNull());
}

TEST_F(Registry, AddsOnlyObjectsWithABoxToTheScene)
{
    Obh layer = tlObj::ourType_mLayer->make();
    mLayer* l = tlObj::ourType_mLayer->ptr(layer);
    l->setSceneW(120);
    l->setSceneH(0); // an empty box
    doc.dirt.clearAllDirt();
    ui.addToScene(layer);
    ui.addToScene(layer, nullptr, 1.0f);
    EXPECT_EQ(l->giGet(), nullptr);
    EXPECT_FALSE(doc.dirt.isDirty(tlObj::DirtScene));

    l->setSceneH(30);
    ui.addToScene(layer, nullptr, 1.0f);
    ASSERT_NE(l->giGet(), nullptr);
    EXPECT_EQ(l->giGet()->scene(), ui.getScene());
    EXPECT_EQ(l->giGet()->zValue(), 1.0);
    EXPECT_TRUE(doc.dirt.isDirty(tlObj::DirtScene));

    // An event of no layer stays out when its would-be parent is in no scene.
    Obh other = tlObj::ourType_mLayer->make();
    mLayer* o = tlObj::ourType_mLayer->ptr(other);
    o->setSceneW(50);
    o->setSceneH(10);
    l->giRemoveFromScene();
    ui.addToScene(other, l, 2.0f);
    EXPECT_FALSE(o->giInSceneTest());
    l->giAddToScene(*ui.getScene(), layer);
    ui.addToScene(other, l, 2.0f);
    ASSERT_NE(o->giGet(), nullptr);
    EXPECT_EQ(o->giGet()->parentItem(), l->giGet());
    EXPECT_EQ(o->giGet()->zValue(), 2.0);
}

TEST_F(Registry, AnObjectThatIsNeverDrawnIsRefusedAndTheProgramGoesOn)
{
    // Refused where a broken invariant would stop the program: a stale handle from a view
    // must not end the user's session.
    Obh skin = doc.cmp.getSkinHdl();
    Obh timeline = doc.cmp.getTimelineHdl();
    Obh none;
    int const before = static_cast<int>(ui.getScene()->items().size());
    for (Obh* h : {&skin, &timeline, &none}) {
        doc.dirt.clearAllDirt();
        ui.addToScene(*h);
        ui.addToScene(*h, nullptr, 1.0f);
        EXPECT_FALSE(doc.dirt.isDirty(tlObj::DirtScene));
    }
    EXPECT_EQ(static_cast<int>(ui.getScene()->items().size()), before);
}
