// Fault guard. The guard frame's exception handler, reached only when no handler inside
// took the exception, points the faulting thread at a small routine that jumps back into
// RunGuarded (GCC's __builtin_longjmp: no unwinding, no C runtime). It does not jump
// from inside the handler: execution resumes normally first, so the system's exception
// dispatch is finished and nothing it holds stays behind.
#include "crash/FaultGuard.h"

#include <windows.h>
#include <stdint.h>

namespace {
// Flags of a handler call that is an unwind, not an exception to handle.
constexpr DWORD kUnwindFlags = 0x2 | 0x4 | 0x20 | 0x40;
// Room left between the guard frame and the stack the resumed routine uses.
constexpr uintptr_t kResumeGap = 256;
}  // namespace

// Resumes RunGuarded. Entered by the handler with the jump buffer in the first argument
// register (fastcall on i686, the only convention on x86_64).
#if defined(_WIN64)
extern "C" [[noreturn]] void ZindleGuardResume(void** jump) {
    __builtin_longjmp(jump, 1);
}
#else
extern "C" [[noreturn]] void __attribute__((fastcall)) ZindleGuardResume(void** jump) {
    __builtin_longjmp(jump, 1);
}
#endif

#if defined(_WIN64)

// The guard frame: calls body(arg) with the jump buffer kept at frame + 32 (above the
// callee's home area), and names ZindleGuardHandler as its handler in its unwind data.
extern "C" void ZindleGuardedCall(void (*body)(void*), void* arg, void** jump);
asm(R"(
    .text
    .globl ZindleGuardedCall
    .def ZindleGuardedCall; .scl 2; .type 32; .endef
    .seh_proc ZindleGuardedCall
ZindleGuardedCall:
    subq $56, %rsp
    .seh_stackalloc 56
    .seh_endprologue
    movq %r8, 32(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx
    call *%rax
    nop
    addq $56, %rsp
    ret
    .seh_handler ZindleGuardHandler, @except
    .seh_endproc
)");

namespace {
void** JumpBufferOf(void* frame) {
    return *reinterpret_cast<void***>(static_cast<char*>(frame) + 32);
}

// Makes the thread continue in ZindleGuardResume(jump) on the stack at `stack`, as if
// that routine had just been called.
void ResumeAt(CONTEXT* context, uintptr_t stack, void** jump) {
    context->Rsp = stack - 8;
    context->Rip = reinterpret_cast<DWORD64>(&ZindleGuardResume);
    context->Rcx = reinterpret_cast<DWORD64>(jump);
}

void EnterGuard(void (*body)(void*), void* arg, void** jump) {
    ZindleGuardedCall(body, arg, jump);
}
}  // namespace

#else  // i686: a registration record on the stack, linked into the chain at fs:[0]

extern "C" EXCEPTION_DISPOSITION __cdecl ZindleGuardHandler(EXCEPTION_RECORD*, void*, CONTEXT*, void*);

namespace {
struct GuardRecord {
    GuardRecord* next;
    void* handler;
    void** jump;
};

void* ReadHandlerChain() {
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void WriteHandlerChain(void* head) {
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

void** JumpBufferOf(void* frame) {
    return static_cast<GuardRecord*>(frame)->jump;
}

void ResumeAt(CONTEXT* context, uintptr_t stack, void** jump) {
    context->Esp = stack - 4;
    context->Eip = reinterpret_cast<DWORD>(&ZindleGuardResume);
    context->Ecx = reinterpret_cast<DWORD>(jump);
}

__attribute__((noinline)) void EnterGuard(void (*body)(void*), void* arg, void** jump) {
    GuardRecord record;
    record.handler = reinterpret_cast<void*>(&ZindleGuardHandler);
    record.jump = jump;
    record.next = static_cast<GuardRecord*>(ReadHandlerChain());
    WriteHandlerChain(&record);
    body(arg);
    WriteHandlerChain(record.next);
}
}  // namespace

#endif

// The guard frame's handler. `frame` is the guard frame (x86_64) or its registration
// record (i686); the stack below it belongs to abandoned frames and may be reused.
extern "C" EXCEPTION_DISPOSITION __cdecl ZindleGuardHandler(EXCEPTION_RECORD* record, void* frame,
                                                           CONTEXT* context, void* /*dispatch*/) {
    if (record->ExceptionFlags & kUnwindFlags) return ExceptionContinueSearch;
    uintptr_t stack = (reinterpret_cast<uintptr_t>(frame) - kResumeGap) & ~uintptr_t(15);
    ResumeAt(context, stack, JumpBufferOf(frame));
    // Execution goes on elsewhere, so even a non-continuable exception may resume.
    record->ExceptionFlags &= ~DWORD(EXCEPTION_NONCONTINUABLE);
    return ExceptionContinueExecution;
}

bool RunGuarded(void (*body)(void*), void* arg) {
    void* jump[5];
#if !defined(_WIN64)
    // After a fault the chain may still name records of abandoned frames.
    void* volatile chain = ReadHandlerChain();
#endif
    if (__builtin_setjmp(jump) != 0) {
#if !defined(_WIN64)
        WriteHandlerChain(chain);
#endif
        return false;
    }
    EnterGuard(body, arg, jump);
    return true;
}
