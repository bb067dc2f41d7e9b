#pragma once

#include "ref.h"
#include "tlObj.h"

#include <QPainterPath>
#include <QRect>
#include <QWidget>

class QKeyEvent;
class QPaintEvent;
class QResizeEvent;
class QShowEvent;

// Base of the pop-up editors of an event and of a layer: a frameless top-level window shaped like
// a speech balloon, a dark rounded body with a small triangular point (the EditPoint) whose tip
// points at the selected item on the screen. The window is placed, shaped and masked once, when
// it is built; the component's registry opens the editors and closes them, saving them first
// through saveToModel.
//
// Placement works on the virtual desktop of the primary screen: right of the selection, else
// left, else above, else below, else centred without a point.
class wEdit : public QWidget, public tlObj
{
    Q_OBJECT

public:
    // w x h: the content size; (selX, selY, selW, selH): the selected item's rectangle in global
    // screen coordinates.
    wEdit(int w, int h, int selX, int selY, int selW, int selH);
    ~wEdit() override;

    // The content size of both editors.
    static constexpr int ContentW = 275;
    static constexpr int ContentH = 400;

    // How far the EditPoint's tip stands out from the body, and the half-width of its base.
    static constexpr float extDeep = 15.0f;
    static constexpr float extSide = 15.0f;
    // The body's corner radius, and the diameter of its corner arcs.
    static constexpr float halfRound = 17.0f;
    static constexpr float round = halfRound + halfRound;

    // Writes the editor's fields back into its model object.
    virtual void saveToModel();
    // The colour picker reports a new colour (hue, saturation, value, alpha in 0..1).
    virtual void colorChangedCb(float h, float s, float v, float a);
    // Places the editor's widgets in the content rectangle myInset.
    virtual void doLayout();

    // Where a window of content size w x h goes beside the selection. alignH is -1 (EditPoint on
    // the window's left edge), +1 (right edge) or 0; alignV likewise for the top (-1) and bottom
    // (+1) edges; both 0 for a window without a point. dist is where the tip lies along the edge
    // that carries it: from the window's top for a left or right edge, from its left for a top or
    // bottom edge. The window's top stays at least 14 pixels below the screen's top.
    static void pickPopGeom(int w, int h, int selX, int selY, int selW, int selH, int& alignH,
                            int& alignV, int& popX, int& popY, int& dist);
    // The same on a given screen area (global coordinates).
    static void pickPopGeom(QRect const& screen, int w, int h, int selX, int selY, int selW,
                            int selH, int& alignH, int& alignV, int& popX, int& popY, int& dist);
    // The screen area pop-ups are placed on.
    static QRect popScreen();

    // The balloon outline for content size w x h with the point on the aligned edge (none when
    // both aligns are 0), in window coordinates; netW x netH is the window's size. At most one
    // align may be non-zero.
    static rtl::ref<QPainterPath> makePath(int w, int h, int alignH, int alignV, int dist,
                                           int& netW, int& netH);
    // The outlines of a window of w x h, body plus point; clockwise from the top-left corner.
    static rtl::ref<QPainterPath> makePathWithEditPointLeft(int w, int h, int dist);
    static rtl::ref<QPainterPath> makePathWithEditPointRight(int w, int h, int dist);
    static rtl::ref<QPainterPath> makePathWithEditPointTop(int w, int h, int dist);
    static rtl::ref<QPainterPath> makePathWithEditPointBottom(int w, int h, int dist);
    static rtl::ref<QPainterPath> makePathWithNoEditPoint(int w, int h, int dist);

    // Computes myInset, the part of a w x h window that the body covers beside the point (for a
    // window without a point, all but the 15 pixels on the right). A negative w or h stands for
    // the window's current width or height.
    void setInset(int alignH, int alignV, int w, int h);

    QRect getInset() const { return myInset; }
    int getAlignH() const { return myAlignH; }
    int getAlignV() const { return myAlignV; }
    QPainterPath const* getPath() const { return myPath.get(); }

protected:
    // Space closes the open editor (through the registry, which saves it); other keys go on.
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // A frameless window is not raised or given the keyboard by every window manager: the editor
    // asks for both, so that Space reaches it.
    void showEvent(QShowEvent* event) override;
    // The content rectangle follows the window's size, then the editor lays out its widgets.
    void resizeEvent(QResizeEvent* event) override;

    rtl::ref<QPainterPath> myPath;
    QRect myInset;
    int myAlignH = 0;
    int myAlignV = 0;
};
