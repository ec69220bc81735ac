#pragma once

#include <exception>

namespace gridvane {

// The page check and the alert guard each step on its own: a failing step (the program's own
// failure, or one from the library such as a failed allocation) is skipped and the run goes on.
template <typename Step> void guarded(Step step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace gridvane
