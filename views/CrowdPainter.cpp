#include "CrowdPainter.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "PainterQt.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mRowIndex.h"
#include "mScale.h"
#include "mTimeline.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <vector>

namespace {

// Columns at each end of a span's box that show its edges (its lit and shaded lines, the
// selection's outline); those between them are alike.
constexpr int Edges = 3;

// What the picture of a narrow event depends on: its colours, its selection, its kind, the
// picture's width (the event's own up to Edges * 2 + 1; a marker's width for an instant) and the
// row's height.
struct Look
{
    int fill[4];
    int line[4];
    bool selected;
    bool instant;
    int width;
    double height;
    CrowdPainter::Kind kind;

    bool operator==(Look const& o) const
    {
        return std::equal(fill, fill + 4, o.fill) && std::equal(line, line + 4, o.line) &&
               selected == o.selected && instant == o.instant && width == o.width &&
               height == o.height && kind == o.kind;
    }
};

struct LookHash
{
    std::size_t operator()(Look const& k) const
    {
        std::size_t h = std::hash<double>()(k.height);
        for (int v : k.fill)
            h = h * 31 + std::size_t(v);
        for (int v : k.line)
            h = h * 31 + std::size_t(v);
        return h * 31 + std::size_t(k.width * 16 + int(k.kind) * 4 + k.selected * 2 + k.instant);
    }
};

// Looks are few (a layer's colours, selected or not, a row height or two): past this many the
// kept pictures start again, between two paints.
constexpr std::size_t MaxLooks = 512;

// The pictures of the looks, kept for the run; and the last few asked for in a paint, found from
// what the colours are worked out from, without working them out.
class Looks
{
public:
    void startPaint()
    {
        if (myKept.size() >= MaxLooks)
            myKept.clear();
        for (Recent& r : myRecent)
            r.picture = nullptr;
    }
    // The entry's event drawn as its item draws it, width wide and the row's height high. The
    // entries asked for in one paint are of one layer's index, whose look numbers they carry.
    QImage const& of(mRowIndex::Entry const& e, bool selected, int width, double height,
                     CrowdPainter::Kind kind)
    {
        Recent key {e.look, selected, width, height, kind, nullptr};
        for (Recent const& r : myRecent)
            if (r.picture && r.same(key))
                return *r.picture;
        key.picture = &kept(*e.ev, selected, width, height, kind);
        myRecent[myNext++ % myRecent.size()] = key;
        return *key.picture;
    }

private:
    struct Recent
    {
        std::uint32_t look = 0;
        bool selected = false;
        int width = 0;
        double height = 0;
        CrowdPainter::Kind kind = CrowdPainter::Kind::Item;
        QImage const* picture = nullptr;
        bool same(Recent const& o) const
        {
            return look == o.look && selected == o.selected && width == o.width &&
                   height == o.height && kind == o.kind;
        }
    };

    QImage const& kept(mEvent const& ev, bool selected, int width, double height,
                       CrowdPainter::Kind kind)
    {
        Look key {};
        ev.calcBgColor(key.fill[0], key.fill[1], key.fill[2], key.fill[3]);
        ev.calcLineColor(key.line[0], key.line[1], key.line[2], key.line[3]);
        // A mark is drawn in the event's own fill, whatever its colour style.
        if (kind == CrowdPainter::Kind::Mark)
            ev.getColor(key.fill[0], key.fill[1], key.fill[2], key.fill[3]);
        key.selected = selected;
        key.instant = ev.getIsImpulse();
        key.width = width;
        key.height = height;
        key.kind = kind;
        if (auto found = myKept.find(key); found != myKept.end())
            return found->second;
        QImage picture(width, std::max(1, int(height)), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        if (kind == CrowdPainter::Kind::Mark) {
            // A row still to be made: a line in the event's own fill, white at its ends.
            for (int x = 0; x < width; ++x)
                picture.setPixelColor(x, 0,
                                      x < 2 || x >= width - 2
                                          ? QColor(255, 255, 255)
                                          : QColor(key.fill[0], key.fill[1], key.fill[2]));
        } else {
            QPainter qp(&picture);
            PainterQt::FreshState fresh(qp, QPoint(0, 0), picture.size());
            PainterQt p(qp);
            p.set2dGeometry(0, 0, float(width), float(height));
            // A ghost is drawn as the guide draws one: half as opaque, outlined in white.
            if (kind == CrowdPainter::Kind::Ghost)
                ev.draw(p, 1.0, true, 2.0f, 0.5f, true, 255, 255, 255);
            else
                ev.draw(p, p.getLod(), selected, 2.0f, 1.0f, true, 255, 255, 255);
        }
        return myKept.emplace(key, std::move(picture)).first->second;
    }

    std::unordered_map<Look, QImage, LookHash> myKept;
    std::array<Recent, 32> myRecent;
    std::size_t myNext = 0;
};

// x * a / 255 on each channel of a premultiplied pixel, rounded as Qt rounds it.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

// The picture of a band's crowded rows being laid: premultiplied pixels, laid over one another as
// a painter lays them.
class BandPicture
{
public:
    void start(int w, int h)
    {
        if (myImage.width() < w || myImage.height() < h)
            myImage = QImage(std::max(w, myImage.width()), std::max(h, myImage.height()),
                             QImage::Format_ARGB32_Premultiplied);
        myW = w;
        myH = h;
        for (int y = 0; y < h; ++y)
            std::memset(myImage.scanLine(y), 0, std::size_t(w) * 4);
        myBits = myImage.bits();
        myStride = myImage.bytesPerLine();
    }
    // Columns [sx, sx + n) of the picture over columns from x of the band, from its row y.
    void lay(int x, int y, QImage const& picture, int sx, int n)
    {
        if (x < 0) {
            sx -= x, n += x;
            x = 0;
        }
        n = std::min(n, myW - x);
        int const h = std::min(myH - y, picture.height());
        if (n <= 0 || y < 0)
            return;
        for (int row = 0; row < h; ++row) {
            auto const* from =
                reinterpret_cast<std::uint32_t const*>(picture.constScanLine(row)) + sx;
            auto* to =
                reinterpret_cast<std::uint32_t*>(myBits + std::ptrdiff_t(y + row) * myStride) + x;
            for (int i = 0; i < n; ++i) {
                std::uint32_t const src = from[i], a = src >> 24;
                if (a == 255)
                    to[i] = src;
                else if (a != 0)
                    to[i] = src + byteMul(to[i], 255 - a);
            }
        }
    }
    void drawAt(QPainter& painter, QPoint at) const
    {
        painter.drawImage(at, myImage, QRect(0, 0, myW, myH));
    }
    // A copy of what was laid.
    QImage image(int w, int h) const { return myImage.copy(0, 0, w, h); }

private:
    QImage myImage;
    uchar* myBits = nullptr;
    qsizetype myStride = 0;
    int myW = 0;
    int myH = 0;
};

// What prepare worked out for a row, for columns [c0, c1) of the scale as it stood.
struct Prepared
{
    int c0 = 0, c1 = 0;
    std::vector<mRowIndex::Row::Run> runs;
    std::vector<mRowIndex::Row::Marker> markers;
};
struct PreparedRows
{
    // The scale's mapping when they were worked out: a paint takes them only for the same.
    double at[4] = {0, 0, 0, 0};
    std::unordered_map<mRowIndex::Row const*, Prepared> rows;
};
PreparedRows& prepared()
{
    static PreparedRows ours;
    return ours;
}
void mappingOf(mScale const& ts, double (&at)[4])
{
    at[0] = ts.getVisStart().asSeconds();
    at[1] = ts.getVisEnd().asSeconds();
    at[2] = ts.getParentPos();
    at[3] = ts.getParentSize();
}

// Lays a row's runs and markers on the picture at its row y: each run from the picture of its
// event's look, as the event is up to Edges * 2 + 1 wide, else its edges' columns and an inside
// one between them; a run handed to whole (when given) is left to it. Columns c of the row are
// laid at column c + shift - c0 of the picture.
template <class Selected, class Whole>
void layRow(BandPicture& picture, Looks& looks, mRowIndex::Row const& row, mScale const& ts, int c0,
            int c1, int shift, int y, double h, CrowdPainter::Kind kind, Selected&& selected,
            Whole&& whole)
{
    static std::vector<mRowIndex::Row::Run> ownRuns;
    static std::vector<mRowIndex::Row::Marker> ownMarkers;
    std::vector<mRowIndex::Row::Run>* runs = &ownRuns;
    std::vector<mRowIndex::Row::Marker>* markers = &ownMarkers;
    // Worked out already for this paint, or now.
    PreparedRows& ready = prepared();
    double at[4];
    mappingOf(ts, at);
    auto const found = shift == 0 ? ready.rows.find(&row) : ready.rows.end();
    if (found != ready.rows.end() && found->second.c0 == c0 && found->second.c1 == c1 &&
        std::equal(at, at + 4, ready.at)) {
        runs = &found->second.runs;
        markers = &found->second.markers;
    } else {
        row.spanRuns(ts, c0 - shift, c1 - shift, ownRuns);
        if (kind != CrowdPainter::Kind::Mark)
            row.instantsShown(ts, c0 - shift, c1 - shift, ownMarkers);
    }
    // Runs side by side are mostly of one look: the last one is kept at hand.
    QImage const* last = nullptr;
    std::uint32_t lastLook = 0;
    bool lastChosen = false;
    int lastWidth = 0;
    for (mRowIndex::Row::Run const& run : *runs) {
        bool const chosen = selected(*run.entry);
        if (whole(run, chosen))
            continue;
        int const w = int(run.width), width = std::min(w, 2 * Edges + 1);
        if (!last || run.entry->look != lastLook || chosen != lastChosen || width != lastWidth) {
            last = &looks.of(*run.entry, chosen, width, h, kind);
            lastLook = run.entry->look, lastChosen = chosen, lastWidth = width;
        }
        QImage const& look = *last;
        for (int c = run.from; c < run.to; ++c) {
            int const i = c - int(run.first);
            int const column = w == width       ? i
                               : i < Edges      ? i
                               : i >= w - Edges ? width - (w - i)
                                                : Edges;
            picture.lay(c + shift - c0, y, look, column, 1);
        }
    }
    if (kind == CrowdPainter::Kind::Mark)
        return;
    int const marker = int(2 * tlObj::ImpulseHalfWidth);
    for (mRowIndex::Row::Marker const& m : *markers) {
        QImage const& look = looks.of(*m.entry, selected(*m.entry), marker, h, kind);
        picture.lay(qRound(m.left) + shift - c0, y, look, 0, marker);
    }
}

} // namespace

namespace {

// The crowded rows of a layer in its exposed part, each with where it lies in the layer's item.
struct Shown
{
    mRowIndex::Row const* row;
    double top;
    double h;
    bool operator==(Shown const&) const = default;
};

std::vector<Shown> shownRows(mLayer& layer, QRectF const& exposed)
{
    std::vector<Shown> shown;
    double const sceneY = layer.getSceneY();
    for (auto& [key, row] : layer.rowIndex().rows()) {
        if (!row.crowded)
            continue;
        double y = 0, h = 0;
        layer.sceneRowSpan(key.row, key.size, y, h);
        // An item's picture is its box cut to whole pixels: none for a row under one.
        double const top = y - sceneY;
        if (int(h) > 0 && top + int(h) > exposed.top() && top < exposed.bottom())
            shown.push_back({&row, top, h});
    }
    return shown;
}

// What a layer's crowded rows were last drawn from, and what was drawn: the picture laid over
// the band, and the events drawn whole before it. The band is painted again far more often than
// its crowded rows change (the ruler's, the guide's, the view's own repaints).
struct Drawn
{
    struct Key
    {
        std::uint64_t index = 0, selection = 0;
        double mapping[4] = {0, 0, 0, 0};
        double dx = 0, dy = 0;
        int c0 = 0, c1 = 0;
        std::array<int, 8> colours {};
        std::vector<Shown> shown;
        bool operator==(Key const&) const = default;
    };
    struct Whole
    {
        mEvent const* ev;
        int from, to;
        double first, width, top, h;
        bool chosen;
    };
    Key key;
    QImage picture;
    QPoint at;
    std::vector<Whole> wholes;
};

std::unordered_map<mLayer const*, Drawn>& drawnLayers()
{
    static std::unordered_map<mLayer const*, Drawn> ours;
    return ours;
}

// The pixel columns [c0, c1) of the layer's band that an area of the scene (or of the band's
// item) covers.
void columnsOf(QRectF const& area, mLayer const& layer, int& c0, int& c1)
{
    c0 = std::max(0, int(std::floor(area.left())));
    c1 = std::min(int(std::ceil(area.right())), int(std::ceil(layer.getSceneW())));
}

Drawn::Key keyOf(mLayer& layer, mScale const& ts, int c0, int c1, std::vector<Shown> shown)
{
    Drawn::Key key;
    key.index = layer.rowIndex().stamp();
    ObSelection const* selection = layer.getSelectionEngine();
    key.selection = selection ? selection->changes() : 0;
    mappingOf(ts, key.mapping);
    key.c0 = c0, key.c1 = c1;
    key.colours = {layer.getBgColorR(),   layer.getBgColorG(),   layer.getBgColorB(),
                   layer.getBgColorA(),   layer.getLineColorR(), layer.getLineColorG(),
                   layer.getLineColorB(), layer.getLineColorA()};
    key.shown = std::move(shown);
    return key;
}

void drawWhole(QPainter& painter, QStyleOptionGraphicsItem const* option, Drawn::Whole const& w)
{
    int const ih = int(w.h);
    painter.save();
    painter.translate(w.first, w.top);
    {
        PainterQt::FreshState fresh(painter, QPoint(0, 0), QSize(int(w.width), ih));
        painter.setClipRect(QRect(w.from - int(w.first), 0, w.to - w.from, ih), Qt::IntersectClip);
        PainterQt p(painter, option);
        p.set2dGeometry(0, 0, float(w.width), float(w.h));
        w.ev->draw(p, p.getLod(), w.chosen, 2.0f, 1.0f, true, 255, 255, 255);
    }
    painter.restore();
}

} // namespace

void CrowdPainter::paint(QPainter& painter, QStyleOptionGraphicsItem const* option, mLayer& layer,
                         QRectF const& exposed)
{
    mScale const* ts = layer.getTimelineTimeScale();
    QTransform const toDevice = painter.combinedTransform();
    // The view shows its scene one unit a pixel: only moves are placed as the items place them.
    if (!ts || toDevice.type() > QTransform::TxTranslate)
        return;
    int c0 = 0, c1 = 0;
    columnsOf(exposed, layer, c0, c1);
    if (c0 >= c1)
        return;
    Drawn& drawn = drawnLayers()[&layer];
    Drawn::Key key = keyOf(layer, *ts, c0, c1, shownRows(layer, exposed));
    key.dx = toDevice.dx(), key.dy = toDevice.dy();
    if (key.shown.empty())
        return;
    if (!(key == drawn.key)) {
        drawn.key = std::move(key);
        drawn.wholes.clear();
        // Items are laid at the device pixel nearest their corner.
        auto deviceY = [&](double y) { return qRound(toDevice.dy() + y); };
        int yMin = deviceY(drawn.key.shown.front().top), yMax = yMin;
        for (Shown const& row : drawn.key.shown) {
            yMin = std::min(yMin, deviceY(row.top));
            yMax = std::max(yMax, deviceY(row.top) + int(row.h));
        }
        ObSelection* selection = layer.getSelectionEngine();
        Obt const* events = tlObj::ourType_mEvent;
        auto selected = [selection, events](mRowIndex::Entry const& e) {
            return selection && selection->isSelectedSlot(events, e.slot);
        };
        static BandPicture picture;
        static Looks looks;
        looks.startPaint();
        picture.start(c1 - c0, yMax - yMin);
        for (Shown const& row : drawn.key.shown) {
            // An event wide enough for its title is drawn by its own drawing, cut to where it
            // shows.
            auto whole = [&](mRowIndex::Row::Run const& run, bool chosen) {
                if (run.width < TitleWidth || int(row.h) < TitleHeight)
                    return false;
                drawn.wholes.push_back({run.entry->ev, run.from, run.to, run.first, run.width,
                                        row.top, row.h, chosen});
                return true;
            };
            layRow(picture, looks, *row.row, *ts, c0, c1, 0, deviceY(row.top) - yMin, row.h,
                   Kind::Item, selected, whole);
        }
        drawn.picture = picture.image(c1 - c0, yMax - yMin);
        drawn.at = QPoint(qRound(toDevice.dx() + c0), yMin);
    }
    for (Drawn::Whole const& w : drawn.wholes)
        drawWhole(painter, option, w);
    painter.save();
    painter.resetTransform();
    painter.drawImage(drawn.at, drawn.picture);
    painter.restore();
}

void CrowdPainter::prepare(mTimeline& timeline, QRectF const& area)
{
    PreparedRows& ready = prepared();
    ready.rows.clear();
    mScale const* ts = timeline.timeScale();
    if (!ts)
        return;
    // The mapping made up to date here: the threads only read it.
    [[maybe_unused]] mScale::Pixels const settled(*ts);
    mappingOf(*ts, ready.at);
    struct Job
    {
        mRowIndex::Row const* row;
        Prepared* out;
    };
    std::vector<Job> jobs;
    // Only the layers in view keep what they drew.
    auto& drawn = drawnLayers();
    std::unordered_map<mLayer const*, Drawn> kept;
    for (Obh const& lh : timeline.getLayerHdls()) {
        mLayer* layer = tlObj::layerOf(lh);
        if (!layer || !layer->giInSceneTest() || layer->getSceneY() >= area.bottom() ||
            layer->getSceneY() + layer->getSceneH() <= area.top())
            continue;
        if (auto const last = drawn.find(layer); last != drawn.end())
            kept.insert(drawn.extract(last));
        int c0 = 0, c1 = 0;
        columnsOf(area, *layer, c0, c1);
        QRectF const exposed = area.translated(0, -layer->getSceneY());
        Drawn::Key key = keyOf(*layer, *ts, c0, c1, shownRows(*layer, exposed));
        // A layer drawn from the same as last time is laid again as it was.
        if (auto const last = kept.find(layer); last != kept.end()) {
            key.dx = last->second.key.dx, key.dy = last->second.key.dy;
            if (key == last->second.key)
                continue;
        }
        for (Shown const& row : key.shown) {
            Prepared& out = ready.rows[row.row];
            out.c0 = c0, out.c1 = c1;
            jobs.push_back({row.row, &out});
        }
    }
    drawn = std::move(kept);
    // A few rows are not worth the threads.
    if (jobs.size() < 16) {
        ready.rows.clear();
        return;
    }
    QtConcurrent::blockingMap(jobs, [ts](Job& job) {
        job.row->spanRuns(*ts, job.out->c0, job.out->c1, job.out->runs);
        job.row->instantsShown(*ts, job.out->c0, job.out->c1, job.out->markers);
    });
}

void CrowdPainter::forgetPrepared()
{
    prepared().rows.clear();
}

void CrowdPainter::paintGhosts(QPainter& painter, mRowIndex& ghosts,
                               std::vector<GhostRow> const& rows, double dx, mScale const& ts,
                               QRectF const& area)
{
    QTransform const toDevice = painter.combinedTransform();
    if (toDevice.type() > QTransform::TxTranslate || rows.empty())
        return;
    int const c0 = std::max(0, int(std::floor(area.left()))), c1 = int(std::ceil(area.right()));
    int const shift = qRound(dx);
    auto& index = ghosts.rows();
    static BandPicture picture;
    static Looks looks;
    looks.startPaint();
    for (GhostRow const& ghost : rows) {
        auto const found = index.find(mRowIndex::Key {double(ghost.dsri), 1.0});
        int const ih = std::max(1, int(ghost.h));
        if (found == index.end() || ghost.y + ih <= area.top() || ghost.y >= area.bottom() ||
            c0 >= c1)
            continue;
        picture.start(c1 - c0, ih);
        layRow(
            picture, looks, found->second, ts, c0, c1, shift, 0, ghost.inRow ? ghost.h : 1.0,
            ghost.inRow ? Kind::Ghost : Kind::Mark, [](mRowIndex::Entry const&) { return true; },
            [](mRowIndex::Row::Run const&, bool) { return false; });
        painter.save();
        painter.resetTransform();
        picture.drawAt(painter,
                       QPoint(qRound(toDevice.dx() + c0), qRound(toDevice.dy() + ghost.y)));
        painter.restore();
    }
}
