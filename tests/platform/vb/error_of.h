// The run-time error number a call raises, or 0 when it raises none.
#pragma once

#include "vb/error.h"

namespace vb {

template <typename F>
int ErrorOf(F&& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace vb
