#pragma once

#include <utility>

// Gives a variable a value for the length of a scope and puts the old value back when the scope
// ends, whether by the end of the block, a return or a throw.
template <class T> class aTemporaryChange
{
public:
    aTemporaryChange(T& variable, T value) : myVariable(variable), myOld(std::move(variable))
    {
        myVariable = std::move(value);
    }
    ~aTemporaryChange() { myVariable = std::move(myOld); }
    aTemporaryChange(aTemporaryChange const&) = delete;
    aTemporaryChange& operator=(aTemporaryChange const&) = delete;

private:
    T& myVariable;
    T myOld;
};
