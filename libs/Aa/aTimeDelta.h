#pragma once

// A signed length of time in whole days (86,400 s each, no calendar), seconds and nanoseconds.
// After every set the three parts share one sign, |seconds| < 86,400 and |ns| < 1,000,000,000.
// The normalisation routines are shared with the timestamp class aTs.
class aTimeDelta
{
public:
    // Making one: parts of any sign and size, normalised on the way in.
    aTimeDelta() = default;
    aTimeDelta(long days, long seconds, long ns);
    aTimeDelta(int days, int seconds, int ns);
    explicit aTimeDelta(double seconds);
    aTimeDelta(double days, double seconds, long ns);
    aTimeDelta(double days, double seconds, double ns);
    aTimeDelta(float days, float seconds, float ns);

    void set(long days, long seconds, long ns);
    // Fractions of days and seconds move down into the smaller parts, which are rounded to the
    // nearest nanosecond. Days and seconds that do not come out whole stop the program.
    void set(double days, double seconds, double ns);

    // The normalised parts, and the whole as seconds.
    long getDays() const { return myDays; }
    long getSeconds() const { return mySeconds; }
    long getSecs() const { return mySeconds; }
    long getNanoseconds() const { return myNs; }
    long getNs() const { return myNs; }
    double asSeconds() const;

    // Its sign, and whether it is normalised.
    bool isNegative() const;
    bool isPositive() const;
    bool isZero() const;
    explicit operator bool() const;
    bool isSimplified() const;

    // Sign changes in place.
    aTimeDelta& invert();
    aTimeDelta& abs();

    // Scaling: by integers wrapping as the machine does, by reals through doubles.
    aTimeDelta operator*(long factor) const;
    aTimeDelta operator*(int factor) const;
    aTimeDelta& operator*=(long factor);
    aTimeDelta& operator*=(int factor);
    aTimeDelta operator*(double factor) const;
    aTimeDelta& operator*=(double factor);
    aTimeDelta operator/(double divisor) const;
    aTimeDelta operator/(long divisor) const;
    aTimeDelta operator/(int divisor) const;

    // Normalisation, shared with aTs.
    // (days, seconds, ns) -> (seconds, ns) of one sign, |ns| < 1e9. Used by every aTs operation.
    static void simplify(long days, long seconds, long ns, long& outSeconds, long& outNs);
    // (days, seconds, ns) -> (days, seconds, ns) of one sign, |seconds| < 86,400, |ns| < 1e9.
    static void simplify(long days, long seconds, long ns, long& outDays, long& outSeconds,
                         long& outNs);
    // The same over doubles: total seconds split into whole days, whole seconds and nanoseconds.
    static void simplify(double days, double seconds, double ns, double& outDays,
                         double& outSeconds, double& outNs);

    // The two-part form over wide intermediates; results beyond 64-bit seconds saturate.
    static void simplifyWide(__int128 days, __int128 seconds, __int128 ns, long& outSeconds,
                             long& outNs);

private:
    void scaleBy(long factor);

    long myNs = 0;
    long mySeconds = 0;
    long myDays = 0;
};
