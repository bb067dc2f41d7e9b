#pragma once

// What a native macOS application must have set up around its Qt application (the Cocoa
// application and its autorelease pool). This platform needs nothing of the kind: the object
// stays so that start-up reads the same everywhere, and does nothing.
class CocoaInitializer
{
public:
    CocoaInitializer();
    ~CocoaInitializer();
    CocoaInitializer(CocoaInitializer const&) = delete;
    CocoaInitializer& operator=(CocoaInitializer const&) = delete;
};
