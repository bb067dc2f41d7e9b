#include "ObQtUi.h"

ObQtUi::~ObQtUi() = default;
