#pragma once

// The empty polymorphic root of the application object.
class ObAp
{
public:
    virtual ~ObAp() = default;
};
