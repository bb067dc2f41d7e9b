#pragma once

// Room for what a future synchronisation of the component with another process would carry.
// Nothing reads or writes it yet.
class tlSyncContext
{
public:
    tlSyncContext() = default;
    virtual ~tlSyncContext() = default;

    void* myData = nullptr;
};
