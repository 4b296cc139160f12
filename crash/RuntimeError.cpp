// The C runtime's error handler: turns an invalid-parameter or pure-virtual-call error
// into a crash report at the place that called into the runtime. Built with frame
// pointers, which the i686 code follows one frame up.
#include "crash/CrashHandler.h"

namespace {

// The context of the function that called `OnRuntimeError`, as if it had stopped at the
// instruction after that call.
#if defined(_WIN64)
__attribute__((always_inline)) inline void CaptureCallerContext(CONTEXT& context) {
    RtlCaptureContext(&context);  // this function's own registers, then one frame up
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function) {
        PVOID handlerData = nullptr;
        DWORD64 establisherFrame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context,
                         &handlerData, &establisherFrame, nullptr);
    }
}
#else
__attribute__((always_inline)) inline void CaptureCallerContext(CONTEXT& context) {
    RtlCaptureContext(&context);
    auto frame = static_cast<DWORD*>(__builtin_frame_address(0));
    context.Ebp = frame[0];
    context.Eip = frame[1];
    context.Esp = DWORD(reinterpret_cast<uintptr_t>(frame + 2));
}
#endif

}  // namespace

__attribute__((noinline)) void __cdecl OnRuntimeError(const wchar_t*, const wchar_t*, const wchar_t*,
                                                      unsigned int, uintptr_t) {
    CONTEXT context = {};
    CaptureCallerContext(context);
    context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;

    EXCEPTION_RECORD record = {};
    record.ExceptionCode = kRuntimeErrorCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    record.ExceptionAddress = __builtin_return_address(0);
    EXCEPTION_POINTERS pointers = {&record, &context};
    HandleCrash(&pointers, kCrashTypeRuntimeError);
}
