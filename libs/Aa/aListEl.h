#pragma once

template <class T> class aList;
template <class T> class aListIter;

// One element of an aList: the item (not owned) and the links.
template <class T>
class aListEl
{
public:
    explicit aListEl(T const& data)
        : myData(data)
        , myNextEl(nullptr)
        , myPrevEl(nullptr)
    {
    }

    virtual ~aListEl() = default;

    aListEl(aListEl const&) = delete;

    virtual T Data() const { return myData; }
    virtual void Data(T const& data) { myData = data; }
    virtual void SetData(T const& data) { myData = data; }
    virtual T GetData() const { return myData; }
    virtual operator T() const { return myData; }
    virtual aListEl<T>& operator=(T const& data)
    {
        myData = data;
        return *this;
    }
    virtual bool operator==(T const& data) const { return myData == data; }
    virtual bool operator!=(T const& data) const { return !(myData == data); }
    // The previous element.
    virtual aListEl<T>* Last() const { return myPrevEl; }
    virtual aListEl<T>* Next() const { return myNextEl; }

private:
    friend class aList<T>;
    friend class aListIter<T>;

    T myData;
    aListEl<T>* myNextEl;
    aListEl<T>* myPrevEl;
};
