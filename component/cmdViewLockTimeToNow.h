#pragma once

#include "ObCmd.h"
#include "tlObj.h"

// "Lock To Now" (checkable, and the control panel's lock button): locking centres the view on
// the current time, which it then follows; unlocking only lets go. Checked while locked.
class cmdViewLockTimeToNow : public ObCmd, public tlObj
{
public:
    bool isActiveTest() const override;
    bool isCheckedTest() const override;
    bool cmdAction() override;

    static cmdViewLockTimeToNow ourInstance;
};
