#include "wMain.h"

#include "ObClassTypeOf.h"
#include "ObQtRefresher.h"
#include "ObSelection.h"
#include "aAssert.h"
#include "aTrace.h"
#include "mApp.h"
#include "mDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTrace.h"
#include "pTimeline.h"
#include "tlCmp.h"
#include "tlStep.h"
#include "tlUi.h"
#include "wEditEvent.h"
#include "wEditLayer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <set>

wMain::wMain(mDoc* doc) : ObQtWinDoc(doc), myTrackingFilter(this)
{
    A_ASSERT(doc);
    myCmp = doc->getCmp();
    doc->setWindow(this);
    setMinimumSize(MinWidth, MinHeight);
    int const id = myCmp->cmpNewPanel(this, "Timeline");
    myPanel = myCmp->getPanelById(id);
    A_ASSERT(myPanel);
    myPanel->show();
    setMouseTracking(true);
    myPanel->setMouseTracking(true);
    doc->getQtRefresher()->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
}

wMain::~wMain()
{
    mDoc* d = doc();
    d->getQtRefresher()->unschedule(static_cast<aRefreshable*>(this));
    // The panes go before the document whose component they show, and leave its registry.
    if (myPanel) {
        myPanel->setAttribute(Qt::WA_DeleteOnClose);
        QEvent close(QEvent::Close);
        myPanel->closeEvent(&close);
        delete myPanel;
        myPanel = nullptr;
    }
    // A document closed through this window is released here, once, with nothing left of the
    // window that could still reach it. Any other document is deleted by the application, which
    // deletes its window first.
    if (myDocClosed) {
        d->setWindow(nullptr);
        delete d;
    }
}

mDoc* wMain::doc() const
{
    auto* d = dynamic_cast<mDoc*>(getDoc());
    A_ASSERT(d);
    return d;
}

QRect wMain::placeOnScreen(QRect const& stored)
{
    QScreen* screen = QGuiApplication::screenAt(stored.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect const free = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    int const w = std::max(MinWidth, std::min(stored.width(), free.width()));
    int const h = std::max(MinHeight, std::min(stored.height(), free.height()));
    int const x = std::max(free.left(), std::min(stored.x(), free.x() + free.width() - w));
    int const y = std::max(free.top(), std::min(stored.y(), free.y() + free.height() - h));
    return QRect(x, y, w, h);
}

void wMain::applyGeometry(QRect const& stored)
{
    QRect const g = placeOnScreen(stored);
    // A hidden window is made one pixel smaller first, so that it always gets a resize, which
    // lays out its panes; a shown one got its resize when it showed, and must not be seen at a
    // size it is not given.
    if (!isVisible())
        setGeometry(g.x(), g.y(), g.width() - 1, g.height() - 1);
    setGeometry(g);
}

void wMain::freeze()
{
    myPanel->freeze();
}

int wMain::getLayerHeaderW() const
{
    return myPanel->getLayerHeaderW();
}

void wMain::setLayerHeaderW(int w)
{
    myPanel->setLayerHeaderW(w);
}

void wMain::refresh(aRefreshContext*)
{
    static tlStep titleStep("wMain_setWindowTitle");
    static tlStep modifiedStep("wMain_docModified");
    static tlStep savedStep("wMain_clearNeedsSave");
    mDoc* d = doc();
    ObDirty* dirt = d->getDirtEngine();
    if (titleStep.needsCleaning(dirt, "wMain"))
        setWindowTitle(mApp::titleOf(*d));
    if (modifiedStep.needsCleaning(dirt, "wMain")) {
        setWindowModified(true);
        myClean = false;
    }
    if (savedStep.needsCleaning(dirt, "wMain")) {
        setWindowModified(false);
        myClean = true;
    }
}

void wMain::settleEdits()
{
    mDoc* d = doc();
    if (tlUi* ui = d->getCmp()->getUi(); ui && (ui->getEditor() || ui->getLayerEditor()))
        ui->clearEditor();
    d->commitEdits();
}

void wMain::closeEvent(QCloseEvent* event)
{
    if (myDocClosed) {
        // The close that the document's closing starts, or any later one.
        event->accept();
        return;
    }
    settleEdits();
    if (!doc()->getNeedsSave()) {
        M_TRACE("Really close\n");
        closeDocument();
        event->accept();
        return;
    }
    M_TRACE("Maybe save\n");
    int const answer = maybeSave();
    M_TRACE("Maybe save DONE %i\n", answer);
    switch (answer) {
    case QMessageBox::Save:
    case QMessageBox::Yes:
        M_TRACE("Maybe save => SAVED\n");
        break;
    case QMessageBox::No:
    case QMessageBox::Discard:
        M_TRACE("Maybe save => DONT SAVE\n");
        break;
    case QMessageBox::Cancel:
        M_TRACE("Maybe save => CANCEL\n");
        break;
    default:
        A_TRACE("UNKNOWN VALUE\n");
        break;
    }
    // Only a closed document lets its window go; a failed save or Cancel keeps both.
    event->setAccepted(myDocClosed);
}

int wMain::maybeSave()
{
    if (!mySaveBox) {
        mySaveBox = new QMessageBox(this);
        mySaveBox->setWindowTitle("SDI");
        mySaveBox->setText(
            "This document has been modified.\nDo you want to save your changes before closing?");
        mySaveBox->setIcon(QMessageBox::Warning);
        mySaveBox->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        mySaveBox->setDefaultButton(QMessageBox::Yes);
        mySaveBox->setEscapeButton(QMessageBox::Cancel);
        mySaveBox->setWindowFlags(mySaveBox->windowFlags() | Qt::Sheet);
        mySaveBox->setWindowModality(Qt::WindowModal);
        mySaveBox->button(QMessageBox::Yes)->setText(doc()->canSaveTest() ? "Save" : "Save...");
        mySaveBox->button(QMessageBox::No)->setText("Don't Save");
        connect(mySaveBox, &QMessageBox::finished, this, &wMain::finishClose);
    }
    int const answer = mySaveBox->exec();
    M_TRACE("EXEC %i \n", answer);
    return answer;
}

void wMain::finishClose(int sheetValue)
{
    M_TRACE("Finish close!\n");
    mDoc* d = doc();
    mApp* app = mApp::app();
    A_ASSERT(app);
    switch (sheetValue) {
    case QMessageBox::Yes:
        // A document that was never saved asks where to go.
        if (!app->saveDoc(d, !d->canSaveTest())) {
            myClean = false;
            return;
        }
        d->setNeedsSave(false);
        closeDocument();
        break;
    case QMessageBox::No:
        M_TRACE("NO SAVE\n");
        d->setNeedsSave(false);
        closeDocument();
        break;
    default:
        myClean = false;
        M_TRACE("CANCEL\n");
        ObApp::stopped(ObApp::Stop::Cancelled);
        return;
    }
    M_TRACE("Closed doc YES\n");
}

void wMain::closeDocument()
{
    mApp* app = mApp::app();
    A_ASSERT(app);
    myPanel->docWillClose();
    myDocClosed = true;
    myClean = true;
    // Closing the document closes this window, which deletes itself and then the document.
    app->closeDoc(doc(), false);
}

void wMain::storeGeometry(bool size)
{
    if (!isVisible())
        return;
    mDoc* d = doc();
    // The window's own geometry, without the frame: given back as it is, it does not creep.
    QRect const g = geometry();
    d->setWinX(g.x());
    d->setWinY(g.y());
    if (!size)
        return;
    d->setWinW(g.width());
    d->setWinH(g.height());
}

void wMain::resizeEvent(QResizeEvent*)
{
    // The menu bar lies across the top, above the contents rectangle.
    myPanel->setGeometry(contentsRect());
    storeGeometry(true);
}

void wMain::moveEvent(QMoveEvent*)
{
    M_TRACE("MOVE\n");
    if (tlUi* ui = doc()->getCmp()->getUi())
        if (wEditEvent* editor = ui->getEditor())
            editor->move(pos() + myEditorOffset);
    storeGeometry(false);
}

void wMain::keyPressEvent(QKeyEvent* event)
{
    M_TRACE("key pressed: %i\n", event->key());
    mDoc* d = doc();
    tlUi* ui = d->getCmp()->getUi();
    if (event->key() == Qt::Key_N) {
        event->ignore();
    } else if (event->key() == Qt::Key_Space && ui) {
        event->accept();
        ObSelection* selection = d->getSelectionEngine();
        std::set<Obh> events;
        selection->getSelectedItemsOfType(ourType_mEvent, events);
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        if (events.size() == 1) {
            if (myPanel->getSelectionArea(x, y, w, h)) {
                if (ui->getEditor())
                    ui->clearEditor();
                ui->showEditEvent(*events.begin(), x, y, w, h, "Edit Event");
                if (QWidget* editor = ui->getEditor())
                    myEditorOffset = editor->pos() - pos();
            }
        } else if (events.empty()) {
            std::set<Obh> layers;
            selection->getSelectedItemsOfType(ourType_mLayer, layers);
            M_TRACE("Got %i selected layers\n", static_cast<int>(layers.size()));
            if (layers.size() == 1 && myPanel->getSelectionArea(x, y, w, h)) {
                if (ui->getLayerEditor())
                    ui->clearEditor();
                ui->showEditLayer(*layers.begin(), x, y, w, h, "Edit Layer");
                if (QWidget* editor = ui->getLayerEditor())
                    myEditorOffset = editor->pos() - pos();
            }
        }
    } else {
        M_TRACE("key pressed: %i\n", event->key());
        event->ignore();
    }
    M_TRACE("Done keypress\n");
}
