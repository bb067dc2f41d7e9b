#include "Ob.h"

#include "Aa.h"

ObEngine* Ob::ourEngine = nullptr;
bool Ob::ourTrace = Aa::detailedTraces();
