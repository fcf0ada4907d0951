// A card read back compared with the tree that was written onto it.
#ifndef KELVADO_FAT_COMPARE_H
#define KELVADO_FAT_COMPARE_H

#include <string>
#include <vector>

#include "fat/tree.h"

// Compares the card's tree with the planned source tree: the same entries (names; short names
// as planned), directories, sizes, attributes, write times and bytes. Each difference is appended
// to `differences` as "PATH: what"; the progress bar follows the bytes compared.
void CompareTrees(const TreeNode& source, TreeSource* source_bytes, const TreeNode& card,
                  TreeSource* card_bytes, std::vector<std::string>* differences);

// The status text of the comparison.
extern const char kStatusVerifyFiles[];

#endif
