#include "ObQt.h"

ObQt::ObQt() = default;

ObQt::~ObQt() = default;
