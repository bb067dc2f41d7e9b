#include "aObj.h"

aObj::~aObj() = default;
