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
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

// Columns at each end of a span's box that show its edges (its lit and shaded lines, the
// selection's outline); those between them are alike.
constexpr int Edges = 3;

// Wider than this, an event's picture is put together from the ends of pictures of this width
// (or a few columns wider) and a column between them.
constexpr int Narrow = 2 * Edges + 1;

// How a band's units land on the device painted: at x * by + dx, y * by + dy, where by is the
// device's pixel ratio (dx whole at a ratio of 1). An item's corner lands on the device pixel
// nearest it, its box reaches its size in device pixels, rounded, from there.
struct Device
{
    double by = 1.0, dx = 0.0, dy = 0.0;

    int x(double u) const { return qRound(u * by + dx); }
    int y(double u) const { return qRound(u * by + dy); }
    int size(double u) const { return qRound(u * by); }
    bool scaled() const { return by != 1.0; }
    bool operator==(Device const&) const = default;
};

// The device of a painter whose transformation is a move, or a move and the device's pixel ratio
// (as the items' own drawing takes it: see PainterQt::FreshState); false for any other.
bool deviceOf(QPainter const& painter, Device& device)
{
    QTransform const toDevice = painter.combinedTransform();
    if (toDevice.type() <= QTransform::TxTranslate) {
        device = {1.0, double(qRound(toDevice.dx())), toDevice.dy()};
        return true;
    }
    if (toDevice.type() != QTransform::TxScale || toDevice.m11() != toDevice.m22() ||
        !(toDevice.m11() > 0) || painter.worldTransform().type() > QTransform::TxTranslate ||
        painter.viewTransformEnabled())
        return false;
    device = {toDevice.m11(), toDevice.dx(), toDevice.dy()};
    return true;
}

// Lays device pixels (part of a picture) on the painter's device as they are, from the device
// pixel at.
void drawOnDevice(QPainter& painter, Device const& device, QPoint at, QImage const& picture,
                  QRect const& part)
{
    painter.save();
    painter.setWorldTransform(QTransform::fromScale(1 / device.by, 1 / device.by));
    painter.drawImage(at, picture, part);
    painter.restore();
}

// The device rows [from, to) of an item's picture that a look's picture holds: a tall row's are
// drawn and kept a stretch at a time, the whole blocks of Block rows that the part in view meets,
// so that a paint costs what it shows and a small move finds them drawn.
struct Slice
{
    int from = 0, to = 0;
    bool operator==(Slice const&) const = default;
};
constexpr int Block = 64;

// The blocks of an item's picture tall device rows high that rows [from, to) of it meet.
Slice sliceOf(int tall, int from, int to)
{
    return {from / Block * Block, std::min(tall, (to + Block - 1) / Block * Block)};
}

// What the picture of an event's look depends on: its colours, its selection, its kind, its
// width (the event's own up to a few columns past Narrow; a marker's width for an instant), the
// row's height, the device's pixel ratio and the rows of it drawn.
struct Look
{
    int fill[4];
    int line[4];
    bool selected;
    bool instant;
    int width;
    double height;
    double ratio;
    CrowdPainter::Kind kind;
    Slice rows;

    bool operator==(Look const& o) const
    {
        return std::equal(fill, fill + 4, o.fill) && std::equal(line, line + 4, o.line) &&
               selected == o.selected && instant == o.instant && width == o.width &&
               height == o.height && ratio == o.ratio && kind == o.kind && rows == o.rows;
    }
};

struct LookHash
{
    std::size_t operator()(Look const& k) const
    {
        std::size_t h = std::hash<double>()(k.height) * 31 + std::hash<double>()(k.ratio);
        for (int v : k.fill)
            h = h * 31 + std::size_t(v);
        for (int v : k.line)
            h = h * 31 + std::size_t(v);
        h = h * 31 + std::size_t(k.rows.from) * 7919 + std::size_t(k.rows.to);
        return h * 31 + std::size_t(k.width * 16 + int(k.kind) * 4 + k.selected * 2 + k.instant);
    }
};

// Units around a look's box while it is drawn: more than its widest line reaches past the box.
constexpr int Margin = 2;

// Looks are few (a layer's colours, selected or not, a row height or two, the stretches of a tall
// row in view): past this many, or this many bytes, the kept pictures start again, between two
// paints.
constexpr std::size_t MaxLooks = 512;
constexpr qsizetype MaxLookBytes = 16 << 20;

// The pictures of the looks, kept for the run; and the last few asked for in a paint, found from
// what the colours are worked out from, without working them out.
class Looks
{
public:
    void startPaint()
    {
        if (myKept.size() >= MaxLooks || myBytes > MaxLookBytes) {
            myKept.clear();
            myBytes = 0;
        }
        for (Recent& r : myRecent)
            r.picture = nullptr;
    }
    // The entry's event drawn as its item draws it, width wide and the row's height high, in
    // device pixels at the ratio: the rows of that picture asked for. The entries asked for in
    // one paint are of one layer's index, whose look numbers they carry.
    QImage const& of(mRowIndex::Entry const& e, bool selected, int width, double height,
                     double ratio, CrowdPainter::Kind kind, Slice rows)
    {
        Recent key {e.look, selected, width, height, ratio, kind, rows, nullptr};
        for (Recent const& r : myRecent)
            if (r.picture && r.same(key))
                return *r.picture;
        key.picture = &kept(*e.ev, selected, width, height, ratio, kind, rows);
        myRecent[myNext++ % myRecent.size()] = key;
        return *key.picture;
    }
    qsizetype bytes() const { return myBytes; }
    // How many device rows high an item's picture is, in a row of that height.
    static int tall(double height, Device const& device)
    {
        return std::max(1, device.size(std::max(1, int(height))));
    }

private:
    struct Recent
    {
        std::uint32_t look = 0;
        bool selected = false;
        int width = 0;
        double height = 0;
        double ratio = 1;
        CrowdPainter::Kind kind = CrowdPainter::Kind::Item;
        Slice rows;
        QImage const* picture = nullptr;
        bool same(Recent const& o) const
        {
            return look == o.look && selected == o.selected && width == o.width &&
                   height == o.height && ratio == o.ratio && kind == o.kind && rows == o.rows;
        }
    };

    QImage const& kept(mEvent const& ev, bool selected, int width, double height, double ratio,
                       CrowdPainter::Kind kind, Slice rows)
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
        key.ratio = ratio;
        key.kind = kind;
        key.rows = rows;
        if (auto found = myKept.find(key); found != myKept.end())
            return found->second;
        // The item's box cut to whole units, in device pixels: the rows asked for.
        Device const device {ratio};
        QSize const box(width, std::max(1, int(height)));
        QImage picture(std::max(1, device.size(box.width())), std::max(1, rows.to - rows.from),
                       QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        if (kind == CrowdPainter::Kind::Mark) {
            // A row still to be made: a line a unit high in the event's own fill, white at its
            // ends.
            int const w = picture.width(), end = device.size(2);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < w; ++x)
                    picture.setPixelColor(x, y,
                                          x < end || x >= w - end
                                              ? QColor(255, 255, 255)
                                              : QColor(key.fill[0], key.fill[1], key.fill[2]));
        } else {
            // Drawn at the ratio as the item is: through the device's scale, and away from the
            // device's edges, where Qt cuts a wide line before it fills it and fills it otherwise
            // than in the middle of a device (a line along the box's edge loses a pixel).
            int const margin = device.size(Margin);
            QImage onDevice(picture.width() + 2 * margin, picture.height() + 2 * margin,
                            QImage::Format_ARGB32_Premultiplied);
            onDevice.fill(Qt::transparent);
            if (device.scaled())
                onDevice.setDevicePixelRatio(ratio);
            {
                QPainter qp(&onDevice);
                PainterQt::FreshState fresh(qp, QPoint(Margin, Margin), box, QPoint(0, -rows.from));
                PainterQt p(qp);
                p.set2dGeometry(0, 0, float(width), float(height));
                // A ghost is drawn as the guide draws one: half as opaque, outlined in white.
                if (kind == CrowdPainter::Kind::Ghost)
                    ev.draw(p, 1.0, true, 2.0f, 0.5f, true, 255, 255, 255);
                else
                    ev.draw(p, p.getLod(), selected, 2.0f, 1.0f, true, 255, 255, 255);
            }
            picture = onDevice.copy(margin, margin, picture.width(), picture.height());
        }
        myBytes += picture.sizeInBytes();
        return myKept.emplace(key, std::move(picture)).first->second;
    }

    std::unordered_map<Look, QImage, LookHash> myKept;
    qsizetype myBytes = 0;
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
    // Columns [sx, sx + n) of the picture over columns from x of the band, from its row y (what
    // falls outside the band left out).
    void lay(int x, int y, QImage const& picture, int sx, int n)
    {
        if (x < 0) {
            sx -= x, n += x;
            x = 0;
        }
        n = std::min(n, myW - x);
        int const h = std::min(myH - y, picture.height());
        if (n <= 0)
            return;
        for (int row = std::max(0, -y); row < h; ++row) {
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
    void drawAt(QPainter& painter, Device const& device, QPoint at) const
    {
        drawOnDevice(painter, device, at, myImage, QRect(0, 0, myW, myH));
    }
    // A copy of what was laid.
    QImage image(int w, int h) const { return myImage.copy(0, 0, w, h); }
    int height() const { return myH; }
    qsizetype bytes() const { return myImage.sizeInBytes(); }

private:
    QImage myImage;
    uchar* myBits = nullptr;
    qsizetype myStride = 0;
    int myW = 0;
    int myH = 0;
};

// What prepare worked out for a row, for columns [c0, c1) of the device as it stood.
struct Prepared
{
    Device device;
    int c0 = 0, c1 = 0;
    std::vector<mRowIndex::Row::Run> runs;
    std::vector<mRowIndex::Row::Marker> markers;
};
struct PreparedRows
{
    // The scale's mapping when they were worked out: a paint takes them only for the same.
    double at[4] = {0, 0, 0, 0};
    std::unordered_map<mRowIndex::Row const*, Prepared> rows;
    // The scene's area in view, while a paint of it runs: the part of a band it may show.
    std::optional<QRectF> inView;
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

// The runs of a row's spans over device columns [c0, c1).
void runsOf(mRowIndex::Row const& row, mScale const& ts, Device const& device, int c0, int c1,
            std::vector<mRowIndex::Row::Run>& out)
{
    if (device.scaled()) {
        mRowIndex::Row::Scaled const scaled {device.by, device.dx};
        row.spanRuns(ts, c0, c1, out, &scaled);
        return;
    }
    // A column a device pixel, moved by whole pixels.
    int const move = int(device.dx);
    row.spanRuns(ts, c0 - move, c1 - move, out);
    if (move != 0)
        for (mRowIndex::Row::Run& run : out)
            run.from += move, run.to += move;
}

// The instants of a row whose markers may show on device columns [c0, c1).
void markersOf(mRowIndex::Row const& row, mScale const& ts, Device const& device, int c0, int c1,
               std::vector<mRowIndex::Row::Marker>& out)
{
    row.instantsShown(ts, int(std::floor((c0 - device.dx) / device.by)),
                      int(std::ceil((c1 - device.dx) / device.by)), out);
}

// Lays a row's runs and markers on the picture at its row y, device columns c of the band at
// column c - c0 of the picture: each run from the picture of its event's look, as the event is up
// to Narrow wide, else from the ends of pictures as wide as that (or a few columns more, where the
// ratio puts the end elsewhere in its pixel) and a column between them; a run handed to whole
// (when given) is left to it. The rows prepared for the paint are taken when asked.
template <class Selected, class Whole>
void layRow(BandPicture& picture, Looks& looks, mRowIndex::Row const& row, mScale const& ts,
            Device const& device, int c0, int c1, int y, double h, CrowdPainter::Kind kind,
            bool fromPrepared, Selected&& selected, Whole&& whole)
{
    // The rows of the items' pictures that fall in the band, the stretch of them drawn.
    int const tall = Looks::tall(h, device);
    int const top = std::max(0, -y), bottom = std::min(tall, picture.height() - y);
    if (top >= bottom)
        return;
    Slice const rows = sliceOf(tall, top, bottom);
    static std::vector<mRowIndex::Row::Run> ownRuns;
    static std::vector<mRowIndex::Row::Marker> ownMarkers;
    std::vector<mRowIndex::Row::Run>* runs = &ownRuns;
    std::vector<mRowIndex::Row::Marker>* markers = &ownMarkers;
    // Worked out already for this paint, or now.
    PreparedRows& ready = prepared();
    double at[4];
    mappingOf(ts, at);
    auto const found = fromPrepared ? ready.rows.find(&row) : ready.rows.end();
    if (found != ready.rows.end() && found->second.c0 == c0 && found->second.c1 == c1 &&
        found->second.device.by == device.by && found->second.device.dx == device.dx &&
        std::equal(at, at + 4, ready.at)) {
        runs = &found->second.runs;
        markers = &found->second.markers;
    } else {
        runsOf(row, ts, device, c0, c1, ownRuns);
        markersOf(row, ts, device, c0, c1, ownMarkers);
    }
    double const ratio = device.by;
    int const edges = device.size(Edges);
    // Lays columns [from, to) of the picture of a look from its column sx on.
    auto lay = [&](QImage const& look, int from, int to, int sx) {
        int const skip = std::max(0, -sx);
        from += skip, sx += skip;
        to = std::min(to, from + look.width() - sx);
        if (from < to)
            picture.lay(from - c0, y + rows.from, look, sx, to - from);
    };
    // The picture of a wide event's end: one whose end lies as far into its pixel (at a ratio of
    // 1 or 2, the picture of its left end). Qt keeps a ratio in 1/65536ths, so that at 1.2 or 4/3
    // no two widths end exactly as far in: then the one nearest.
    auto endOf = [&](mRowIndex::Entry const& e, bool chosen, int w, QImage const& left) {
        auto into = [ratio](int width) { return width * ratio - std::floor(width * ratio); };
        double const endAt = into(w);
        int endWidth = Narrow;
        double off = 1;
        for (int width = Narrow; width <= std::min(w, Narrow + 16) && off > 0; ++width) {
            double const d = std::abs(into(width) - endAt);
            if (double const apart = std::min(d, 1 - d); apart < off)
                endWidth = width, off = apart;
        }
        return endWidth == Narrow ? &left : &looks.of(e, chosen, endWidth, h, ratio, kind, rows);
    };
    // Device column x of a wide event's item, w units wide from device column first.
    auto layWide = [&](int x, int first, int w, QImage const& left, QImage const& end) {
        int const i = x - first, all = device.size(w), ends = end.width() - edges;
        if (i < edges)
            lay(left, x, x + 1, i);
        else if (all - i <= ends)
            lay(end, x, x + 1, end.width() - (all - i));
        else
            lay(left, x, x + 1, edges);
    };
    // Where a ratio puts an item's end inside a device pixel, its last column is partly clear:
    // the items under it show through, the row's events before it that cover that column (as
    // many as meet there, a few deep).
    std::vector<mRowIndex::Entry> const& spans = row.spans();
    auto partlyClear = [](QImage const& look, int x) {
        for (int r = 0; r < look.height(); ++r)
            if (int const a = qAlpha(look.pixel(x, r)); a > 0 && a < 255)
                return true;
        return false;
    };
    auto layUnder = [&](mRowIndex::Entry const& top, int x) {
        mScale::Pixels const pixel(ts);
        struct Under
        {
            mRowIndex::Entry const* e;
            int first, w;
            bool chosen;
        };
        std::array<Under, 16> stack;
        std::size_t n = 0;
        for (std::size_t j = std::size_t(&top - spans.data()); j > 0 && n < stack.size(); --j) {
            mRowIndex::Entry const& e = spans[j - 1];
            double first = 0, w = 0;
            mRowIndex::Row::spanColumns(pixel, ts.getParentSize(), e, first, w);
            int const d = device.x(first);
            bool const chosen = selected(e);
            if (x < d || x >= d + device.size(w) ||
                whole(mRowIndex::Row::Run {&e, x, x + 1, first, w}, chosen))
                break;
            stack[n++] = {&e, d, int(w), chosen};
        }
        while (n > 0) {
            Under const& u = stack[--n];
            QImage const& left =
                looks.of(*u.e, u.chosen, std::min(u.w, Narrow), h, ratio, kind, rows);
            if (u.w <= Narrow)
                lay(left, x, x + 1, x - u.first);
            else
                layWide(x, u.first, u.w, left, *endOf(*u.e, u.chosen, u.w, left));
        }
    };
    // Runs side by side are mostly of one look: the last one is kept at hand.
    QImage const* last = nullptr;
    std::uint32_t lastLook = 0;
    bool lastChosen = false;
    int lastWidth = 0;
    for (mRowIndex::Row::Run const& run : *runs) {
        bool const chosen = selected(*run.entry);
        if (whole(run, chosen))
            continue;
        int const w = int(run.width), width = std::min(w, Narrow);
        if (!last || run.entry->look != lastLook || chosen != lastChosen || width != lastWidth) {
            last = &looks.of(*run.entry, chosen, width, h, ratio, kind, rows);
            lastLook = run.entry->look, lastChosen = chosen, lastWidth = width;
        }
        QImage const& look = *last;
        // The item's device columns, from its corner's.
        int const first = device.x(run.first);
        QImage const& end = w == width ? look : *endOf(*run.entry, chosen, w, look);
        if (device.scaled() && kind == CrowdPainter::Kind::Item &&
            w * ratio != std::floor(w * ratio) && run.to == first + device.size(w) &&
            partlyClear(end, end.width() - 1))
            layUnder(*run.entry, run.to - 1);
        if (w == width) {
            lay(look, run.from, run.to, run.from - first);
            continue;
        }
        for (int c = run.from; c < run.to; ++c)
            layWide(c, first, w, look, end);
    }
    int const marker = int(2 * tlObj::ImpulseHalfWidth);
    for (mRowIndex::Row::Marker const& m : *markers) {
        QImage const& look = looks.of(*m.entry, selected(*m.entry), marker, h, ratio, kind, rows);
        // The item stands on the whole unit left of its marker's centre.
        int const from = device.x(std::floor(m.left));
        lay(look, from, from + look.width(), 0);
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
        // An item's picture is its box cut to whole units: none for a row under one.
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
        Device device;
        // The device columns drawn, and the device rows: the shown rows' in the area.
        int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
        std::array<int, 8> colours {};
        std::vector<Shown> shown;
        bool operator==(Key const&) const = default;
    };
    // An event drawn whole, under the picture: what shows of it through the events laid over
    // it (its title through their margins) shows as through their items.
    struct Whole
    {
        mRowIndex::Entry const* entry;
        double first, width, top, h;
        bool chosen;
    };
    Key key;
    QImage picture;
    QPoint at;
    std::vector<Whole> wholes;
};

// The picture laid and the looks, kept from one paint to the next: the layers' and the ghosts'.
struct Kept
{
    struct Pictures
    {
        BandPicture band;
        Looks looks;
    };
    Pictures layers, ghosts;
};
Kept& keptFor()
{
    static Kept ours;
    return ours;
}

std::unordered_map<mLayer const*, Drawn>& drawnLayers()
{
    static std::unordered_map<mLayer const*, Drawn> ours;
    return ours;
}

// The device columns [c0, c1) that an area of a band's item covers, from the band's left edge.
void columnsOf(QRectF const& area, Device const& device, int& c0, int& c1)
{
    c0 = std::max(device.x(0), int(std::floor(area.left() * device.by + device.dx)));
    c1 = int(std::ceil(area.right() * device.by + device.dx));
}

// The same within the layer's band.
void columnsOf(QRectF const& area, mLayer const& layer, Device const& device, int& c0, int& c1)
{
    columnsOf(area, device, c0, c1);
    c1 = std::min(c1, int(std::ceil(std::ceil(layer.getSceneW()) * device.by + device.dx)));
}

// The device rows [r0, r1) that an area of a band's item covers: what a paint draws of rows
// taller than the view.
void rowsOf(QRectF const& area, Device const& device, int& r0, int& r1)
{
    // Far past any device, a band's rows are cut where a picture's coordinates still reach.
    constexpr double Reach = 1 << 28;
    r0 = int(std::clamp(std::floor(area.top() * device.by + device.dy), -Reach, Reach));
    r1 = int(std::clamp(std::ceil(area.bottom() * device.by + device.dy), -Reach, Reach));
}

Drawn::Key keyOf(mLayer& layer, mScale const& ts, Device const& device, QRectF const& exposed,
                 int c0, int c1, std::vector<Shown> shown)
{
    Drawn::Key key;
    key.index = layer.rowIndex().stamp();
    ObSelection const* selection = layer.getSelectionEngine();
    key.selection = selection ? selection->changes() : 0;
    mappingOf(ts, key.mapping);
    key.device = device;
    key.c0 = c0, key.c1 = c1;
    key.colours = {layer.getBgColorR(),   layer.getBgColorG(),   layer.getBgColorB(),
                   layer.getBgColorA(),   layer.getLineColorR(), layer.getLineColorG(),
                   layer.getLineColorB(), layer.getLineColorA()};
    key.shown = std::move(shown);
    if (!key.shown.empty()) {
        int r0 = 0, r1 = 0;
        rowsOf(exposed, device, r0, r1);
        key.r0 = device.y(key.shown.front().top), key.r1 = key.r0;
        for (Shown const& row : key.shown) {
            key.r0 = std::min(key.r0, device.y(row.top));
            key.r1 = std::max(key.r1, device.y(row.top) + device.size(int(row.h)));
        }
        key.r0 = std::max(key.r0, r0);
        key.r1 = std::max(key.r0, std::min(key.r1, r1));
    }
    return key;
}

// Drawn as its item draws itself.
void drawWhole(QPainter& painter, QStyleOptionGraphicsItem const* option, Drawn::Whole const& w)
{
    painter.save();
    painter.translate(w.first, w.top);
    {
        PainterQt::FreshState fresh(painter, QPoint(0, 0), QSize(int(w.width), int(w.h)));
        PainterQt p(painter, option);
        p.set2dGeometry(0, 0, float(w.width), float(w.h));
        w.entry->ev->draw(p, p.getLod(), w.chosen, 2.0f, 1.0f, true, 255, 255, 255);
    }
    painter.restore();
}

} // namespace

void CrowdPainter::paint(QPainter& painter, QStyleOptionGraphicsItem const* option, mLayer& layer,
                         QRectF const& exposed)
{
    mScale const* ts = layer.getTimelineTimeScale();
    // The view shows its scene one unit a pixel, or a unit a few device pixels: only then are the
    // crowded rows placed as the items place themselves.
    Device device;
    if (!ts || !deviceOf(painter, device))
        return;
    // What of the band is in view (the item is told it is exposed whole): a row taller than the
    // view is drawn where it shows.
    QRectF part = exposed;
    if (std::optional<QRectF> const& inView = prepared().inView)
        part &= inView->translated(0, -layer.getSceneY());
    int c0 = 0, c1 = 0;
    columnsOf(part, layer, device, c0, c1);
    if (c0 >= c1)
        return;
    Drawn& drawn = drawnLayers()[&layer];
    Drawn::Key key = keyOf(layer, *ts, device, part, c0, c1, shownRows(layer, part));
    if (key.shown.empty())
        return;
    if (!(key == drawn.key)) {
        drawn.key = std::move(key);
        drawn.wholes.clear();
        int const yMin = drawn.key.r0, yMax = drawn.key.r1;
        ObSelection* selection = layer.getSelectionEngine();
        Obt const* events = tlObj::ourType_mEvent;
        auto selected = [selection, events](mRowIndex::Entry const& e) {
            return selection && selection->isSelectedSlot(events, e.slot);
        };
        BandPicture& picture = keptFor().layers.band;
        Looks& looks = keptFor().layers.looks;
        looks.startPaint();
        picture.start(c1 - c0, yMax - yMin);
        for (Shown const& row : drawn.key.shown) {
            // An event wide enough for its title is drawn by its own drawing, whole, under the
            // picture: what shows of it through the margins of those laid over it shows too.
            // (The height as the event's drawing takes it: in floats.) Once each, the later
            // over the earlier as their items lie.
            bool const titled = float(row.h) >= float(TitleHeight);
            std::size_t const rowWholes = drawn.wholes.size();
            auto whole = [&](mRowIndex::Row::Run const& run, bool chosen) {
                if (!titled || run.width < TitleWidth)
                    return false;
                if (rowWholes == drawn.wholes.size() || drawn.wholes.back().entry != run.entry)
                    drawn.wholes.push_back(
                        {run.entry, run.first, run.width, row.top, row.h, chosen});
                return true;
            };
            layRow(picture, looks, *row.row, *ts, device, c0, c1, device.y(row.top) - yMin, row.h,
                   Kind::Item, true, selected, whole);
            auto const from = drawn.wholes.begin() + std::ptrdiff_t(rowWholes);
            std::sort(from, drawn.wholes.end(), [](Drawn::Whole const& a, Drawn::Whole const& b) {
                return a.entry < b.entry;
            });
            drawn.wholes.erase(std::unique(from, drawn.wholes.end(),
                                           [](Drawn::Whole const& a, Drawn::Whole const& b) {
                                               return a.entry == b.entry;
                                           }),
                               drawn.wholes.end());
        }
        drawn.picture = picture.image(c1 - c0, yMax - yMin);
        drawn.at = QPoint(c0, yMin);
    }
    for (Drawn::Whole const& w : drawn.wholes)
        drawWhole(painter, option, w);
    if (!drawn.picture.isNull())
        drawOnDevice(painter, device, drawn.at, drawn.picture, drawn.picture.rect());
}

void CrowdPainter::prepare(mTimeline& timeline, QRectF const& area, QTransform const& view,
                           double ratio)
{
    PreparedRows& ready = prepared();
    ready.rows.clear();
    ready.inView = area;
    mScale const* ts = timeline.timeScale();
    if (!ts || view.type() > QTransform::TxTranslate || !(ratio > 0))
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
        // The band's item stands at (0, its scene y): its device as its paint finds it.
        Device device {ratio, view.dx() * ratio, (view.dy() + layer->getSceneY()) * ratio};
        if (!device.scaled())
            device.dx = qRound(view.dx());
        QRectF const exposed = area.translated(0, -layer->getSceneY());
        int c0 = 0, c1 = 0;
        columnsOf(exposed, *layer, device, c0, c1);
        Drawn::Key key = keyOf(*layer, *ts, device, exposed, c0, c1, shownRows(*layer, exposed));
        // A layer drawn from the same as last time is laid again as it was.
        if (auto const last = kept.find(layer); last != kept.end() && key == last->second.key)
            continue;
        for (Shown const& row : key.shown) {
            Prepared& out = ready.rows[row.row];
            out.device = device;
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
        Prepared& out = *job.out;
        runsOf(*job.row, *ts, out.device, out.c0, out.c1, out.runs);
        markersOf(*job.row, *ts, out.device, out.c0, out.c1, out.markers);
    });
}

void CrowdPainter::forgetPrepared()
{
    prepared().rows.clear();
    prepared().inView.reset();
}

std::size_t CrowdPainter::keptBytes()
{
    Kept const& kept = keptFor();
    qsizetype bytes = 0;
    for (Kept::Pictures const* p : {&kept.layers, &kept.ghosts})
        bytes += p->band.bytes() + p->looks.bytes();
    for (auto const& [layer, drawn] : drawnLayers())
        bytes += drawn.picture.sizeInBytes();
    return std::size_t(bytes);
}

void CrowdPainter::paintGhosts(QPainter& painter, mRowIndex& ghosts,
                               std::vector<GhostRow> const& rows, double dx, mScale const& ts,
                               QRectF const& area)
{
    Device device;
    if (!deviceOf(painter, device) || rows.empty())
        return;
    // The events stand shift whole units right of where they are filed.
    int const shift = qRound(dx);
    Device moved = device;
    moved.dx += shift * device.by;
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    columnsOf(area, device, c0, c1);
    rowsOf(area, device, r0, r1);
    auto& index = ghosts.rows();
    BandPicture& picture = keptFor().ghosts.band;
    Looks& looks = keptFor().ghosts.looks;
    looks.startPaint();
    for (GhostRow const& ghost : rows) {
        auto const found = index.find(mRowIndex::Key {double(ghost.dsri), 1.0});
        int const ih = std::max(1, int(ghost.h));
        if (found == index.end() || ghost.y + ih <= area.top() || ghost.y >= area.bottom() ||
            c0 >= c1)
            continue;
        // The part of the row in the area.
        int const y = device.y(ghost.y), top = std::max(y, r0);
        int const bottom = std::min(y + device.size(ih), r1);
        if (top >= bottom)
            continue;
        picture.start(c1 - c0, bottom - top);
        layRow(
            picture, looks, found->second, ts, moved, c0, c1, y - top, ghost.inRow ? ghost.h : 1.0,
            ghost.inRow ? Kind::Ghost : Kind::Mark, false,
            [](mRowIndex::Entry const&) { return true; },
            [](mRowIndex::Row::Run const&, bool) { return false; });
        picture.drawAt(painter, device, QPoint(c0, top));
    }
}
