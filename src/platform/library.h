// Loading a shared library by name and finding functions in it.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;
using FunctionAddress = void (*)();

// Null when the library cannot be loaded.
LibraryHandle loadLibrary(const char* name);
// Null when the library has no such export.
FunctionAddress findFunction(LibraryHandle library, const char* name);
// A function the running program itself exports (the harness acts as its own DSM); null if none.
FunctionAddress findProcessFunction(const char* name);
// Why the last loadLibrary or findFunction failed, for messages; empty when unknown.
std::string lastLibraryError();

}  // namespace platform
