#pragma once

#include "mSharedData.h"

// The application's shared record over mSharedData: nothing of its own yet either.
class mShared : public mSharedData
{};
