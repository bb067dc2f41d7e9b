#pragma once

#include "ObQtPanel.h"
#include "aRefreshable.h"
#include "tlObj.h"

#include <list>

class Painter;
class QEvent;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;
class QSplitter;
class QTimer;
class QWheelEvent;
class WidthSpanner;
class mScale;
class pBotLeft;
class pCtrls;
class pGv;
class pHead;
class pHeader;
class pTicks;
class pTopLeft;
class uiMouseWheelFilt;

// The timeline pane: the one widget that shows a document's timeline. The component's registry
// builds it for a window that asks for a "Timeline" panel and numbers it; the pane leaves the
// registry when it is closed for good.
//
// Two columns in a splitter with a one-pixel handle: the layer headers' column (top-left corner,
// the strip of headers, bottom-left corner) and the time column (ruler, graphics view, control
// strip 80 pixels high). The pane places the six panes itself, 100 ms after the last resize or
// splitter move, and then gives the two scales the view's size. Every wheel turn over it ends
// here and zooms or pans one of the scales; the lock-to-now timer keeps the time window on the
// clock. In the refresh pass it rebuilds and restacks the layer headers.
//
// The window that holds the pane calls freeze() once its document is in place, setLayerHeaderW
// to set the header column, and docWillClose() when the document closes.
class pTimeline : public ObQtPanel, public tlObj, public aRefreshable
{
    Q_OBJECT

public:
    // What a wheel turn does, chosen by its modifiers: Control and Alt zoom the time axis, Control
    // alone the rows, Alt alone pans the time axis, neither pans the rows, or the time axis when
    // the turn goes sideways. Shift takes bigger steps; Meta is not looked at.
    enum WheelMode
    {
        WheelZoomTime,
        WheelZoomRows,
        WheelPanTime,
        WheelPanRows
    };
    static WheelMode wheelModeFor(Qt::KeyboardModifiers modifiers, bool sideways = false);
    // The now timer's interval for a time zoom: the milliseconds one pixel of the time axis
    // takes, cut toward zero; 0 (no timer) below a millisecond and beyond an int.
    static int nowTimerInterval(double secondsPerPixel);

    static constexpr int FooterH = 80;
    static constexpr int LayoutDelayMs = 100;

    pTimeline(QWidget* parent, tlCmp* cmp, tlUi* ui);
    ~pTimeline() override;

    void refresh(aRefreshContext* ctx) override;
    // The header strip's background, the skin's panel colour over the painter's area.
    virtual void paintHeader(Painter& painter, pHead* head);
    // One header per layer of the timeline, in stack order, replacing every header there was.
    virtual void relayer();
    // Puts each header beside its layer's band (hidden for a hidden layer), places the layers'
    // items, and makes the scene the size of the view.
    virtual void restackLayerHeaders();
    // Not Qt's close handler: the pane's own, called by whoever closes it. A pane that deletes
    // itself on close leaves its registry.
    virtual void closeEvent(QEvent* event);
    // Not Qt's show handler: tells the views that the timeline's window is on screen.
    virtual void showEvent(QEvent* event);
    virtual int getLayerHeaderW() const;
    // The header column w pixels wide (the rest, less the handle, to the time column), stored in
    // the timeline; the panes follow 100 ms later.
    virtual void setLayerHeaderW(int w);

    // Places the six panes at the pane's size and gives the scales the view's size.
    void doLayout() override;
    // After the window has its document and its geometry: the header column takes the timeline's
    // stored width, and the panes are laid out 100 ms later.
    void freeze();
    // The document is closing: the layout timer and the now timer stop, and neither starts again,
    // so nothing runs against the document once it is gone. The stored lock-to-now flag stays.
    void docWillClose();

    // Every layer title being typed in a header reaches its layer; the editors stay open.
    void commitTitleEdits();

    // The screen rectangle (global pixels) of the selected events, else of the selected layers (a
    // strip one pixel wide at their left edge), for placing a pop-up editor beside it. Selected
    // objects that have no scene item are left out; false, with the four untouched, when nothing
    // selected is left.
    bool getSelectionArea(int& x, int& y, int& w, int& h);

    // Lock to now: the timer restarts for the time one pixel takes while the timeline's flag is
    // set, and is dropped otherwise. Where now crosses a pixel in less than a millisecond, no
    // timer could keep the view on it: the lock turns itself off. start and stop switch the
    // flag and tell the views.
    void reconfigNowTimer();
    void startNowTimer();
    void stopNowTimer();

    QTimer* layoutTimer() const { return myLayoutTimer; }
    QTimer* nowTimer() const { return myNowTimer; }

    tlCmp* myTlCmp;
    tlUi* myTlUi;
    uiMouseWheelFilt* myWheelFilt = nullptr;
    pHead* myHead = nullptr;
    pGv* myGv = nullptr;
    QTimer* myLayoutTimer = nullptr;
    QTimer* myNowTimer = nullptr;
    int myRightW = 0;
    int myLayerHeaderW = 0;
    // In the timeline's layer order; the strip owns them.
    std::list<pHeader*> myHeaders;
    pTicks* myTicks = nullptr;
    pTopLeft* myTopLeft = nullptr;
    pBotLeft* myBotLeft = nullptr;
    pCtrls* myCtrls = nullptr;
    QSplitter* mySplitter = nullptr;
    WidthSpanner* myLeftCol = nullptr;
    WidthSpanner* myRightCol = nullptr;

public Q_SLOTS:
    void sceneSelectionChangedCb();
    void splitterMovedCb(int pos, int index);
    void layoutTimerCb();
    void nowTimerCb();
    void verticalScrollbarMovedCb(int value);

protected:
    using ObQtPanel::closeEvent;
    using ObQtPanel::showEvent;
    // Presses that no pane took: the scene under the pointer goes to the debug log.
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Drags over the splitter's grip where it reaches over the view go on to the view.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    mScale* timeScale() const;
    mScale* rowScale() const;
    // Reads the splitter's two sizes and stores the header width in the timeline.
    void readSplitter();
    // Restarts the layout timer at its full delay (not once the document is closing).
    void restartLayoutTimer();
    // The time axis' pixel to zoom around: the time selection's (middle), else the pointer's.
    double timeZoomPixel(QWheelEvent const& event) const;
    // The row scale's value to zoom around: the selected layers' middle, else the top or the
    // bottom of the stack when only that is in view, else the middle of the view.
    double rowZoomValue() const;
    void dirtAndRefresh(uint32_t id);
    // While locked to now: the view centred on now at the zoom it has, told to the views.
    void followNow();
    // A scale's length along the view; a view collapsed to nothing leaves the scale as it was.
    static void fitScale(mScale& scale, int size, bool announce);

    bool myDocClosing = false;
    bool myFrozen = false;
};
