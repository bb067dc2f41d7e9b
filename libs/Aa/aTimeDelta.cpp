#include "aTimeDelta.h"

#include "aAssert.h"
#include "aTrace.h"

#include <climits>
#include <cmath>

namespace {

constexpr long NsPerSec = 1000000000L;
constexpr long SecsPerDay = 86400L;

// Whether a double converts to a long without leaving the range.
bool fitsLong(double d)
{
    return d >= -9223372036854775808.0 && d < 9223372036854775808.0;
}

long saturate(__int128 v)
{
    if (v > __int128(LONG_MAX))
        return LONG_MAX;
    if (v < __int128(LONG_MIN))
        return LONG_MIN;
    return long(v);
}

} // namespace

aTimeDelta::aTimeDelta(long days, long seconds, long ns)
{
    set(days, seconds, ns);
}

aTimeDelta::aTimeDelta(int days, int seconds, int ns)
{
    set(long(days), long(seconds), long(ns));
}

aTimeDelta::aTimeDelta(double seconds)
{
    set(0.0, seconds, 0.0);
}

aTimeDelta::aTimeDelta(double days, double seconds, long ns)
{
    set(days, seconds, double(ns));
}

aTimeDelta::aTimeDelta(double days, double seconds, double ns)
{
    set(days, seconds, ns);
}

aTimeDelta::aTimeDelta(float days, float seconds, float ns)
{
    set(double(days), double(seconds), double(ns));
}

void aTimeDelta::set(long days, long seconds, long ns)
{
    simplify(days, seconds, ns, myDays, mySeconds, myNs);
    A_ASSERT(isSimplified());
}

void aTimeDelta::set(double days, double seconds, double ns)
{
    double dd = 0, ss = 0, nn = 0;
    simplify(days, seconds, ns, dd, ss, nn);
    // An infinite or huge part cannot be tested by converting it; it is not whole either way.
    if (!fitsLong(dd))
        aAssertFail("(dd == ((double)((long int)dd)))", __FILE__, __LINE__);
    A_ASSERT((dd == ((double)((long int)dd))));
    if (!fitsLong(ss))
        aAssertFail("(ss == ((double)((long int)ss)))", __FILE__, __LINE__);
    A_ASSERT((ss == ((double)((long int)ss))));
    // To the nearest nanosecond: cut, a time per pixel read back from its window comes out a
    // nanosecond short. A nanosecond rounded up to a whole second carries into the others.
    set(long(dd), long(ss), fitsLong(nn) ? std::lround(nn) : 0L);
}

double aTimeDelta::asSeconds() const
{
    // Summed in doubles: days times 86,400 can leave a long.
    return myNs / 1e9 + (double(mySeconds) + double(myDays) * double(SecsPerDay));
}

bool aTimeDelta::isNegative() const
{
    if (myDays > 0 || mySeconds > 0 || myNs > 0)
        return false;
    return myDays < 0 || mySeconds < 0 || myNs < 0;
}

bool aTimeDelta::isPositive() const
{
    if (myDays < 0 || mySeconds < 0 || myNs < 0)
        return false;
    return myDays > 0 || mySeconds > 0 || myNs > 0;
}

bool aTimeDelta::isZero() const
{
    return myDays == 0 && mySeconds == 0 && myNs == 0;
}

aTimeDelta::operator bool() const
{
    return !isZero();
}

bool aTimeDelta::isSimplified() const
{
    return (myDays <= 0 && mySeconds <= 0 && myNs <= 0) ||
           (myDays >= 0 && mySeconds >= 0 && myNs >= 0);
}

aTimeDelta& aTimeDelta::invert()
{
    myDays = -myDays;
    mySeconds = -mySeconds;
    myNs = -myNs;
    return *this;
}

aTimeDelta& aTimeDelta::abs()
{
    // Negating the most negative long is not defined; it stays negative and fails below.
    if (mySeconds < 0 && mySeconds != LONG_MIN)
        mySeconds = -mySeconds;
    if (myDays < 0 && myDays != LONG_MIN)
        myDays = -myDays;
    if (myNs < 0 && myNs != LONG_MIN)
        myNs = -myNs;
    A_ASSERT(mySeconds>=0);
    A_ASSERT(myDays>=0);
    A_ASSERT(myNs>=0);
    return *this;
}

void aTimeDelta::scaleBy(long factor)
{
    // Integer scaling wraps like the machine does rather than trapping; the result is
    // re-normalised either way.
    auto mul = [factor](long v) {
        unsigned long r = static_cast<unsigned long>(v) * static_cast<unsigned long>(factor);
        return static_cast<long>(r);
    };
    set(mul(myDays), mul(mySeconds), mul(myNs));
}

aTimeDelta aTimeDelta::operator*(long factor) const
{
    aTimeDelta r(*this);
    r.scaleBy(factor);
    return r;
}

aTimeDelta aTimeDelta::operator*(int factor) const
{
    return *this * long(factor);
}

aTimeDelta& aTimeDelta::operator*=(long factor)
{
    scaleBy(factor);
    return *this;
}

aTimeDelta& aTimeDelta::operator*=(int factor)
{
    scaleBy(long(factor));
    return *this;
}

aTimeDelta aTimeDelta::operator*(double factor) const
{
    A_TRACE_DETAIL("BEFORE %li %li %li %f\n", myDays, mySeconds, myNs, asSeconds());
    aTimeDelta r;
    r.set(double(myDays) * factor, double(mySeconds) * factor, double(myNs) * factor);
    A_TRACE_DETAIL("AFTER %li %li %li %f\n", r.myDays, r.mySeconds, r.myNs, r.asSeconds());
    return r;
}

aTimeDelta& aTimeDelta::operator*=(double factor)
{
    set(double(myDays) * factor, double(mySeconds) * factor, double(myNs) * factor);
    return *this;
}

aTimeDelta aTimeDelta::operator/(double divisor) const
{
    A_TRACE_DETAIL("BEFORE %li %li %li %f\n", myDays, mySeconds, myNs, asSeconds());
    aTimeDelta r;
    r.set(double(myDays) / divisor, double(mySeconds) / divisor, double(myNs) / divisor);
    A_TRACE_DETAIL("AFTER %li %li %li %f\n", r.myDays, r.mySeconds, r.myNs, r.asSeconds());
    return r;
}

aTimeDelta aTimeDelta::operator/(long divisor) const
{
    aTimeDelta r;
    r.set(double(myDays) / double(divisor), double(mySeconds) / double(divisor),
          double(myNs) / double(divisor));
    return r;
}

aTimeDelta aTimeDelta::operator/(int divisor) const
{
    return *this / long(divisor);
}

namespace {

// Seconds and a remainder below a second in size, of one sign: a second is borrowed.
template <class Int>
void toOneSign(Int& s, Int& r)
{
    if (s > 0 && r < 0) {
        s -= 1;
        r += NsPerSec;
    } else if (s < 0 && r > 0) {
        s += 1;
        r -= NsPerSec;
    }
}

} // namespace

// Every copy and assignment of a timestamp comes here: while the carry fits in 64 bits, a 64-bit
// division by a constant gives what the wide form would, without its library calls.
void aTimeDelta::simplify(long days, long seconds, long ns, long& outSeconds, long& outNs)
{
    long s = 0;
    if (days != 0 || __builtin_add_overflow(seconds, ns / NsPerSec, &s)) {
        simplifyWide(days, seconds, ns, outSeconds, outNs);
        return;
    }
    long r = ns % NsPerSec;
    toOneSign(s, r);
    outSeconds = s;
    outNs = r;
}

void aTimeDelta::simplifyWide(__int128 days, __int128 seconds, __int128 ns, long& outSeconds,
                              long& outNs)
{
    __int128 r = ns % NsPerSec;
    __int128 s = days * SecsPerDay + seconds + (ns - r) / NsPerSec;
    toOneSign(s, r);
    long rsecs = saturate(s);
    long rnanos = long(r);
    if (rsecs != s)
        rnanos = 0; // saturated: the bound itself, without a fraction beyond it
    long nanoseconds = rnanos;
    A_ASSERT((nanoseconds > -1000000000) && ((nanoseconds < 1000000000)));
    long z = 0;
    if (!(((rsecs <= z) && (rnanos <= z)) || ((rsecs >= z) && (rnanos >= z)))) {
        A_TRACE_C("ired", "SIMPLIFY ERROR: %li seconds, %li nanoseconds\n", rsecs, rnanos);
        A_ASSERT( ( (rsecs <=z) && (rnanos<=z) ) || ( (rsecs>=z) && (rnanos>=z) ) );
    }
    outSeconds = rsecs;
    outNs = rnanos;
}

void aTimeDelta::simplify(long inDays, long inSeconds, long inNs, long& outDays, long& outSeconds,
                          long& outNs)
{
    __int128 r = inNs % NsPerSec;
    __int128 s1 = __int128(inSeconds) + (inNs - r) / NsPerSec;
    __int128 seconds = s1 % SecsPerDay;
    __int128 days = __int128(inDays) + (s1 - seconds) / SecsPerDay;
    __int128 z = 0;
    if (days > 0 && seconds < 0) {
        days -= 1;
        seconds += SecsPerDay;
    } else if (days < 0 && seconds > 0) {
        days += 1;
        seconds -= SecsPerDay;
    }
    A_ASSERT(((days >= z) && (seconds >= z)) || ((days <= z) && (seconds <= z)));
    if (seconds < 0 && r > 0) {
        seconds += 1;
        r -= NsPerSec;
    } else if (seconds > 0 && r < 0) {
        seconds -= 1;
        r += NsPerSec;
    } else if (seconds == 0 && days > 0 && r < 0) {
        days -= 1;
        seconds = SecsPerDay - 1;
        r += NsPerSec;
    } else if (seconds == 0 && days < 0 && r > 0) {
        days += 1;
        seconds = -(SecsPerDay - 1);
        r -= NsPerSec;
    }
    // Days beyond a long only come from wrapped multiplications; they saturate.
    long rdays = saturate(days);
    long rsecs = long(seconds);
    long rnanos = long(r);
    if (!(((rdays <= z) && (rsecs <= z) && (rnanos <= z)) ||
          ((rdays >= z) && (rsecs >= z) && (rnanos >= z)))) {
        A_TRACE_C("ired", "SIMPLIFY ERROR: %li days, %li seconds, %li nanoseconds\n", rdays, rsecs,
                  rnanos);
        A_ASSERT(((rdays <= z) && (rsecs <=z) && (rnanos<=z)) || ((rdays>=z) && (rsecs>=z) && (rnanos>=z)));
    }
    outDays = rdays;
    outSeconds = rsecs;
    outNs = rnanos;
}

void aTimeDelta::simplify(double days, double seconds, double ns, double& outDays,
                          double& outSeconds, double& outNs)
{
    double total = days * 86400.0 + seconds + ns / 1e9;
    // The day fraction is taken with fmod, which is exact, so whole seconds stay whole
    // (1.5 s is 1 s and 500,000,000 ns, not 1 s and 499,999,999 ns). Beyond about 1e18 s the
    // days before the rest need not be a double; the nearest whole number is as near as the total.
    double rest = std::fmod(total, 86400.0);
    double rdays = std::isfinite(total) ? std::round((total - rest) / 86400.0) : total;
    double rsecs = std::trunc(rest);
    double rnanos = (rest - rsecs) * 1e9;
    if (!std::isfinite(total)) {
        rsecs = total;
        rnanos = total;
    }
    outDays = rdays;
    outSeconds = rsecs;
    outNs = rnanos;
    if (!(((rdays <= 0.0) && (rsecs <= 0.0) && (rnanos <= 0.0)) ||
          ((rdays >= 0.0) && (rsecs >= 0.0) && (rnanos >= 0.0)))) {
        A_TRACE("TIMEDELTA: %f days, %f seconds, %f nanoseconds\n", rdays, rsecs, rnanos);
        A_ASSERT(((rdays <= 0.0) && (rsecs<=0.0) && (rnanos<=0.0)) || ((rdays>=0.0) && (rsecs>=0.0) && (rnanos>=0.0)));
    }
}
