#include "uiFonts.h"

#include "aAssert.h"

#include <QFontMetrics>
#include <QStaticText>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Qt's own correspondence of the old 0 to 99 weights to its weights, lightest first.
struct WeightStep
{
    int stored;
    QFont::Weight weight;
};
constexpr WeightStep ourWeights[] = {
    {0, QFont::Thin},    {12, QFont::ExtraLight}, {25, QFont::Light},
    {50, QFont::Normal}, {57, QFont::Medium},     {63, QFont::DemiBold},
    {75, QFont::Bold},   {81, QFont::ExtraBold},  {87, QFont::Black},
};

char const* const ourSubstituted[] = {"Helvetica", "Gil Sans"};

// Sizes up to this many points are found by index, larger ones by name.
constexpr int ourIndexedSizes = 512;

// Lets the maps be searched with the caller's characters, without making a string first.
struct TextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

template <typename T> using TextMap = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;

struct Measured
{
    QFont font;
    qreal lineHeight = -1;
    TextMap<QStaticText> prepared;
};

// The fonts of one family and weight, by point size.
struct Family
{
    std::string name;
    int weight;
    std::vector<int> idBySize;
};

// The sizes of one text, in each font it was measured in.
struct TextSizes
{
    struct Size
    {
        int fontId;
        float w, h;
    };
    std::vector<Size> sizes;
    // Where the last size was found: a title is fitted by trying the same sizes in the same order
    // at every paint, so the next one asked for is usually the one after it.
    size_t hint = 0;

    Size* find(int fontId)
    {
        size_t const n = sizes.size();
        for (size_t k = 0; k < n; ++k) {
            size_t const at = (hint + k) % n;
            if (sizes[at].fontId == fontId) {
                hint = at + 1;
                return &sizes[at];
            }
        }
        return nullptr;
    }
};

// Fitting a title measures one text in one family at size after size: the last family and the
// last text are kept at hand, so most questions are answered without hashing anything.
struct FontTable
{
    std::unordered_map<std::string, int> ids;
    std::vector<std::unique_ptr<Measured>> fonts;
    std::vector<std::unique_ptr<Family>> families;
    Family* lastFamily = nullptr;
    TextMap<TextSizes> texts;
    TextSizes* lastSizes = nullptr;
    std::string lastText;
    size_t keptSizes = 0;
    size_t preparedTexts = 0;

    int intern(std::string const& key, QFont const& font)
    {
        auto found = ids.find(key);
        if (found != ids.end())
            return found->second;
        int const id = int(fonts.size());
        fonts.push_back(std::make_unique<Measured>());
        fonts.back()->font = font;
        ids.emplace(key, id);
        return id;
    }

    Family& family(char const* name, int weight)
    {
        if (lastFamily && lastFamily->weight == weight && lastFamily->name == name)
            return *lastFamily;
        auto same = [&](std::unique_ptr<Family> const& f) {
            return f->weight == weight && f->name == name;
        };
        auto found = std::find_if(families.begin(), families.end(), same);
        if (found == families.end()) {
            families.push_back(std::make_unique<Family>(Family {name, weight, {}}));
            found = families.end() - 1;
        }
        lastFamily = found->get();
        return *lastFamily;
    }

    Measured& measured(int id)
    {
        A_ASSERT(id >= 0 && size_t(id) < fonts.size());
        return *fonts[size_t(id)];
    }
};

// Used from the GUI thread only, as every paint is.
FontTable& table()
{
    static FontTable ourTable;
    return ourTable;
}

} // namespace

char const* const uiFonts::ourFamily = "DejaVu Sans";

void uiFonts::installSubstitutions()
{
    static bool ourInstalled = false;
    if (ourInstalled)
        return;
    ourInstalled = true;
    for (char const* family : ourSubstituted)
        QFont::insertSubstitution(QString::fromUtf8(family), QString::fromUtf8(ourFamily));
}

QFont::Weight uiFonts::qtWeight(int storedWeight)
{
    int const stored = std::clamp(storedWeight, 0, 99);
    QFont::Weight nearest = ourWeights[0].weight;
    int best = std::abs(stored - ourWeights[0].stored);
    for (WeightStep const& step : ourWeights) {
        int const distance = std::abs(stored - step.stored);
        if (distance < best) {
            best = distance;
            nearest = step.weight;
        }
    }
    return nearest;
}

QFont uiFonts::font(char const* family, int pointSize, int storedWeight)
{
    installSubstitutions();
    QFont font(QString::fromUtf8(family ? family : ""));
    font.setWeight(qtWeight(storedWeight));
    // Sizes were laid out at 72 dpi, where a point is a pixel: taken as pixels, text keeps the
    // room it was given at any screen resolution.
    font.setPixelSize(std::max(pointSize, 1));
    return font;
}

int uiFonts::fontId(char const* family, int pointSize, int storedWeight)
{
    FontTable& fonts = table();
    char const* const name = family ? family : "";
    int const size = std::max(pointSize, 1);
    int const weight = int(qtWeight(storedWeight));
    auto make = [&] {
        std::string const key =
            std::string(name) + '\x1f' + std::to_string(size) + '\x1f' + std::to_string(weight);
        return fonts.intern(key, font(name, size, storedWeight));
    };
    if (size >= ourIndexedSizes)
        return make();
    std::vector<int>& bySize = fonts.family(name, weight).idBySize;
    if (size_t(size) >= bySize.size())
        bySize.resize(size_t(size) + 1, -1);
    if (bySize[size_t(size)] < 0)
        bySize[size_t(size)] = make();
    return bySize[size_t(size)];
}

int uiFonts::fontId(QFont const& font)
{
    installSubstitutions();
    // A leading separator keeps these keys apart from the named ones.
    return table().intern('\x1e' + font.key().toStdString(), font);
}

QFont const& uiFonts::fontById(int id)
{
    return table().measured(id).font;
}

void uiFonts::textSize(int fontId, char const* text, float& w, float& h)
{
    FontTable& fonts = table();
    Measured& measured = fonts.measured(fontId);
    if (!text || !*text) {
        w = h = 0.0f;
        return;
    }
    if (!fonts.lastSizes || fonts.lastText != text) {
        if (fonts.keptSizes >= ourMaxKeptSizes) {
            fonts.texts.clear();
            fonts.keptSizes = 0;
        }
        std::string_view const key(text);
        auto found = fonts.texts.find(key);
        if (found == fonts.texts.end())
            found = fonts.texts.emplace(std::string(key), TextSizes {}).first;
        fonts.lastSizes = &found->second;
        fonts.lastText = key;
    }
    TextSizes& kept = *fonts.lastSizes;
    TextSizes::Size* found = kept.find(fontId);
    if (!found) {
        QRect const box = QFontMetrics(measured.font).boundingRect(QString::fromUtf8(text));
        kept.sizes.push_back({fontId, float(box.width()), float(box.height())});
        found = &kept.sizes.back();
        ++fonts.keptSizes;
    }
    w = found->w;
    h = found->h;
}

QStaticText const* uiFonts::preparedText(int fontId, char const* text)
{
    FontTable& fonts = table();
    Measured& measured = fonts.measured(fontId);
    std::string_view const key(text ? text : "");
    if (std::any_of(key.begin(), key.end(),
                    [](char c) { return (unsigned char)c < 0x20 || c == 0x7f; }))
        return nullptr;
    auto found = measured.prepared.find(key);
    if (found == measured.prepared.end()) {
        if (fonts.preparedTexts >= ourMaxPreparedTexts) {
            for (auto& each : fonts.fonts)
                each->prepared.clear();
            fonts.preparedTexts = 0;
        }
        QStaticText prepared(QString::fromUtf8(key.data(), qsizetype(key.size())));
        prepared.setTextFormat(Qt::PlainText);
        prepared.prepare(QTransform(), measured.font);
        found = measured.prepared.emplace(std::string(key), prepared).first;
        ++fonts.preparedTexts;
    }
    return &found->second;
}

qreal uiFonts::lineHeight(int fontId)
{
    Measured& measured = table().measured(fontId);
    if (measured.lineHeight < 0)
        measured.lineHeight = QFontMetricsF(measured.font).height();
    return measured.lineHeight;
}

size_t uiFonts::keptSizes()
{
    return table().keptSizes;
}
