#pragma once

// Broken invariants stop the program in every build type, naming the file, the line and the
// failed expression. Never compiled out: a model that went wrong must not reach a save.
[[noreturn]] void aAssertFail(char const* expr, char const* file, int line);

#define A_ASSERT(expr) ((expr) ? static_cast<void>(0) : ::aAssertFail(#expr, __FILE__, __LINE__))
