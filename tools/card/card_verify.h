// kelvado-card verify CARD [--against SOURCE]
//
// Judges a card, an image file or a disk opened read-only (nothing is ever written, so nothing is
// asked), for what matters to it: whether it will boot the Windows 95/98 system it holds
// (tools/card/card_inspection.h), and with --against whether it holds SOURCE (a folder, an image or a
// disk, read as kelvado-card transfer reads it) as transfer would have written it. One line per
// part with its verdict, then the last line.
//
// Exit status 0 only when the card will boot the system it holds (and holds SOURCE); 1 when it
// will not, with the reasons; 2 for a wrong command line.
#ifndef KELVADO_TOOLS_CARD_VERIFY_H
#define KELVADO_TOOLS_CARD_VERIFY_H

// The command's usage lines.
extern const char kVerifyUsage[];

// argv[2] is CARD, the options follow.
int VerifyCommand(int argc, char** argv);

#endif
