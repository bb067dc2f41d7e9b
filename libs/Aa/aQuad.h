#pragma once

#include <cmath>

template <class T> class aQuadVal;

// Four-component value whose arithmetic is written once against twelve element accessors;
// a derived class decides only where the elements live and what they are called.
// Arithmetic is the element type's own (for int: truncating division, no checks).
template <class T> class aQuad
{
public:
    virtual ~aQuad() = default;

    virtual aQuadVal<T> operator+(T const& k) const;
    virtual aQuadVal<T> operator+(aQuad<T> const& o) const;
    virtual void operator+=(T const& k);
    virtual void operator+=(aQuad<T> const& o);
    virtual aQuadVal<T> operator-(T const& k) const;
    virtual aQuadVal<T> operator-(aQuad<T> const& o) const;
    virtual void operator-=(T const& k);
    virtual void operator-=(aQuad<T> const& o);
    virtual aQuadVal<T> operator*(T const& k) const;
    virtual aQuadVal<T> operator*(aQuad<T> const& o) const;
    virtual void operator*=(T const& k);
    virtual void operator*=(aQuad<T> const& o);
    virtual aQuadVal<T> operator/(T const& k) const;
    virtual aQuadVal<T> operator/(aQuad<T> const& o) const;
    virtual void operator/=(T const& k);
    virtual void operator/=(aQuad<T> const& o);

    virtual T GetDot() const { return Element1() * Element1() + Element2() * Element2() + Element3() * Element3() + Element4() * Element4(); }
    virtual T GetSum() const { return Element1() + Element2() + Element3() + Element4(); }
    virtual T GetProduct() const { return Element1() * Element2() * Element3() * Element4(); }
    virtual T GetLength() const { return static_cast<T>(std::sqrt(static_cast<double>(GetDot()))); }
    virtual void Normalize() { *this = *this / GetLength(); }

    virtual bool operator==(T const& k) const { return Element1() == k && Element2() == k && Element3() == k && Element4() == k; }
    virtual bool operator==(aQuad<T> const& o) const { return Element1() == o.Element1() && Element2() == o.Element2() && Element3() == o.Element3() && Element4() == o.Element4(); }
    virtual bool operator==(aQuad<T> const* o) const { return *this == *o; }

    virtual void operator=(T const& k) { Set(k); }
    virtual void operator=(aQuad<T> const& o) { Set(o); }
    virtual void Set(T const& k) { Set(k, k, k, k); }
    virtual void Set(T const& a, T const& b, T const& c, T const& d) { Element1(a); Element2(b); Element3(c); Element4(d); }
    virtual void Set(aQuad<T> const& o) { Set(o.Element1(), o.Element2(), o.Element3(), o.Element4()); }
    virtual void Get(aQuad<T>& o) const { o.Set(Element1(), Element2(), Element3(), Element4()); }
    virtual void Get(T& a, T& b, T& c, T& d) const { a = Element1(); b = Element2(); c = Element3(); d = Element4(); }

    virtual T Element1() const = 0;
    virtual T Element2() const = 0;
    virtual T Element3() const = 0;
    virtual T Element4() const = 0;
    virtual char const* Element1Name() const = 0;
    virtual char const* Element2Name() const = 0;
    virtual char const* Element3Name() const = 0;
    virtual char const* Element4Name() const = 0;
    virtual void Element1(T const& v) = 0;
    virtual void Element2(T const& v) = 0;
    virtual void Element3(T const& v) = 0;
    virtual void Element4(T const& v) = 0;

protected:
    aQuad() = default;
    aQuad(aQuad const&) = default;
};

#include "aQuadVal.h"

#define A_QUAD_OPERATOR(op, opAssign)                                                              \
    template <class T> aQuadVal<T> aQuad<T>::operator op(T const& k) const                         \
    {                                                                                              \
        return aQuadVal<T>(Element1() op k, Element2() op k, Element3() op k, Element4() op k);    \
    }                                                                                              \
    template <class T> aQuadVal<T> aQuad<T>::operator op(aQuad<T> const& o) const                  \
    {                                                                                              \
        return aQuadVal<T>(Element1() op o.Element1(), Element2() op o.Element2(),                 \
                           Element3() op o.Element3(), Element4() op o.Element4());                \
    }                                                                                              \
    template <class T> void aQuad<T>::operator opAssign(T const& k)                                \
    {                                                                                              \
        Element1(Element1() op k);                                                                 \
        Element2(Element2() op k);                                                                 \
        Element3(Element3() op k);                                                                 \
        Element4(Element4() op k);                                                                 \
    }                                                                                              \
    template <class T> void aQuad<T>::operator opAssign(aQuad<T> const& o)                         \
    {                                                                                              \
        Element1(Element1() op o.Element1());                                                      \
        Element2(Element2() op o.Element2());                                                      \
        Element3(Element3() op o.Element3());                                                      \
        Element4(Element4() op o.Element4());                                                      \
    }

A_QUAD_OPERATOR(+, +=)
A_QUAD_OPERATOR(-, -=)
A_QUAD_OPERATOR(*, *=)
A_QUAD_OPERATOR(/, /=)

#undef A_QUAD_OPERATOR
