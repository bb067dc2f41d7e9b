#include "Ob.h"

ObEngine* Ob::ourEngine = nullptr;
bool Ob::ourTrace = true;
