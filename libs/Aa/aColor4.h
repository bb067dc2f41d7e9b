#pragma once

#include "aColor.h"
#include "aQuad.h"

// An RGBA colour of four components; the program's users keep them in 0..255 (unchecked).
template <class T> class aColor4 : public aQuad<T>, public aColor
{
public:
    aColor4() {}
    aColor4(T r_, T g_, T b_, T a_) : r(r_), g(g_), b(b_), a(a_) {}
    aColor4(aColor4 const& o) : aQuad<T>(o), aColor(o), r(o.r), g(o.g), b(o.b), a(o.a) {}
    ~aColor4() override = default;
    using aQuad<T>::operator=;
    aColor4& operator=(aColor4 const& o)
    {
        r = o.r;
        g = o.g;
        b = o.b;
        a = o.a;
        return *this;
    }

    T Element1() const override { return r; }
    T Element2() const override { return g; }
    T Element3() const override { return b; }
    T Element4() const override { return a; }
    char const* Element1Name() const override { return "r"; }
    char const* Element2Name() const override { return "g"; }
    char const* Element3Name() const override { return "b"; }
    char const* Element4Name() const override { return "a"; }
    void Element1(T const& v) override { r = v; }
    void Element2(T const& v) override { g = v; }
    void Element3(T const& v) override { b = v; }
    void Element4(T const& v) override { a = v; }

    T r, g, b, a;
};
