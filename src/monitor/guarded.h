#pragma once

#include "trapped_error.h"

#include <exception>

namespace gridvane {

// The page check and the alert guard each step on its own: a failing step (the program's own
// failure, or one from the library such as a failed allocation) is skipped and the run goes on.
template <typename Step> void guarded(Step step)
{
    try {
        step();
    } catch (const TrappedError&) {
    } catch (const std::exception&) {
    }
}

// A failing test acts as if it held, so the steps it governs still run.
template <typename Test> bool holds(Test test)
{
    try {
        return test();
    } catch (const TrappedError&) {
        return true;
    } catch (const std::exception&) {
        return true;
    }
}

} // namespace gridvane
