#include "engine/search/search_tables.h"

#include <cstring>

uint32_t historyTable[15][172 * 172];
uint32_t followPv;
int32_t iterationDepth;
int32_t ponderMove;

void ClearHistoryTables() { std::memset(historyTable, 0, sizeof historyTable); }
