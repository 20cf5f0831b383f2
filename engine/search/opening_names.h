// Recognition of named opening positions.
#pragma once

#include <cstdint>

// Index of the named opening whose position is on the given board, 0 none.
int32_t FindOpeningName(const int8_t* board);
