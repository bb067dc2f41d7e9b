#pragma once

// Root of the classes whose objects are owned and deleted through a base pointer: the virtual
// destructor makes such a delete run the most-derived destructor.
class aObj
{
public:
    aObj() = default;
    aObj(aObj const&) = default;
    aObj& operator=(aObj const&) = default;
    virtual ~aObj();
};
