#pragma once

#include "ObObj.h"

// The bottom layer of the application's record: it holds nothing of its own yet.
class mSharedData : public ObObj
{};
