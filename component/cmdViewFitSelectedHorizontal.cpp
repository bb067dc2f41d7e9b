#include "cmdViewFitSelectedHorizontal.h"

cmdViewFitSelectedHorizontal cmdViewFitSelectedHorizontal::ourInstance;

cmdViewFitSelectedHorizontal::cmdViewFitSelectedHorizontal() : cmdViewFitSelected(true, false)
{
}
