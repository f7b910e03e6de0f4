// Process-wide values shared by the window, its bars and the tree view.
#pragma once

extern int scrollbarsize;  // 15: thickness of a scroll bar in pixels
extern int bottommargin;   // 20: pixels kept free below the bottom bar
extern int dragaccept;     // 0: drag, dock and undock requests are refused
