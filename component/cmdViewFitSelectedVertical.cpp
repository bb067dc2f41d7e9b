#include "cmdViewFitSelectedVertical.h"

cmdViewFitSelectedVertical cmdViewFitSelectedVertical::ourInstance;

cmdViewFitSelectedVertical::cmdViewFitSelectedVertical() : cmdViewFitSelected(false, true)
{
}
