#include "query/liststate.h"

std::int32_t selectedline = 0;
std::int32_t selectedobject = 0;
std::int32_t currentobject = 0;
bool surroundingresult = false;
