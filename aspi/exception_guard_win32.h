// Calls a function of a foreign library so that an exception raised inside it (an access
// violation, RaiseException) ends only the call instead of the program.
#ifndef KELVADO_ASPI_EXCEPTION_GUARD_WIN32_H
#define KELVADO_ASPI_EXCEPTION_GUARD_WIN32_H

#include <cstdint>

// Calls fn() and stores its result: true, or false when fn raised an exception.
bool CallGuarded(uint32_t(__cdecl* fn)(), uint32_t* result);

#endif
