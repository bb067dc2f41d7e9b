#pragma once

// A signed length of time in days, hours, minutes and seconds, with an English text form.
// A positive time has every part >= 0 and sign 1, a negative one every part <= 0 and sign -1.
// Also home of the local-time statics of the calendar.
class aTime
{
public:
    // Making one; the parts are normalised to one sign.
    aTime();
    aTime(int days, int hours, int minutes, double seconds);
    aTime(double days, double hours, double minutes, double seconds);
    aTime(aTime const& other);
    virtual ~aTime();
    // Parts that already form a valid positive or negative time are kept as given; others
    // are normalised.
    virtual void Set(double days, double hours, double minutes, double seconds);
    virtual void Set(int days, int hours, int minutes, double seconds);

    // Reading it: the parts signed, or as sizes and a sign, and the English text.
    virtual void GetUnsigned(int* days, int* hours, int* minutes, double* seconds, int* sign) const;
    virtual void Get(int* days, int* hours, int* minutes, double* seconds, int* sign) const;
    virtual operator char const*() const;
    virtual char const* GetString() const;
    virtual int GetDays() const;
    virtual int GetHours() const;
    virtual int GetMinutes() const;
    virtual double GetSeconds() const;
    virtual int GetSign() const;
    virtual double AsSeconds() const;

    // Arithmetic and order; every result is normalised again.
    aTime& operator=(aTime const& other);
    virtual aTime& operator+=(aTime const& other);
    virtual aTime& operator-=(aTime const& other);
    virtual aTime& operator/=(double divisor);
    virtual aTime& operator/=(int divisor);
    virtual aTime& operator*=(double factor);
    virtual aTime& operator*=(int factor);
    virtual aTime operator+(aTime const& other) const;
    virtual aTime operator-(aTime const& other) const;
    virtual aTime operator*(int factor) const;
    virtual aTime operator*(float factor) const;
    virtual aTime operator*(double factor) const;
    virtual aTime operator/(int divisor) const;
    virtual aTime operator/(float divisor) const;
    virtual aTime operator/(double divisor) const;
    virtual bool operator==(aTime const& other) const;
    virtual bool operator<=(aTime const& other) const;
    virtual bool operator<(aTime const& other) const;
    virtual bool operator>=(aTime const& other) const;
    virtual bool operator>(aTime const& other) const;

    // Normalisation: a time given in any mix of parts (fractions move down into the smaller
    // parts) becomes days, hours 0-23, minutes 0-59 and seconds [0, 60), all of one sign.
    static void Simplify(double days, double hours, double minutes, double seconds, int* D, int* H,
                         int* M, double* S, int* sign);
    // Moves whole bases from the higher unit into the lower one until amount is covered.
    static void Borrow(double base, double amount, double& higher, double& lower);

    // The machine's local clock: the current time in seconds since 1970, and its fields.
    static long GetLocalSecondsSince1970();
    // localtime of the seconds: year, month 1-12, day of year 1-366, day, weekday 1-7
    // (Sunday 1), hour, minute, second. Null pointers are skipped.
    static void LocalSecondsSince1970ToLocalTime(long seconds, int* year, int* month,
                                                 int* dayOfYear, int* day, int* weekday, int* hour,
                                                 int* minute, int* second);
    static void GetLocalTime(int* year, int* month, int* dayOfYear, int* day, int* weekday,
                             int* hour, int* minute, int* second);

protected:
    mutable char myText[64];
    int mySign = 1;
    int myDays = 0;
    int myHours = 0;
    int myMinutes = 0;
    double mySeconds = 0;
};
