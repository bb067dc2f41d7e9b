#include "uiEngine.h"

uiEngine::~uiEngine() = default;
