#include "tlObj.h"

tlObj::tlObj() = default;

tlObj::~tlObj() = default;

double tlObj::getSceneYScale() const
{
    return 1.0;
}
