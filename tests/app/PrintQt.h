#pragma once

#include <QPoint>
#include <QRect>

#include <ostream>

// Points and rectangles in a failed check read as numbers, not as bytes.
inline void PrintTo(QPoint const& p, std::ostream* os)
{
    *os << "(" << p.x() << ", " << p.y() << ")";
}

inline void PrintTo(QRect const& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
