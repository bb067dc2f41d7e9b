#include "mRangeLabels.h"

#include "aNumber.h"
#include "mGridline.h"
#include "mLocalFields.h"

namespace mRangeLabels {

namespace {

constexpr char const* Overflow = "Overflow";

// "<weekday>, <month> <ordinal day>": the weekday name is copied before the month name is
// asked for, since both come back in the time service's one shared buffer.
void dayLabel(mGridline* g, rtl::str& out, bool abbrev)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok) {
        out = Overflow;
        return;
    }
    aTs const& t = g->getTs();
    rtl::str const weekday(abbrev ? t.getAbbrevWeekdayName() : t.getWeekdayName());
    char const* month = abbrev ? t.getAbbrevMonthName() : t.getMonthName();
    out.set("%s, %s %s", weekday.c(), month, aNumber::asOrdinal(f.day, false).c());
}

void monthDayLabel(mGridline* g, rtl::str& out, bool abbrev)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok) {
        out = Overflow;
        return;
    }
    aTs const& t = g->getTs();
    out.set("%s %i", abbrev ? t.getAbbrevMonthName() : t.getMonthName(), f.day);
}

} // namespace

void labelNumber(mGridline* g, double, rtl::str& out)
{
    out.set(" %i", aNumber::saturateToInt(g->getTs().asSeconds()));
}

void labelHour12(mGridline* g, double, rtl::str& out)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok) {
        out = Overflow;
        return;
    }
    int const h = f.hour % 12;
    out.set(" %i", h == 0 ? 12 : h);
}

void labelDayFull(mGridline* g, double, rtl::str& out)
{
    dayLabel(g, out, false);
}

void labelDayAbbrev(mGridline* g, double, rtl::str& out)
{
    dayLabel(g, out, true);
}

void labelMonthDay(mGridline* g, double, rtl::str& out)
{
    monthDayLabel(g, out, false);
}

void labelAbbrevMonthDay(mGridline* g, double, rtl::str& out)
{
    monthDayLabel(g, out, true);
}

void labelDayOfMonth(mGridline* g, double, rtl::str& out)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok)
        out = Overflow;
    else
        out.set("%i", f.day);
}

// The nanoseconds past the second the clock shows, as the seconds row beside it reads it.
void labelNanos(mGridline* g, double, rtl::str& out)
{
    long sec = 0, ns = 0;
    if (!mLocalFields::wallSecond(g->getTs(), sec, ns))
        out = Overflow;
    else
        out.set("%li", ns);
}

void labelSecsFraction(mGridline* g, double, rtl::str& out)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok)
        out = Overflow;
    else
        out.set("%g", f.second + f.ns / 1e9);
}

void labelSecsWhole(mGridline* g, double, rtl::str& out)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok)
        out = Overflow;
    else
        out.set("%i", f.second);
}

void labelMinute(mGridline* g, double, rtl::str& out)
{
    mLocalFields const f = mLocalFields::of(g->getTs());
    if (!f.ok)
        out = Overflow;
    else
        out.set("%i", f.minute);
}

void dayNightTick(int hour, bool background, int& r, int& g, int& b, int& a)
{
    bool const day = hour >= 7 && hour <= 18;
    int const v = (day == background) ? 255 : 0;
    r = g = b = v;
    a = 255;
}

} // namespace mRangeLabels
