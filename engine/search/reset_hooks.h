// Services of the game record and the search that the new-game reset calls.
// Each does nothing until its owner exists.
#pragma once

void ClearCommentStore();
void ClearHashTables();
void ResetGameClock();
void OpenLearningFiles();
void ClearGameFileName();
void ResetGameHeaderAndComments();
