#include "ObCleanCombo.h"

ObCleanCombo::ObCleanCombo(char const* name) : myName(name)
{
}

ObCleanCombo::~ObCleanCombo()
{
    if (!myChecks)
        return;
    for (ObCleanCheck* check : *myChecks)
        delete check;
    delete myChecks;
}

void ObCleanCombo::add(ObCleanCheck* check)
{
    if (!myChecks)
        myChecks = new std::list<ObCleanCheck*>;
    myChecks->push_back(check);
}

void ObCleanCombo::addAll(ObCleanCheck* first, va_list rest)
{
    for (ObCleanCheck* check = first; check; check = va_arg(rest, ObCleanCheck*))
        add(check);
}

void ObCleanCombo::getSignature(rtl::str& signature, ObDirty const* dirt) const
{
    signature.set("%s(", myName);
    if (myChecks) {
        bool first = true;
        for (ObCleanCheck const* check : *myChecks) {
            if (!first)
                signature += ",";
            first = false;
            rtl::str sub;
            if (check)
                check->getSignature(sub, dirt);
            signature += sub.cs();
        }
    }
    signature += ")";
}
