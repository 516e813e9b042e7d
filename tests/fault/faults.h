// Fault injection behind the platform layer: the linker sends the program's
// calls of these operations here (--wrap), and the k-th call of one of them
// can be made to fail.
#ifndef BRELK_FAULTS_H
#define BRELK_FAULTS_H

namespace faults {

enum Op { create_directory, enter_directory, copy, remove, move, next_entry, op_count };

extern const char *const names[op_count];

void reset();               // no fault armed, counts cleared
void arm(Op op, int k);     // the k-th call of op (from 1) fails
int calls(Op op);           // calls of op since reset
bool fired();               // whether the armed fault happened

}  // namespace faults

#endif
