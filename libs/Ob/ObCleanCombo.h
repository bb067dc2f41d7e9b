#pragma once

#include "ObCleanCheck.h"

#include <cstdarg>
#include <list>

// A named list of sub-checks that it owns. Its own verdict is the plain check's (false); And
// and Or give it meaning.
class ObCleanCombo : public ObCleanCheck
{
public:
    explicit ObCleanCombo(char const* name);
    ObCleanCombo(ObCleanCombo const&) = delete;
    ObCleanCombo& operator=(ObCleanCombo const&) = delete;
    ~ObCleanCombo() override;

    void add(ObCleanCheck* check);
    void getSignature(rtl::str& signature, ObDirty const* dirt) const override;

    char const* myName;
    std::list<ObCleanCheck*>* myChecks = nullptr;

protected:
    // Adds the checks of a list that ends at its first null entry.
    void addAll(ObCleanCheck* first, va_list rest);
};
