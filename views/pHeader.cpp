#include "pHeader.h"

#include "ObSelection.h"
#include "PainterQt.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlStep.h"
#include "tlUi.h"
#include "uiButton.h"
#include "uiFonts.h"
#include "uiText.h"
#include "uiToggle.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <initializer_list>

pHeader::pHeader(QWidget* parent, Obh layer) : uiWin(parent), myLayerHdl(layer)
{
    myHideToggle = new uiToggle(this, "H", 0, 0, 0.7f, 10);
    myExpandBtn = new uiButton(this, "+", 0.8f, 0, 0.7f, 14);
    myContractBtn = new uiButton(this, "-", 0.8f, 0, 0.7f, 18);
    connect(myHideToggle, &uiToggle::toggleChanged, this, &pHeader::toggleChangedCb);
    connect(myExpandBtn, &uiButton::buttonPressed, this, &pHeader::btnExpandCb);
    connect(myContractBtn, &uiButton::buttonPressed, this, &pHeader::btnContractCb);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
    syncLayerControls();
    show();
    reskin();
}

pHeader::~pHeader() = default;

mLayer* pHeader::getLayer()
{
    return dynamic_cast<mLayer*>(myLayerHdl.obj());
}

mLayer& pHeader::layer()
{
    mLayer* l = getLayer();
    A_ASSERT(l);
    return *l;
}

void pHeader::syncLayerControls()
{
    mTimeline* tl = getTimeline();
    bool const controls = tl && tl->getShowLayerControls();
    myExpandBtn->setVisible(controls);
    myContractBtn->setVisible(controls);
    myHideToggle->setVisible(controls && !tl->getLayerHidingEnabled());
    update(); // the title ends where the controls now begin
}

float pHeader::titleEnd() const
{
    int end = width() - TitleEdgeGap;
    for (QWidget const* control :
         std::initializer_list<QWidget const*> {myHideToggle, myContractBtn, myExpandBtn})
        if (!control->isHidden())
            end = std::min(end, control->x() - TitleControlGap);
    return float(end);
}

void pHeader::reskin()
{
    if (mLayer* l = getLayer())
        myTitleFont = std::make_unique<QFont>(uiFonts::font(
            l->getLabelFontFamily().c(), l->getLabelFontSize(), l->getLabelFontWeight()));
    update();
}

void pHeader::doLayout()
{
    int const w = width();
    myHideToggle->setGeometry(w - 45, 3, 12, 12);
    myContractBtn->setGeometry(w - 30, 3, 12, 12);
    myExpandBtn->setGeometry(w - 15, 3, 12, 12);
}

void pHeader::paintEvent(QPaintEvent*)
{
    mLayer* l = getLayer();
    if (!l)
        return;
    QPainter qp(this);
    PainterQt p(qp);
    p.set2dGeometry(0, 0, float(width()), float(height()));
    l->paintLayerHeader(p, myLayerHdl, titleEnd());
}

void pHeader::describeRefreshable(rtl::str& text) const
{
    text = "Timeline::pHeader";
}

void pHeader::refresh(aRefreshContext*)
{
    static tlStep reskinStep("pHeader_reskin");
    static tlStep syncControls("pHeader_syncLayerControls");
    static tlStep stopEditingTitle("pHeader_stopEditingTitle");
    static tlStep stopEditingLayer("pHeader_stopEditingLayer");
    static tlStep unselectLayer("pHeader_unselectLayer");
    static tlStep updateStep("pHeader_update");
    ObDirty* dirt = getDirtEngine();
    if (reskinStep.needsCleaning(dirt, "pHeader"))
        reskin();
    if (syncControls.needsCleaning(dirt, "pHeader"))
        syncLayerControls();
    bool changed = false;
    if (stopEditingTitle.needsCleaning(dirt, "pHeader")) {
        labelEditorReturnPressed();
        changed = true;
    }
    if (stopEditingLayer.needsCleaning(dirt, "pHeader")) {
        closeLayerEditor();
        changed = true;
    }
    if (unselectLayer.needsCleaning(dirt, "pHeader")) {
        if (ObSelection* selection = getSelectionEngine())
            selection->removeFromSelection(myLayerHdl);
        changed = true;
    }
    if (updateStep.needsCleaning(dirt, "pHeader"))
        changed = true;
    if (!changed)
        return;
    // The toggle follows the layer: "on" while the layer is not active.
    if (mLayer* l = getLayer(); l && myHideToggle->getValue() != !l->getIsActive())
        myHideToggle->setValue(!l->getIsActive());
    update();
}

void pHeader::closeLayerEditor()
{
    tlUi* ui = getUi();
    if (ui && ui->getLayerEditor())
        ui->clearEditor();
}

void pHeader::toggleChangedCb(uiToggle*, bool value)
{
    M_TRACE("TOGGLE: %s\n", value ? "T" : "f");
    M_TRACE_C("ired", "STOP SKIPPING FX!");
    layer().setIsActive(!value);
    raiseDirt(DirtActiveLayers);
    update();
    requestRefresh();
}

void pHeader::btnExpandCb(uiButton*)
{
    layer().addRows(1);
    requestRefresh();
}

void pHeader::btnContractCb(uiButton*)
{
    layer().fitRows();
    requestRefresh();
}

void pHeader::mousePressEvent(QMouseEvent* event)
{
    myIgnoreRelease = false;
    if (myTitleEditor) {
        labelEditorReturnPressed();
    } else {
        mTimeline* tl = getTimeline();
        ObSelection* selection = getSelectionEngine();
        Qt::KeyboardModifiers const mods = event->modifiers();
        if (tl && selection) {
            if (mods & Qt::ShiftModifier) {
                M_TRACE("Shift Select Layer\n");
                tl->shiftSelectLayer(myLayerHdl);
                tl->setCurrentLayerHdl(myLayerHdl);
            } else if (mods & Qt::ControlModifier) {
                M_TRACE("Toggle Layer Selection\n");
                if (!selection->isSelectedTest(myLayerHdl)) {
                    selection->addToSelection(myLayerHdl);
                    tl->setCurrentLayerHdl(myLayerHdl);
                } else {
                    selection->removeFromSelection(myLayerHdl);
                }
            } else if (!selection->isSelectedTest(myLayerHdl)) {
                M_TRACE("Select Layer");
                selection->setSelection(myLayerHdl);
                tl->setCurrentLayerHdl(myLayerHdl);
            }
        }
        requestRefresh();
        update();
        event->accept();
    }
    closeLayerEditor();
}

void pHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (myIgnoreRelease) {
        myIgnoreRelease = false;
        event->accept();
        return;
    }
    if (myTitleEditor) {
        labelEditorReturnPressed();
        return;
    }
    raiseDirt(DirtLayerHeaderClicked);
    requestRefresh();
    event->accept();
}

void pHeader::mouseDoubleClickEvent(QMouseEvent* event)
{
    mLayer* l = getLayer();
    if (!l) {
        event->ignore();
        return;
    }
    if (!myTitleFont)
        reskin();
    QSizeF const size = QFontMetricsF(*myTitleFont).size(0, uiText::fromModel(l->getTitle()));
    QRect const titleRect(2, 2, int(size.width()), int(size.height()));
    QPoint const at = event->position().toPoint();
    M_TRACE("Text Rect( %i, %i, %i, %i ), pos %i %i\n", 2, 2, width() - 4, 20, at.x(), at.y());
    event->accept();
    if (titleRect.contains(at)) {
        showEditTitle();
        // The release that completes this double click would commit the title at once.
        myIgnoreRelease = myTitleEditor != nullptr;
        return;
    }
    M_TRACE("Not in label\n");
    showEditLayer();
    requestRefresh();
}

void pHeader::showEditTitle()
{
    mLayer* l = getLayer();
    if (myTitleEditor || !l)
        return;
    if (!myTitleFont)
        reskin();
    myTitleEditor = new QLineEdit(this);
    myTitleEditor->setFont(*myTitleFont);
    myTitleEditor->setText(uiText::fromModel(l->getTitle()));
    myTitleEditor->setGeometry(2, 2, width() - 4, 20);
    myTitleEditor->show();
    myTitleEditor->setFocus();
    // Return and the loss of the keyboard both commit.
    connect(myTitleEditor, &QLineEdit::editingFinished, this, &pHeader::labelEditorReturnPressed);
}

void pHeader::showEditLayer()
{
    if (ObSelection* selection = getSelectionEngine()) {
        selection->clearSelection();
        selection->setSelection(myLayerHdl);
    }
    tlUi* ui = getUi();
    if (!getLayer() || !ui)
        return;
    QPoint const topLeft = mapToGlobal(QPoint(0, 0));
    QPoint const size = mapToGlobal(QPoint(width(), height())) - topLeft;
    // Asked again for the layer whose editor is open, the request closes it.
    if (!ui->closeEditorOf(myLayerHdl))
        ui->showEditLayer(myLayerHdl, topLeft.x(), topLeft.y(), size.x(), size.y(), "Edit Layer");
}

bool pHeader::event(QEvent* event)
{
    return (myTitleEditor && uiText::keepEditingKey(focusWidget(), event)) || uiWin::event(event);
}

void pHeader::labelEditorReturnPressed()
{
    if (!myTitleEditor)
        return;
    commitTitle();
    update();
    hideEditor();
}

void pHeader::commitTitle()
{
    if (!myTitleEditor)
        return;
    rtl::str const title = uiText::toModel(myTitleEditor->text());
    mLayer* l = getLayer();
    if (l && std::strcmp(l->getTitle().c(), title.c()) != 0) {
        l->setTitle(title);
        raiseDirt(DirtUserEditedAttrs);
        requestRefresh();
    }
}

void pHeader::hideEditor()
{
    if (!myTitleEditor)
        return;
    // Closing takes the keyboard from the editor, which would commit once more.
    QLineEdit* editor = myTitleEditor;
    myTitleEditor = nullptr;
    myIgnoreRelease = false;
    disconnect(editor, nullptr, this, nullptr);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->close();
}
