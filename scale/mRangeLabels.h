#pragma once

#include "str.h"

class mGridline;

// The label makers that several kinds of range share, with the label callback's arguments
// (gridline, seconds per pixel, text out; none uses the seconds per pixel). Labels that read the
// calendar fields write "Overflow" for a time whose local fields cannot be computed.
namespace mRangeLabels {

void labelNumber(mGridline* g, double, rtl::str& out);
void labelHour12(mGridline* g, double, rtl::str& out);
void labelDayFull(mGridline* g, double, rtl::str& out);
void labelDayAbbrev(mGridline* g, double, rtl::str& out);
void labelMonthDay(mGridline* g, double, rtl::str& out);
void labelAbbrevMonthDay(mGridline* g, double, rtl::str& out);
void labelDayOfMonth(mGridline* g, double, rtl::str& out);
void labelNanos(mGridline* g, double, rtl::str& out);
void labelSecsFraction(mGridline* g, double, rtl::str& out);
void labelSecsWhole(mGridline* g, double, rtl::str& out);
void labelMinute(mGridline* g, double, rtl::str& out);

// Tick colours by the hour of a gridline: day (7 to 18) a white background and black
// foreground, night the other way round; opaque.
void dayNightTick(int hour, bool background, int& r, int& g, int& b, int& a);

} // namespace mRangeLabels
