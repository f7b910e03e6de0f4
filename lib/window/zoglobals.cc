#include "lib/window/zoglobals.h"

int scrollbarsize = 15;
int bottommargin = 20;
int dragaccept = 0;
