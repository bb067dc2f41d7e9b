#include "ObAttr.h"
#include "ScaleTestSupport.h"
#include "mRangeSetups.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The header-row preset table, band by band, row by row and attribute by attribute: the bands'
// rows are kept below in the table's printed form and read here.

namespace {

struct Row
{
    std::string kind;
    double secsPerUnit = 0;
    bool hasFormat = false;
    std::string format;
    std::vector<std::pair<std::string, std::string>> settings;
};

struct Band
{
    double start, stop;
    char const* rows;
};

// Bands 1 to 39: start, stop, rows (kind, seconds per unit, label format, then the settings).
Band const LiteralBands[] = {
    {1e-12, 4.9e-09,
     R"t(A0 86400 "%B <d> %Y " (rangeId "QQ", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 1e-07 "+0<U7>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 5e-08 (tickSizePct 35, labelPadT 6); C0 1e-08 (tickMaxSize 4))t"},
    {4.9e-09, 4.9e-08,
     R"t(A0 86400 "%B <d> %Y " (rangeId "JJ", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 1e-06 "+0<U6>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 5e-07 (tickSizePct 35, labelPadT 6); C0 1e-07 (tickMaxSize 4))t"},
    {4.9e-08, 4.9e-07,
     R"t(A0 86400 "%B <d> %Y " (rangeId "FF", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 1e-05 "+0<U5>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 5e-06 (tickSizePct 35, labelPadT 6); C0 1e-06 (tickMaxSize 4))t"},
    {4.9e-07, 1.25e-06,
     R"t(A0 86400 "%B <d> %Y " (rangeId "AA", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.0001 "+0<U4>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 5e-05 (tickSizePct 35, labelPadT 6); C0 1e-05 (tickMaxSize 4))t"},
    {1.25e-06, 7.519e-06,
     R"t(A0 86400 "%B <d> %Y " (rangeId "BB", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.001 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.0005 "+0<U4>" (tickSizePct 35, labelPadT 0, maxSize 20); C0 0.0001 (tickMaxSize 4))t"},
    {7.519e-06, 1.6271e-05,
     R"t(A0 86400 "%B <d> %Y " (rangeId "CC", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.001 "+0<U3>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.0005 (tickSizePct 35, labelPadT 6); C0 0.0001 (tickMaxSize 4))t"},
    {1.6271e-05, 8.2292e-05,
     R"t(A0 86400 "%B <d> %Y " (rangeId "DD", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.01 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.005 "+0<U3>" (tickSizePct 35, labelPadT 0, maxSize 20); C0 0.001 (tickMaxSize 4))t"},
    {8.2292e-05, 0.000194059,
     R"t(A0 86400 "%B <d> %Y " (rangeId "EE", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.01 "+0<U2>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.005 (tickSizePct 30, labelPadT 6); C0 0.001 (tickMaxSize 4))t"},
    {0.000194059, 0.00074425,
     R"t(A0 86400 "%B <d> %Y " (rangeId "FF", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.1 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.05 "+0<U2>" (tickSizePct 35, labelPadT 0, maxSize 20); C0 0.01 (tickMaxSize 4))t"},
    {0.00074425, 0.00212343,
     R"t(A0 86400 "%B <d> %Y " (rangeId "GG", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.1 "+0<U1>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20); C1 0.05 (tickSizePct 30, labelPadT 6); C0 0.01 (tickMaxSize 4))t"},
    {0.00212343, 2.56934e-05,
     R"t(A0 86400 "%B <d> %Y " (rangeId "HH", maxSize 18); B0 1 "%-l:%M:%S <P>" (sizeScale 100, maxSize 18); C2 0.1 "+0<U1>" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20))t"},
    {2.56934e-05, 0.00733063,
     R"t(A0 86400 "%B <d> %Y" (rangeId "II", maxSize 18); B0 60 "%-l:%M <P>" (sizeScale 100, maxSize 18); C2 1 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20, labelPadT 0); C1 0.5 "%-S<U1> sec" (tickSizePct 35, labelPadT 6); C0 0.1 (tickMaxSize 4))t"},
    {0.00733063, 0.0230066,
     R"t(A0 86400 "%B <d> %Y" (rangeId "JJ", maxSize 18); B0 60 "%-l:%M <P>" (sizeScale 100, maxSize 18); C2 15 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20, labelPadT 0); C1 5 (tickSizePct 35); C0 1 ":%S" (tickMaxSize 4, labelPadT 6))t"},
    {0.0230066, 0.0961044,
     R"t(A0 86400 "%B <d> %Y" (rangeId "KK", maxSize 18); B0 60 "%-l:%M <P>" (sizeScale 100, maxSize 18); C2 15 (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20, labelPadT 0); C1 5 ":%S" (tickSizePct 35, labelPadT 6); C0 1 (tickMaxSize 4))t"},
    {0.0961044, 0.585276,
     R"t(A0 86400 "%B <d> %Y" (rangeId "MM", maxSize 18); B0 60 "%-l:%M <P>" (sizeScale 100, maxSize 18); C2 15 ":%S" (doNotStack true, sizeScale 100, tickSizePct 100, maxSize 20, labelPadT 0); C1 5 (tickSizePct 35); C0 1 (tickMaxSize 4))t"},
    {0.585276, 0.131,
     R"t(A0 900 "%B <d> %Y" (rangeId "NN"); B0 300 "e%-l:%M <P>"; C2 60 (tickSizePct 50); C1 30 (tickSizePct 35); C0 15)t"},
    {0.131, 0.338,
     R"t(A0 3600 "%B <d> %Y" (rangeId "OO"); B0 900; C2 300; C1 60 "%-l:%M <P>"; C0 30)t"},
    {0.338, 2.8,
     R"t(A0 86400 "%B <d> %Y" (rangeId "PP"); B0 3600; C2 900; C1 300 "%-l:%M <P>"; C0 60)t"},
    {2.8, 12,
     R"t(A0 86400 "%B <d> %Y" (rangeId "QQ"); B0 10800; C2 3600 (tickSizePct 50); C1 900 "%-l:%M<P>" (tickSizePct 35); C0 300)t"},
    {12, 77,
     R"t(A0 86400 "%B <d> %Y" (rangeId "RR"); B0 21600; C2 10800; C1 3600 "%-l<P>"; C0 900)t"},
    {77, 175,
     R"t(A0 86400 "%A, %B <d>, %Y" (rangeId "SS"); B0 43200; C2 21600 (tickSizePct 50); C1 10800 "%-l <P>" (tickSizePct 35); C0 3600)t"},
    {175, 250,
     R"t(A0 86400 "%B <d> %Y" (rangeId "TT"); B1 43200 (tickSizePct 50); C1 21600 "%-l <P>" (tickSizePct 35); C0 10800)t"},
    {250, 370,
     R"t(A0 2419200 "%B %Y" (rangeId "UU"); B1 86400 "%A, %B <d>" (tickSizePct 50); C1 43200 (tickSizePct 35); C0 21600)t"},
    {370, 600,
     R"t(A0 2419200 "%B %Y" (rangeId "VV"); B1 86400 "%a, %b <d>"; C1 43200 (tickSizePct 40); C0 21600)t"},
    {600, 1000,
     R"t(A0 2419200 "%B %Y" (rangeId "WW"); B1 86400 "%a, <d>"; C1 43200 (tickSizePct 40); C0 21600)t"},
    {1000, 1250,
     R"t(A0 2419200 "%B %Y" (rangeId "XX"); B0 604800; C2 86400 "%a, %-d" (tickSizePct 50); C1 43200 (tickSizePct 35); C0 21600)t"},
    {1250, 1851,
     R"t(A0 2419200 "%B %Y" (rangeId "YY"); B1 604800; C1 86400 "<d>" (tickSizePct 70, labelPadT 8))t"},
    {1851, 2480,
     R"t(A0 2419200 "%B %Y" (rangeId "ZZ"); B1 604800; C1 86400 "%-d" (tickSizePct 70, labelPadT 8))t"},
    {2480, 5776,
     R"t(A0 2419200 "%B %Y" (rangeId "BA"); B1 604800; C1 86400 "%-d" (tickSizePct 70, labelPadT 8, labelAlignH 0))t"},
    {5776, 9355, R"t(A0 2419200 "%B %Y" (rangeId "BB"); B1 604800 "<d>"; C0 86400)t"},
    {9355, 22514,
     R"t(A0 31536000 "%Y" (rangeId "BC", maxSize 20); B0 2419200 "%B" (sizeScale 40, maxSize 15); C1 604800 "%-d" (doNotStack true, sizeScale 60, maxSize 15, labelPadT 0))t"},
    {22514, 27365,
     R"t(A0 31536000 "%Y" (rangeId "BD"); B0 14515200; C2 7257600; C1 2419200 "%B"; C0 604800)t"},
    {27365, 40431,
     R"t(A0 31536000 "%Y" (rangeId "BE"); B0 14515200; C2 7257600; C1 2419200 "%b"; C0 604800)t"},
    {40431, 72609, R"t(A0 31536000 "%Y"; B0 14515200; C2 7257600; C1 2419200 "%b")t"},
    {72609, 89339,
     R"t(A0 31536000 "%Y"; B0 14515200; C2 7257600 (tickSizePct 50); C1 2419200 "%-m" (tickSizePct 35, labelPadT 5))t"},
    {89339, 168464,
     R"t(A0 31536000 "%Y"; B0 14515200; C2 7257600 (tickSizePct 50); C1 2419200 "%-m" (tickSizePct 35, labelPadT 10, labelAlignH 0))t"},
    {168464, 329000,
     R"t(B0 31536000 "%Y" (maxSize 30, labelPadL 4); C2 14515200 (tickSizePct 20); C1 7257600 (tickSizePct 15); C0 2419200 (tickSizePct 10, tickMaxSize 5))t"},
    {329000, 564392,
     R"t(B0 31536000 "%Y" (maxSize 30, labelPadL 4); C2 14515200 (tickSizePct 15); C1 7257600 (tickSizePct 8))t"},
    {564392, 686022,
     R"t(B0 31536000 "%Y" (maxSize 30, labelPadL 4, labelAlignH 0); C2 14515200 (tickSizePct 15); C1 7257600 (tickSizePct 8))t"},
};

std::string trim(std::string const& s)
{
    std::size_t const a = s.find_first_not_of(' ');
    std::size_t const b = s.find_last_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Splits at sep where it is neither quoted nor in parentheses.
std::vector<std::string> split(std::string const& s, char sep)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    int depth = 0;
    for (char c : s) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '(')
            ++depth;
        else if (!quoted && c == ')')
            --depth;
        if (c == sep && !quoted && depth == 0)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::string unquote(std::string const& s)
{
    return s.size() >= 2 && s.front() == '"' ? s.substr(1, s.size() - 2) : s;
}

std::vector<Row> parseRows(std::string const& text)
{
    std::vector<Row> rows;
    for (std::string part : split(text, ';')) {
        part = trim(part);
        Row row;
        std::size_t const sp1 = part.find(' ');
        row.kind = part.substr(0, sp1);
        std::size_t const sp2 = part.find(' ', sp1 + 1);
        row.secsPerUnit = std::atof(part.substr(sp1 + 1, sp2 - sp1 - 1).c_str());
        std::string rest = sp2 == std::string::npos ? std::string() : trim(part.substr(sp2));
        if (!rest.empty() && rest[0] == '"') {
            std::size_t const close = rest.find('"', 1);
            row.hasFormat = true;
            row.format = rest.substr(1, close - 1);
            rest = trim(rest.substr(close + 1));
        }
        if (!rest.empty()) {
            EXPECT_EQ(rest.front(), '(') << part;
            for (std::string const& s : split(rest.substr(1, rest.size() - 2), ',')) {
                std::string const setting = trim(s);
                std::size_t const sp = setting.find(' ');
                row.settings.emplace_back(setting.substr(0, sp), unquote(setting.substr(sp + 1)));
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::string printed(char const* format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// A look's attributes as "name=text", and their data types.
std::map<std::string, std::string> texts(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::map<std::string, std::string> out;
    for (rtl::str const& n : names) {
        rtl::str t;
        o.getAttrAsString(n, t);
        out[n.c()] = t.cs();
    }
    return out;
}

std::string typeOf(std::string const& name)
{
    mRangeSetup look;
    ObAttr attr;
    EXPECT_TRUE(look.getAttr(rtl::str(name.c_str()), attr)) << name;
    return attr.getCDataType();
}

// A setting's value as the look prints it.
std::string asText(std::string const& name, std::string const& value)
{
    std::string const type = typeOf(name);
    if (type == "bool")
        return value == "true" ? "True" : "False";
    if (type == "int")
        return std::to_string(std::atoi(value.c_str()));
    if (type == "float" || type == "double")
        return printed("%f", std::atof(value.c_str()));
    return value;
}

// What a row of the table must hold: a fresh look, then its kind's settings, then its own.
std::vector<std::string> expectedLook(Row const& row)
{
    std::map<std::string, std::string> a = texts(mRangeSetup());
    struct Kind
    {
        char const* name;
        int tickLevel;
        bool doNotStack;
        int sizeScale;
    };
    static Kind const kinds[] = {{"A0", 0, true, 100},  {"B0", 0, true, 50},
                                 {"B1", 1, true, 50},   {"C2", 1, false, 100},
                                 {"C1", 2, false, 100}, {"C0", 3, false, 100}};
    static int const tickAlpha[] = {180, 150, 130, 120};
    Kind const* kind = nullptr;
    for (Kind const& k : kinds)
        if (row.kind == k.name)
            kind = &k;
    EXPECT_NE(kind, nullptr) << row.kind;
    if (!kind)
        return {};
    auto set = [&](std::string const& name, std::string const& value) {
        a[name] = asText(name, value);
    };
    set("doNotStack", kind->doNotStack ? "true" : "false");
    set("maxSize", "-1");
    set("sizeScale", std::to_string(kind->sizeScale));
    set("showTick", "true");
    set("showLabels", row.hasFormat ? "true" : "false");
    for (char const* flag : {"showSpanLabel", "showBg", "showRamp", "showTopLine", "showBottomLine",
                             "showRangeBgColoring"})
        set(flag, "false");
    set("tickSizePct", "100");
    set("tickColorR", "255");
    set("tickColorG", "255");
    set("tickColorB", "255");
    set("tickColorA", std::to_string(tickAlpha[kind->tickLevel]));
    if (row.hasFormat) {
        set("labelFormat", row.format);
        set("spanLabelFormat", row.format);
    }
    if (row.kind == "A0") {
        set("maxSize", "30");
        set("showSpanLabel", "true");
    } else if (row.kind == "B0" || row.kind == "B1") {
        set("maxSize", "30");
    } else if (row.kind == "C0") {
        set("tickSizePct", "20");
        set("tickMaxSize", "10");
    }
    for (auto const& s : row.settings)
        set(s.first, s.second);
    std::vector<std::string> out;
    for (auto const& [name, text] : a)
        out.push_back(name + "=" + text);
    return out;
}

std::vector<std::string> actualLook(mRangeSetup const& look)
{
    std::vector<std::string> out;
    for (auto const& [name, text] : texts(look))
        out.push_back(name + "=" + text);
    return out;
}

// The preset whose bounds are these (to a relative 1e-12), or null.
mRangeSetups* presetWithBounds(double start, double stop)
{
    timeUnits();
    for (auto const& e : tlUnitsTime::ourRangeSetupsPerZoom) {
        mRangeSetups* rss = e.second.get();
        if (std::fabs(rss->getStartZoom() - start) <= std::fabs(start) * 1e-12 &&
            std::fabs(rss->getStopZoom() - stop) <= std::fabs(stop) * 1e-12)
            return rss;
    }
    return nullptr;
}

void expectBand(int number, double start, double stop, std::string const& name,
                std::vector<Row> const& rows)
{
    SCOPED_TRACE("band " + std::to_string(number) + " " + name);
    mRangeSetups* rss = presetWithBounds(start, stop);
    ASSERT_NE(rss, nullptr);
    EXPECT_EQ(std::string(rss->getPresetName().c()), name);
    // Kept under half the band's width.
    auto const keyed =
        tlUnitsTime::ourRangeSetupsPerZoom.find((rss->getStopZoom() - rss->getStartZoom()) / 2);
    ASSERT_NE(keyed, tlUnitsTime::ourRangeSetupsPerZoom.end());
    EXPECT_EQ(keyed->second.get(), rss);
    EXPECT_EQ(rss->rangeSetups().size(), rows.size());
    for (Row const& row : rows) {
        std::string const key = printed("%g", row.secsPerUnit);
        auto const found = rss->rangeSetups().find(rtl::str(key.c_str()));
        ASSERT_NE(found, rss->rangeSetups().end()) << key;
        EXPECT_EQ(actualLook(*found->second), expectedLook(row)) << row.kind << " " << key;
    }
}

} // namespace

TEST(PresetTable, LiteralBandsRowByRowAndAttributeByAttribute)
{
    int number = 1;
    for (Band const& band : LiteralBands) {
        std::string const name =
            "PRESET " + printed("%f", band.start) + " --> " + printed("%f", band.stop);
        expectBand(number++, band.start, band.stop, name, parseRows(band.rows));
    }
    EXPECT_EQ(number, 40);
}

TEST(PresetTable, GeneratedBandsFromThreeMillionSecondsPerPixelUp)
{
    double start = 686022;
    for (int i = 0; i <= 24; ++i) {
        double const m = std::pow(10.0, i);
        auto row = [](char const* kind, double secs, bool labelled,
                      std::vector<std::pair<std::string, std::string>> s) {
            Row r;
            r.kind = kind;
            r.secsPerUnit = secs;
            r.hasFormat = labelled;
            r.format = labelled ? "<Y>" : "";
            r.settings = std::move(s);
            return r;
        };
        expectBand(40 + 2 * i, start, 3000000 * m,
                   printed("3e06 * %g", m) + " [" + std::to_string(i) + "]",
                   {row("B0", 157680000 * m, true, {{"maxSize", "30"}, {"labelPadL", "4"}}),
                    row("C1", 31536000 * m, false, {{"tickSizePct", "15"}})});
        expectBand(41 + 2 * i, 3000000 * m, 6000000 * m, printed("6e06 * %g", m),
                   {row("B0", 315360000 * m, true, {{"maxSize", "30"}, {"labelPadL", "4"}}),
                    row("C1", 157680000 * m, false, {{"tickSizePct", "15"}})});
        start = 6000000 * m;
    }
    EXPECT_EQ(tlUnitsTime::ourRangeSetupsPerZoom.size(), 89u);
}
