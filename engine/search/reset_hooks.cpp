// Placeholders for the services of the reset whose owners (comment store,
// transposition table, game clock, learning files, game header) come later.
#include "engine/search/reset_hooks.h"

