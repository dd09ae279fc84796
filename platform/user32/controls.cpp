// USER32's predefined control classes.
#include "user32_internal.h"

namespace glintwork {

void registerUser32Classes() {}

}  // namespace glintwork
