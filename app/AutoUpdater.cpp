#include "AutoUpdater.h"

AutoUpdater::~AutoUpdater() = default;
