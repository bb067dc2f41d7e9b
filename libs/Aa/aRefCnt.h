#pragma once

template <class T> class aRef;

// Keeper of one object shared by a chain of aRef handles: the head of the chain and the object.
// Deleting the keeper deletes the object.
template <class T>
class aRefCnt
{
public:
    explicit aRefCnt(T* data, aRef<T>* first = nullptr)
        : myFirstRef(first)
        , myData(data)
    {
    }

    ~aRefCnt()
    {
        if (myData)
            delete myData;
    }

    aRefCnt(aRefCnt const&) = delete;
    aRefCnt& operator=(aRefCnt const&) = delete;

private:
    friend class aRef<T>;

    aRef<T>* myFirstRef;
    T* myData;
};
