#pragma once

// The program's own tags in time formats, expanded by aTs::strfTime before strftime sees the
// format. Case-sensitive; replaced at every occurrence, in the order of All.
struct TsFormatTag
{
    // The fraction of the second with 1 to 9 digits, from the decimal point on.
    static constexpr const char* U1 = "<U1>";
    static constexpr const char* U2 = "<U2>";
    static constexpr const char* U3 = "<U3>";
    static constexpr const char* U4 = "<U4>";
    static constexpr const char* U5 = "<U5>";
    static constexpr const char* U6 = "<U6>";
    static constexpr const char* U7 = "<U7>";
    static constexpr const char* U8 = "<U8>";
    static constexpr const char* U9 = "<U9>";
    static constexpr const char* Year = "<Y>";         // the year, however long
    static constexpr const char* WeekdayInitial = "<W>";
    static constexpr const char* AmPmLetter = "<p>";   // "a" or "p"
    static constexpr const char* AmPm = "<P>";         // "am" or "pm"
    static constexpr const char* MonthInitial = "<M>";
    static constexpr const char* DayOrdinal = "<d>";   // 1st, 2nd, 3rd, 4th, ...

    static constexpr const char* All[] = {U1, U2, U3, U4, U5, U6, U7, U8, U9, Year,
                                          WeekdayInitial, AmPmLetter, AmPm, MonthInitial, DayOrdinal};
};
