// Services of the game record and the search that the new-game reset calls.
// Each does nothing until its owner exists.
#pragma once

#include "engine/search/learning.h"  // OpenLearningFiles
#include "game/comments.h"  // ClearCommentStore, ResetGameHeaderAndComments
#include "game/game_clock.h"  // gameClock
#include "game/header.h"  // ClearGameFileName

void ClearHashTables();
