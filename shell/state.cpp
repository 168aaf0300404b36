#include "shell/state.h"

namespace shell {

ProgramState& G() {
    static ProgramState state;
    return state;
}

void ResetState() { G() = ProgramState{}; }

}  // namespace shell
