#include "CocoaInitializer.h"

CocoaInitializer::CocoaInitializer() = default;

CocoaInitializer::~CocoaInitializer() = default;
