#pragma once

#include "ObClassTypeOf.h"
#include "ObEngine.h"
#include "ObObj.h"
#include "aRefresher.h"

#include <gtest/gtest.h>


// A model class for handles in tests.
struct TItem : ObObj
{
};

struct TOther : ObObj
{
};

// Counts the passes that dirt asks for.
struct CountingRefresher : aRefresher
{
    CountingRefresher() : aRefresher(false) {}
    void setNeedsRefresh(aRefreshContext* ctx) override
    {
        ++requests;
        aRefresher::setNeedsRefresh(ctx);
    }
    int requests = 0;
};

// A store with two registered types.
struct TStore
{
    TStore()
    {
        engine.registerType(&items);
        engine.registerType(&others);
    }
    // The types outlive the store, which resets them when it goes.
    ObClassTypeOf<TItem> items{"TItem", 1, 1};
    ObClassTypeOf<TOther> others{"TOther", 1, 1};
    ObEngine engine;
};
