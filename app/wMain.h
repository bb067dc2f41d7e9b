#pragma once

#include "ObQtWinDoc.h"
#include "aRefreshable.h"
#include "tlObj.h"
#include "uiMouseTrackingFilter.h"

#include <QPoint>

class QCloseEvent;
class QKeyEvent;
class QMessageBox;
class QMoveEvent;
class QRect;
class QResizeEvent;
class mDoc;
class pTimeline;

// The main window of one document: the application's menu bar across its top and the
// document's timeline pane below it. Its title is the document's name with the modified mark;
// its geometry is stored in the document as the window moves and resizes.
//
// Closing it closes its document: a modified document is asked about first (Save, Don't Save,
// Cancel), and only a document that was saved or given up is closed. The window then goes, and
// the document is deleted once, after the window and its panes are gone.
class wMain : public ObQtWinDoc, public aRefreshable, public tlObj
{
    Q_OBJECT

public:
    // Narrower windows are not kept: the document stores only widths above 200.
    static constexpr int MinWidth = 201;
    // A shorter window would be all menu bar and ruler, with nothing to take hold of; a stored
    // height below it (a file written elsewhere) opens at this height.
    static constexpr int MinHeight = 150;

    explicit wMain(mDoc* doc);
    ~wMain() override;

    mDoc* doc() const;
    pTimeline* panel() const { return myPanel; }

    // The stored geometry (x, y, width, height of the window without its frame) as it can be
    // shown: at least MinWidth by MinHeight, no larger than the screen's free area and moved onto
    // it.
    static QRect placeOnScreen(QRect const& stored);
    // Gives the window the geometry, made to fit the screen. A hidden window is always resized,
    // also when it has that size already, so that its panes are laid out for it; a shown one
    // only takes the new geometry.
    void applyGeometry(QRect const& stored);

    void freeze();
    int getLayerHeaderW() const;
    void setLayerHeaderW(int w);

    void refresh(aRefreshContext* ctx) override;

    // The save question (Save or "Save...", Don't Save, Cancel), window-modal; its answer is
    // carried out by finishClose before this returns the answer's button code.
    int maybeSave();

    // The window's view that its document holds nothing unsaved.
    bool isClean() const { return myClean; }

private Q_SLOTS:
    void finishClose(int sheetValue);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Closes the document in the application, which tells it that it is closing: the pane
    // stops its timers, the registry forgets it, and the window goes with the document
    // released after it.
    void closeDocument();
    // Stores the window's geometry in the document while it is on screen.
    void storeGeometry(bool size);
    // An edit still open in a pop-up editor or in a layer's header, or still waiting for its
    // refresh pass, counts before the window decides whether the document is modified. The
    // pop-up editor closes; a header's title editor stays open, in case the close is cancelled.
    void settleEdits();

    bool myClean = true;
    QMessageBox* mySaveBox = nullptr;
    QPoint myEditorOffset;
    pTimeline* myPanel = nullptr;
    uiMouseTrackingFilter myTrackingFilter;
    // The document was closed through this window, which releases it when it goes.
    bool myDocClosed = false;
};
