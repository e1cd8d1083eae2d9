#include "host_awareness.h"

#include <windows.h>

namespace tarnwick::wine {

namespace {

template <class F>
F lookUp(const wchar_t* module, const char* name) {
    HMODULE m = LoadLibraryW(module);
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

}  // namespace

std::string hostAwareness() {
    using ProcessAwareness = HRESULT(WINAPI*)(HANDLE, int*);
    using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using ContextAwareness = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    static const auto process = lookUp<ProcessAwareness>(L"shcore.dll", "GetProcessDpiAwareness");
    static const auto thread = lookUp<ThreadContext>(L"user32.dll", "GetThreadDpiAwarenessContext");
    static const auto awareness =
        lookUp<ContextAwareness>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
    int ofProcess = -1, ofThread = -1;
    if (process && FAILED(process(nullptr, &ofProcess))) ofProcess = -1;
    if (thread && awareness) ofThread = awareness(thread());
    return "process " + std::to_string(ofProcess) + ", thread " + std::to_string(ofThread);
}

}  // namespace tarnwick::wine
