#include "core/module1.h"

namespace velnor {}  // namespace velnor
