#pragma once

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>

// Puts the process in a time zone (and the C locale) for one test and restores both after.
class TzGuard
{
public:
    explicit TzGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            myHadZone = true;
            myZone = old;
        }
        myLocale = std::setlocale(LC_ALL, nullptr);
        std::setlocale(LC_ALL, "C");
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TzGuard()
    {
        if (myHadZone)
            setenv("TZ", myZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        std::setlocale(LC_ALL, myLocale.c_str());
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    bool myHadZone = false;
    std::string myZone;
    std::string myLocale;
};

// Seconds since 1970 of a UTC date and time, from the C library.
inline long utcSeconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return long(timegm(&t));
}
