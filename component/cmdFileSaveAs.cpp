#include "cmdFileSaveAs.h"

cmdFileSaveAs cmdFileSaveAs::ourInstance;

cmdFileSaveAs::cmdFileSaveAs() : cmdFileSave(true)
{
}
