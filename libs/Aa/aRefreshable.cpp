#include "aRefreshable.h"

#include "aAssert.h"
#include "aTypeName.h"

#include <typeinfo>

void aRefreshable::refresh(aRefreshContext*)
{
}

void aRefreshable::describeRefreshable(rtl::str& s) const
{
    s.set("Refreshable(%s) %p", aTypeName(typeid(*this)), static_cast<void const*>(this));
}

void aRefreshable::refresherDisconnected(aRefresher* r) const
{
    A_ASSERT(myRefresher==r);
    myRefresher = nullptr;
}

void aRefreshable::refresherConnected(aRefresher* r) const
{
    myRefresher = r;
}
