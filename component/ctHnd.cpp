#include "ctHnd.h"

ctHnd::~ctHnd() = default;

void ctHnd::setHandful(ctHandful* handful)
{
    myHandful = handful;
    raiseDirt(handful ? DirtNewHandful : DirtClearHandful);
}

void ctHnd::clearHandful()
{
    myHandful = nullptr;
    raiseDirt(DirtClearHandful);
}

void ctHnd::registerMousePress(void* item, double x, double y) const
{
    myPresses.clear();
    myPresses[item] = {x, y};
}

bool ctHnd::getMousePressed(void* item, double& x, double& y) const
{
    auto const it = myPresses.find(item);
    if (it == myPresses.end())
        return false;
    x = it->second.first;
    y = it->second.second;
    return true;
}

void ctHnd::clearMousePresses(void*) const
{
    myPresses.clear();
}
