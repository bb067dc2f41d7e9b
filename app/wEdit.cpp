#include "wEdit.h"

#include "aAssert.h"
#include "mTrace.h"
#include "tlUi.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {

// Between the selection and the EditPoint's tip.
constexpr int ourGap = 5;
// The window's top never lies above this, on the screen.
constexpr int ourMinTop = 14;
// The tip stays this far from the ends of its edge, clear of the corner arcs.
constexpr float ourTipInset = wEdit::halfRound + wEdit::extSide;

enum class Edge { None, Left, Right, Top, Bottom };

// The body's rounded rectangle, clockwise from the top-left corner, with the EditPoint's three
// points on the given edge. The path stays open; filling closes it.
rtl::ref<QPainterPath> balloon(QRectF const& body, Edge edge, QPointF const (&point)[3])
{
    qreal const r = wEdit::halfRound;
    qreal const d = wEdit::round;
    rtl::ref<QPainterPath> path(new QPainterPath);
    QPainterPath& p = *path.get();
    auto pointOn = [&](Edge here) {
        if (edge == here)
            for (QPointF const& at : point)
                p.lineTo(at);
    };
    p.moveTo(body.left(), body.top() + r);
    p.arcTo(QRectF(body.left(), body.top(), d, d), 180, -90);
    pointOn(Edge::Top);
    p.arcTo(QRectF(body.right() - d, body.top(), d, d), 90, -90);
    pointOn(Edge::Right);
    p.arcTo(QRectF(body.right() - d, body.bottom() - d, d, d), 0, -90);
    pointOn(Edge::Bottom);
    p.arcTo(QRectF(body.left(), body.bottom() - d, d, d), 270, -90);
    pointOn(Edge::Left);
    return path;
}

// Where the tip lies along an edge of the given length: never closer to its ends than the
// corners allow.
int clampTip(int dist, int length)
{
    if (ourTipInset > dist)
        return int(ourTipInset);
    if (dist > length - ourTipInset)
        return int(float(length) - ourTipInset);
    return dist;
}

} // namespace

wEdit::wEdit(int w, int h, int selX, int selY, int selW, int selH) : QWidget(nullptr)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    int alignH, alignV, popX, popY, dist;
    pickPopGeom(w, h, selX, selY, selW, selH, alignH, alignV, popX, popY, dist);
    int netW, netH;
    rtl::ref<QPainterPath> pp = makePath(w, h, alignH, alignV, dist, netW, netH);
    A_ASSERT(pp.get());
    myPath = pp;
    M_TRACE("W %i, netW %i, H %i, netH %i\n", w, netW, h, netH);
    myAlignH = alignH;
    myAlignV = alignV;

    QPixmap shape(netW, netH);
    shape.fill(QColor(0, 0, 0, 0));
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(QColor(255, 255, 255, 255));
        painter.setPen(Qt::NoPen);
        painter.drawPath(*myPath.get());
    }
    setGeometry(popX, popY, netW, netH);
    setInset(alignH, alignV, netW, netH);
    setMask(shape.mask());
}

wEdit::~wEdit() = default;

void wEdit::saveToModel()
{
}

void wEdit::colorChangedCb(float, float, float, float)
{
}

void wEdit::doLayout()
{
}

QRect wEdit::popScreen()
{
    QScreen const* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect();
}

void wEdit::pickPopGeom(int w, int h, int selX, int selY, int selW, int selH, int& alignH,
                        int& alignV, int& popX, int& popY, int& dist)
{
    pickPopGeom(popScreen(), w, h, selX, selY, selW, selH, alignH, alignV, popX, popY, dist);
}

void wEdit::pickPopGeom(QRect const& screen, int w, int h, int selX, int selY, int selW,
                        int selH, int& alignH, int& alignV, int& popX, int& popY, int& dist)
{
    // The screen's edges; a desktop whose primary screen is not at the origin keeps the same
    // margins from its own edges.
    int const scrL = screen.x();
    int const scrT = screen.y();
    int const scrR = screen.x() + screen.width();
    int const scrB = screen.y() + screen.height();

    bool const fitsLeft = float(selX - ourGap - w) - extDeep > scrL;
    bool const fitsRight = scrR > float(selX + selW + ourGap + w) + extDeep;
    bool const fitsTop = float(selY - ourGap - h) - extDeep > scrT;
    bool const fitsBottom = scrB > float(selY + selH + ourGap + h) + extDeep;
    M_TRACE("PTR FITS ON: %s %s %s %s\n", fitsLeft ? "L" : "", fitsRight ? "R" : "",
            fitsTop ? "T" : "", fitsBottom ? "B" : "");

    if (fitsLeft || fitsRight) {
        alignV = 0;
        // A tip 32 pixels below the window's top lies level with the selection's middle.
        int const wanted = int(float(selY + selH / 2) - halfRound - extSide);
        int top = wanted;
        if (top < scrT + ourMinTop)
            top = scrT + ourMinTop;
        if (top + h > scrB)
            top = scrB - h;
        // How far the window moved from where it wanted to be; the tip moves back by as much.
        int const delta = top - wanted;
        if (fitsRight) {
            alignH = -1;
            popX = selX + selW + ourGap;
        } else {
            alignH = +1;
            popX = int(float(selX - ourGap) - extDeep - float(w));
        }
        popY = top;
        dist = int(halfRound + extSide - float(delta));
        M_TRACE("Delta = %i, dist= %i, popY = %i, \n", delta, dist, popY);
        dist = clampTip(dist, h);
    } else if (fitsTop || fitsBottom) {
        alignH = 0;
        int const wanted = (selX + selW / 2) - w / 2;
        int left = wanted;
        if (left < scrL)
            left = scrL;
        if (left + w > scrR)
            left = scrR - w;
        int const delta = left - wanted;
        if (fitsTop) {
            alignV = +1;
            popY = int(float(selY - ourGap) - extDeep - float(h));
        } else {
            alignV = -1;
            popY = selY + selH + ourGap;
        }
        popX = left;
        dist = clampTip(w / 2 - delta, w);
    } else {
        alignH = alignV = 0;
        popX = scrL + screen.width() / 2 - w / 2;
        popY = scrT + screen.height() / 2 - h / 2;
        dist = 0;
    }
}

rtl::ref<QPainterPath> wEdit::makePath(int w, int h, int alignH, int alignV, int dist,
                                       int& netW, int& netH)
{
    M_TRACE("AlignH %i, AlignV %i\n", alignH, alignV);
    if (alignV != 0)
        A_ASSERT(alignH == 0);
    int const deep = int(extDeep);
    netW = alignH != 0 ? w + deep : w;
    netH = alignV != 0 ? h + deep : h;
    if (alignH < 0)
        return makePathWithEditPointLeft(netW, netH, dist);
    if (alignH > 0)
        return makePathWithEditPointRight(netW, netH, dist);
    if (alignV < 0)
        return makePathWithEditPointTop(netW, netH, dist);
    if (alignV > 0)
        return makePathWithEditPointBottom(netW, netH, dist);
    return makePathWithNoEditPoint(netW, netH, dist);
}

rtl::ref<QPainterPath> wEdit::makePathWithEditPointLeft(int w, int h, int dist)
{
    qreal const body = extDeep;
    return balloon(QRectF(QPointF(body, 0), QPointF(w, h)), Edge::Left,
                   {{body, dist + extSide}, {0, qreal(dist)}, {body, dist - extSide}});
}

rtl::ref<QPainterPath> wEdit::makePathWithEditPointRight(int w, int h, int dist)
{
    qreal const body = w - extDeep;
    return balloon(QRectF(QPointF(0, 0), QPointF(body, h)), Edge::Right,
                   {{body, dist - extSide}, {qreal(w), qreal(dist)}, {body, dist + extSide}});
}

rtl::ref<QPainterPath> wEdit::makePathWithEditPointTop(int w, int h, int dist)
{
    qreal const body = extDeep;
    return balloon(QRectF(QPointF(0, body), QPointF(w, h)), Edge::Top,
                   {{dist - extSide, body}, {qreal(dist), 0}, {dist + extSide, body}});
}

rtl::ref<QPainterPath> wEdit::makePathWithEditPointBottom(int w, int h, int dist)
{
    qreal const body = h - extDeep;
    return balloon(QRectF(QPointF(0, 0), QPointF(w, body)), Edge::Bottom,
                   {{dist + extSide, body}, {qreal(dist), qreal(h)}, {dist - extSide, body}});
}

// Without a point the body fills the window; the content rectangle is its left part.
rtl::ref<QPainterPath> wEdit::makePathWithNoEditPoint(int w, int h, int)
{
    return balloon(QRectF(0, 0, w, h), Edge::None, {{}, {}, {}});
}

void wEdit::setInset(int alignH, int alignV, int w, int h)
{
    if (alignV != 0)
        A_ASSERT(alignH == 0);
    if (w < 0)
        w = width();
    if (h < 0)
        h = height();
    int const deep = int(extDeep);
    if (alignV == 0)
        myInset = QRect(alignH < 0 ? deep : 0, 0, w - deep, h);
    else
        myInset = QRect(0, alignV < 0 ? deep : 0, w, h - deep);
}

void wEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (tlUi* ui = getUi())
            ui->clearEditor();
        event->accept();
        return;
    }
    M_TRACE("wEdit::key pressed: %i\n", event->key());
    event->ignore();
}

void wEdit::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0.0, QColor(60, 60, 60, 255));
    fill.setColorAt(1.0, QColor(20, 20, 20, 255));
    painter.setBrush(fill);
    // Half the pen's width in from every edge, so that the whole border shows.
    qreal const halfPen = 0.75;
    painter.translate(halfPen, halfPen);
    painter.scale((width() - halfPen) / width(), (height() - halfPen) / height());
    painter.setPen(QPen(QBrush(QColor(150, 150, 150, 255)), 1.5, Qt::SolidLine, Qt::SquareCap,
                        Qt::BevelJoin));
    painter.drawPath(*myPath.get());
}

void wEdit::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    raise();
    activateWindow();
}

void wEdit::resizeEvent(QResizeEvent*)
{
    setInset(myAlignH, myAlignV, width(), height());
    doLayout();
}
