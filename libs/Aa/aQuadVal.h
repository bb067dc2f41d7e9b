#pragma once

#include "aQuad.h"

// The plain four-element value that quad arithmetic returns.
template <class T> class aQuadVal : public aQuad<T>
{
public:
    aQuadVal(T const& a, T const& b, T const& c, T const& d) : val{a, b, c, d} {}
    aQuadVal(aQuadVal const& o) : aQuad<T>(o), val{o.val[0], o.val[1], o.val[2], o.val[3]} {}
    ~aQuadVal() override = default;
    using aQuad<T>::operator=;
    aQuadVal& operator=(aQuadVal const& o)
    {
        this->Set(o);
        return *this;
    }

    T Element1() const override { return val[0]; }
    T Element2() const override { return val[1]; }
    T Element3() const override { return val[2]; }
    T Element4() const override { return val[3]; }
    char const* Element1Name() const override { return "val[0]"; }
    char const* Element2Name() const override { return "val[1]"; }
    char const* Element3Name() const override { return "val[2]"; }
    char const* Element4Name() const override { return "val[3]"; }
    void Element1(T const& v) override { val[0] = v; }
    void Element2(T const& v) override { val[1] = v; }
    void Element3(T const& v) override { val[2] = v; }
    void Element4(T const& v) override { val[3] = v; }

    T val[4];
};
