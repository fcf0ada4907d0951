// The copy of every directory and file of the source drive onto the card's drive, through the
// system's file functions. Directories are copied depth first: the files of a directory, then its
// subdirectories in the order the system lists them. A file already on the target is never
// overwritten; directories whose name begins with "." are passed over.
//
// A file that cannot be copied for any reason but a full target (it exists on the target, the
// system holds it open, its path does not fit the 256-byte path buffers, ...) is left out and
// the copy goes on; every file or directory left out is counted in CopyLeftOutCount and written,
// with the system's error number, as a line of the dated log "<log_dir><yyyymmdd>.log" once the
// copy has ended (every level of the log directory is made for it). A target that runs out of room, for a
// file or for a directory, ends the copy with 105, never as success. Each directory made gets
// the read-only, hidden, system and archive bits of its source once its contents are copied.
#ifndef KELVADO_ENGINE_FILE_COPY_H
#define KELVADO_ENGINE_FILE_COPY_H

#include <cstdint>

#include "engine/errors.h"

// Root of the source drive, "C:\" as the copy dialog sets it.
extern char SourceRoot[8];
// Root of the card's drive, "X:\", set by FindDriveBySerial.
extern char TargetRoot[12];

// Files and directories the last CopyAllFiles left out (0 before any copy). Written by the
// thread that copies; read it after the copy has ended.
extern int32_t CopyLeftOutCount;

// Copies every file and directory under `source_root` ("C:\", or a directory "D:\data") into the
// same path on the drive of `target_root` (its first two characters, "E:"); the target root
// itself is never created. Each file's name and target path are reported as the copy's two
// lines (engine/engine_report.h) before it is copied, and on success the text that the copy has
// finished and an empty line. Before each directory entry AbortEvent is tested: when it is set the copy stops at
// once with -9 and what was copied stays. 0 success; -9 interrupted; 105 the target is full.
// CopyLeftOutCount is reset at the start; the log is written before the copy returns, whatever
// its result. A root that is not "X:" followed by a path is left out whole (recorded) and the
// result is 0. A directory as the source gives its namesake its own attributes.
int32_t CopyAllFiles(const char* source_root, const char* target_root, const char* log_dir);

// The dated log that lists what the last CopyAllFiles left out, "<log_dir><yyyymmdd>.log"; empty
// when nothing was left out or the log could not be written. Read it after the copy has ended.
extern char CopyLeftOutLog[288];

// One directory level, recursive: makes `target_dir` (never a drive root), copies the files of
// `source_dir` into it, then each subdirectory into its namesake, and last gives it the read-only,
// hidden, system and archive bits of `attributes` (the source directory's). Both paths without a
// trailing backslash except for a drive root ("E:\"). 0, -9 or 105 as CopyAllFiles; a directory
// that cannot be made on a full target ends the copy with 105 as a file does.
int32_t CopyTree(const char* source_dir, const char* target_dir, uint32_t attributes);

#endif
