#pragma once

// Runs its function when it goes out of scope, however that happens: a file closed, threads
// joined, on every way out of a reading or a save.
template <class F> struct AtExit
{
    F f;
    ~AtExit() { f(); }
};
template <class F> AtExit(F) -> AtExit<F>;
