#include "controls.h"

#include "trapped_error.h"

#include <limits>

namespace gridvane {

void increment(qint16& counter)
{
    if (counter == std::numeric_limits<qint16>::max())
        throw errors::overflow();
    ++counter;
}

} // namespace gridvane
