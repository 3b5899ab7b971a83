#include "app/shared_setup.h"

namespace tz {

void InitialiseSharedTables() {}

}  // namespace tz
