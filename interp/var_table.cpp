#include "interp/var_table.h"

#include <cstring>
#include <cstdlib>

#include "platform/text.h"

struct VarNode {
  VarRecord record;
  VarNode* left;   // names below this one
  VarNode* right;  // names above this one
};

static VarNode* root = nullptr;
// The nodes with the lowest and the highest name. A name below every other one always ends up
// as the left child of the lowest node, whatever path leads there (and a name above all as the
// right child of the highest), so these two spare the walk down a chain when names come in
// rising or falling order, the way counters and numbered names do. The tree's shape is the one
// that walking from the root gives.
static VarNode* lowest = nullptr;
static VarNode* highest = nullptr;
static int32_t count = 0;

// strcmp compares as unsigned characters.
static int Compare(const char* a, const char* b) { return std::strcmp(a, b); }

VarRecord* VarFind(const char* name) {
  if (root == nullptr) return nullptr;
  int above_highest = Compare(name, highest->record.name);
  if (above_highest >= 0) return above_highest == 0 ? &highest->record : nullptr;
  int below_lowest = Compare(name, lowest->record.name);
  if (below_lowest <= 0) return below_lowest == 0 ? &lowest->record : nullptr;
  VarNode* node = root;
  while (node != nullptr) {
    int order = Compare(name, node->record.name);
    if (order == 0) return &node->record;
    node = order < 0 ? node->left : node->right;
  }
  return nullptr;
}

// The link where a node of this name belongs, or nullptr when the name is present.
static VarNode** FindPlace(const char* name) {
  if (root == nullptr) return &root;
  int above_highest = Compare(name, highest->record.name);
  if (above_highest > 0) return &highest->right;
  int below_lowest = Compare(name, lowest->record.name);
  if (below_lowest < 0) return &lowest->left;
  if (above_highest == 0 || below_lowest == 0) return nullptr;
  VarNode** link = &root;
  while (*link != nullptr) {
    int order = Compare(name, (*link)->record.name);
    if (order == 0) return nullptr;
    link = order < 0 ? &(*link)->left : &(*link)->right;
  }
  return link;
}

// Adds an empty record of the given kind; sets *added to it (nullptr when the name was there).
static int32_t AddRecord(const char* name, int32_t kind, VarRecord** added) {
  *added = nullptr;
  char key[256];
  TextCopy(key, sizeof key, name);
  VarNode** link = FindPlace(key);
  if (link == nullptr) return 0;
  VarNode* node = static_cast<VarNode*>(std::calloc(1, sizeof(VarNode)));
  if (node == nullptr) return -2;
  std::memcpy(node->record.name, key, sizeof key);
  node->record.kind = kind;
  *link = node;
  if (lowest == nullptr || Compare(key, lowest->record.name) < 0) lowest = node;
  if (highest == nullptr || Compare(key, highest->record.name) > 0) highest = node;
  ++count;
  *added = &node->record;
  return 0;
}

int32_t VarAddInteger(const char* name, int32_t value) {
  VarRecord* record;
  int32_t result = AddRecord(name, kVarInteger, &record);
  if (record != nullptr) record->integer_value = value;
  return result;
}

int32_t VarAddReal(const char* name, double value) {
  VarRecord* record;
  int32_t result = AddRecord(name, kVarReal, &record);
  if (record != nullptr) record->real_value = value;
  return result;
}

int32_t VarAddString(const char* name, const char* text) {
  VarRecord* record;
  int32_t result = AddRecord(name, kVarString, &record);
  if (record != nullptr) TextCopy(record->string_value, sizeof record->string_value, text);
  return result;
}

// In order without recursion or a stack: each node's in-order predecessor lends its empty right
// link as the way back up (threading), and the link is emptied again on the way back.
void VarTableForEach(VarVisitor visit, void* context) {
  VarNode* node = root;
  while (node != nullptr) {
    if (node->left == nullptr) {
      visit(node->record, context);
      node = node->right;
      continue;
    }
    VarNode* before = node->left;
    while (before->right != nullptr && before->right != node) before = before->right;
    if (before->right == nullptr) {
      before->right = node;
      node = node->left;
    } else {
      before->right = nullptr;
      visit(node->record, context);
      node = node->right;
    }
  }
}

int32_t VarCount() { return count; }

// Rotates every left child up until the root has none, frees the root and goes on with its
// right subtree: no recursion and no memory beyond the tree itself.
void VarTableRelease() {
  VarNode* node = root;
  while (node != nullptr) {
    if (node->left != nullptr) {
      VarNode* left = node->left;
      node->left = left->right;
      left->right = node;
      node = left;
    } else {
      VarNode* right = node->right;
      std::free(node);
      node = right;
    }
  }
  root = lowest = highest = nullptr;
  count = 0;
}
