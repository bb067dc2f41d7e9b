#include "ctHandfulEvents.h"

ctHandfulEvents::ctHandfulEvents(Obh, double grabX, double grabY) : ctHandful(grabX, grabY)
{
}

ctHandfulEvents::~ctHandfulEvents() = default;

void ctHandfulEvents::returnEventsToOrigLocations()
{
}
