#include "tlCmpData.h"

tlCmpData::tlCmpData() = default;

tlCmpData::~tlCmpData() = default;
