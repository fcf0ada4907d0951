// kelvado-card transfer SOURCE TARGET [--size MIB] [--fat16|--fat32] [--check] [--keep-serial]
//                                      [--yes]
//
// Makes the card the wizard makes (geometry, one bootable partition, FAT16 or FAT32, the engine's
// boot records; --check for the surface check) on TARGET, an image file or a block device, puts
// SOURCE onto it, a folder or an image of a FAT12/16/32 volume (bare, or a whole disk with a
// master boot record), reads the whole card back and compares it with SOURCE.
//
// Exit status 0 only when everything was written and verified; 1 when an entry was left out, the
// card differs from the source, the device was refused or anything failed; 2 for a wrong command
// line.
#ifndef KELVADO_TOOLS_CARD_TRANSFER_H
#define KELVADO_TOOLS_CARD_TRANSFER_H

// The command's usage lines.
extern const char kTransferUsage[];

// argv[2] is SOURCE, argv[3] TARGET, the options follow.
int TransferCommand(int argc, char** argv);

#endif
