#include "ctHandful.h"

ctHandful::~ctHandful() = default;
