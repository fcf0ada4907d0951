// What a command handler (and the argument parser under it) answers, and what the section runner
// does with each answer.
#ifndef KELVADO_INTERP_HANDLER_RESULT_H
#define KELVADO_INTERP_HANDLER_RESULT_H

#include <cstdint>

// Done: the next line of the section runs.
const int32_t kGoOn = 0;
// Done, and the next section has been chosen (NEWONE posted): the section ends at once. Any
// positive result other than kRunAgain means the same.
const int32_t kSectionChosen = 1;
// Not finished: the run ends and the same line runs again at the next tick.
const int32_t kRunAgain = 2;
// Failed, with the message in ScriptError: the section ends and the program closes. Also the
// parser's answer to a missing or short argument text or a name that is no usable variable.
const int32_t kFailed = -1;
// The parser's answer to a bad type or mode letter, too many literals of one kind or a variable
// that cannot be created; a failure like kFailed.
const int32_t kFormatError = -2;

#endif
