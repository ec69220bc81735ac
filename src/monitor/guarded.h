#pragma once

namespace gridvane {

// The page check and the alert guard each step on its own: a failing step is skipped and
// the run goes on.
template <typename Step> void guarded(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

// A failing test acts as if it held, so the steps it governs still run.
template <typename Test> bool holds(Test test)
{
    try {
        return test();
    } catch (...) {
        return true;
    }
}

} // namespace gridvane
