#include "mLocalFields.h"

#include <ctime>

namespace {

struct Kept
{
    long sec = 0;
    mLocalFields fields;
};

constexpr int KeptCount = 4;
Kept ourKept[KeptCount];
int ourKeptUsed = 0;
int ourKeptNext = 0;
int ourScopeDepth = 0;

mLocalFields compute(aTs const& t)
{
    mLocalFields f;
    int microsecond = 0, yearDay = 0, weekday = 0;
    bool isDst = false;
    long offset = 0;
    if (!t.getMicro(f.year, f.month, f.day, f.hour, f.minute, f.second, microsecond, yearDay, weekday, isDst,
                    offset))
        return f;
    f.weekday = weekday - 1;
    f.yearDay = yearDay - 1;
    f.gmtOffset = offset;
    f.ok = true;
    return f;
}

// The same fields through the reentrant conversion, which does not look at the zone again on
// every call (the plain one checks the zone file each time); the scope looks once, at its start.
mLocalFields computeInScope(long sec)
{
    mLocalFields f;
    time_t const t = sec;
    struct tm local;
    int fullYear = 0;
    if (!localtime_r(&t, &local) || __builtin_add_overflow(local.tm_year, 1900, &fullYear))
        return f;
    f.year = fullYear;
    f.month = local.tm_mon + 1;
    f.day = local.tm_mday;
    f.hour = local.tm_hour;
    f.minute = local.tm_min;
    f.second = local.tm_sec;
    f.weekday = local.tm_wday;
    f.yearDay = local.tm_yday;
    f.gmtOffset = local.tm_gmtoff;
    f.ok = true;
    return f;
}

// The fields of a wall-clock second, remembered while a scope lives.
mLocalFields const& kept(long sec)
{
    for (int i = 0; i < ourKeptUsed; ++i)
        if (ourKept[i].sec == sec)
            return ourKept[i].fields;
    Kept& k = ourKept[ourKeptNext];
    k.sec = sec;
    k.fields = computeInScope(sec);
    ourKeptNext = (ourKeptNext + 1) % KeptCount;
    if (ourKeptUsed < KeptCount)
        ++ourKeptUsed;
    return k.fields;
}

} // namespace

// One result, built where the caller keeps it: a copy of it changed afterwards costs the grid
// build a stalled load on every call.
mLocalFields mLocalFields::of(aTs const& t)
{
    long sec = 0, ns = 0;
    bool const wall = wallSecond(t, sec, ns);
    mLocalFields f = !wall ? mLocalFields() : (ourScopeDepth == 0 ? compute(t) : kept(sec));
    f.ns = f.ok ? ns : 0;
    return f;
}

mLocalFields::Scope::Scope()
{
    if (ourScopeDepth++ == 0) {
        tzset();
        ourKeptUsed = 0;
        ourKeptNext = 0;
    }
}

mLocalFields::Scope::~Scope()
{
    --ourScopeDepth;
}
