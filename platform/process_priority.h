// The scheduling priority of the program. The engine searches on the
// program's main thread, so a lower priority lets other programs run first
// while it thinks.
#pragma once

// Priority levels as the frame keeps them.
enum ProcessPriority : int { kPriorityBelowNormal = -1, kPriorityNormal = 0 };

// Gives the main thread the priority `level` and returns the level in force
// afterwards: the old one when the system refuses the change (an
// unprivileged process may lower its priority but not raise it again).
int SetProcessPriority(int level);
