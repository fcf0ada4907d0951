// The driver in kelvado.exe: "WNASPI32.DLL" loaded with LoadLibraryA, and its entry points
// called so that an exception raised inside the foreign library (an access violation,
// RaiseException) ends only the call instead of the program.
#include <windows.h>
#include <cstdint>

#include "aspi/aspi.h"
#include "aspi/aspi_driver.h"

// Calls fn() and stores its result: true, or false when fn raised an exception.
static bool CallGuarded(uint32_t(__cdecl* fn)(), uint32_t* result);

// On i686 the guard is a structured exception handling frame of the 32-bit Windows kind, built
// by hand because GCC has no __try/__except: a registration record on the stack, linked in at
// fs:[0] for the time of the call.
//
//   record + 0   the previous record (fs:[0] before the call)
//   record + 4   the handler
//   record + 8   ebp of the guarded call
//   record + 12  where to resume after an exception
//
// The handler answers only the first pass of a dispatch: it unwinds every frame above its own
// with RtlUnwind (their handlers see the unwind, fs:[0] becomes this record), then returns to the
// resume point with the stack of the guarded call. Unwind passes are left to search on. This is
// what an __except block does, so it holds for non-continuable exceptions too.
//
// On x86_64 (the 64-bit twin) exception handling is table-based: the calling function carries
// unwind information naming its own handler (.seh_handler), and the handler does what an __except
// block does there, RtlUnwindEx to the guarded frame and on at the resume point.
extern "C" uint32_t __cdecl kelvado_call_guarded(uint32_t(__cdecl* fn)(), uint32_t* result);

#if defined(_WIN64)

extern "C" void kelvado_guard_resume();

extern "C" EXCEPTION_DISPOSITION kelvado_guard_handler(EXCEPTION_RECORD* record, void* frame,
                                                       CONTEXT* context,
                                                       DISPATCHER_CONTEXT* dispatch) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    return ExceptionContinueSearch;
  }
  RtlUnwindEx(frame, reinterpret_cast<void*>(&kelvado_guard_resume), record, nullptr, context,
              dispatch->HistoryTable);
  return ExceptionContinueSearch;  // not reached: the unwind resumes in the guarded frame
}

asm(R"(
    .text
    .globl  kelvado_call_guarded
    .globl  kelvado_guard_resume
    .def    kelvado_call_guarded; .scl 2; .type 32; .endef
    .p2align 4
    .seh_proc kelvado_call_guarded
kelvado_call_guarded:
    pushq   %rbx
    .seh_pushreg %rbx
    subq    $32, %rsp               # the callee's shadow space; rsp stays 16-byte aligned
    .seh_stackalloc 32
    .seh_endprologue
    .seh_handler kelvado_guard_handler, @except
    movq    %rdx, %rbx              # where the result goes
    callq   *%rcx
    movl    %eax, (%rbx)
    movl    $1, %eax
    jmp     1f
kelvado_guard_resume:               # after an exception: rsp and rbx as in the body above
    xorl    %eax, %eax
1:  addq    $32, %rsp
    popq    %rbx
    ret
    .seh_endproc
)");

#else

asm(R"(
    .text
    .p2align 4
_kelvado_guard_handler:
    movl    4(%esp), %eax           # the exception record
    testl   $6, 4(%eax)             # ExceptionFlags: EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND
    jnz     1f
    pushl   $0                      # return value
    pushl   %eax                    # exception record
    pushl   $0                      # target ip (unused on x86)
    pushl   20(%esp)                # target frame: this record
    call    _RtlUnwind@16
    movl    8(%esp), %esp           # back on the guarded call's stack, at the record
    movl    8(%esp), %ebp
    jmp     *12(%esp)
1:  movl    $1, %eax                # ExceptionContinueSearch
    ret

    .globl  _kelvado_call_guarded
    .p2align 4
_kelvado_call_guarded:
    pushl   %ebp
    movl    %esp, %ebp
    pushl   %ebx
    pushl   %esi
    pushl   %edi
    pushl   $2f                     # resume point
    pushl   %ebp
    pushl   $_kelvado_guard_handler
    pushl   %fs:0
    movl    %esp, %fs:0
    call    *8(%ebp)
    movl    12(%ebp), %ecx
    movl    %eax, (%ecx)
    movl    $1, %eax
    jmp     3f
2:  xorl    %eax, %eax
3:  leal    -28(%ebp), %esp         # the record, whatever the callee did to esp
    movl    (%esp), %ecx
    movl    %ecx, %fs:0
    addl    $16, %esp
    popl    %edi
    popl    %esi
    popl    %ebx
    popl    %ebp
    ret
)");

#endif

static bool CallGuarded(uint32_t(__cdecl* fn)(), uint32_t* result) {
  return kelvado_call_guarded(fn, result) != 0;
}

// The driver seam in kelvado.exe: "WNASPI32.DLL", loaded at run time.
GetASPI32SupportInfoFunction DriverSupportInfoEntry = nullptr;
SendASPI32CommandFunction DriverSendCommandEntry = nullptr;

static HMODULE AspiLibrary = NULL;

int32_t DriverLibraryLoad() {
  AspiLibrary = LoadLibraryA("WNASPI32.DLL");
  if (AspiLibrary == NULL) return kAspiNoLibrary;
  DriverSupportInfoEntry = reinterpret_cast<GetASPI32SupportInfoFunction>(
      reinterpret_cast<void*>(GetProcAddress(AspiLibrary, "GetASPI32SupportInfo")));
  DriverSendCommandEntry = reinterpret_cast<SendASPI32CommandFunction>(
      reinterpret_cast<void*>(GetProcAddress(AspiLibrary, "SendASPI32Command")));
  if (DriverSupportInfoEntry == nullptr || DriverSendCommandEntry == nullptr) {
    DriverLibraryFree(false);
    return kAspiNoEntryPoints;
  }
  return 0;
}

void DriverLibraryFree(bool keep_mapped) {
  if (AspiLibrary != NULL && !keep_mapped) FreeLibrary(AspiLibrary);
  AspiLibrary = NULL;
  DriverSupportInfoEntry = nullptr;
  DriverSendCommandEntry = nullptr;
}

bool DriverSupportInfo(uint32_t* info) { return CallGuarded(DriverSupportInfoEntry, info); }
