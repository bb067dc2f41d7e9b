#pragma once

#include "ObRecord.h"
#include "mShared.h"

// The application's attributes: the document that the system asked to open before the
// application had launched, which the launch then opens.
#define M_APP_ATTRS(A) A(rtl::str, nextDocPath, NextDocPath, {})

class mAppData : public mShared
{
    OB_RECORD(mAppData, mShared, M_APP_ATTRS)
};
