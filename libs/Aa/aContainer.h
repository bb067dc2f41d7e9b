#pragma once

template <class T> class aIter;

// Anything that can count its items and hand out an iterator over them.
template <class T>
class aContainer
{
public:
    virtual ~aContainer() = default;
    virtual int Length() const = 0;
    // A new heap iterator, owned by the caller.
    virtual aIter<T>* NewIter() const = 0;
};
