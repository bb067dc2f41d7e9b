#pragma once

// Marks a class as a Qt object bound to the object framework.
class ObQt
{
public:
    ObQt();
    virtual ~ObQt();
};
