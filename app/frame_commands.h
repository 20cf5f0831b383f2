// The frame's commands by topic: each topic file keeps its own command
// table and answers for the ids it lists. The frame asks them in turn.
#pragma once

#include "platform/command_target.h"

class CMainFrame;

// Each pair runs the handler of `id`, or fills in its state, and returns
// false when the topic's table does not list the id.
bool RunGameCommand(CMainFrame* frame, int id);
bool UpdateGameCommand(CMainFrame* frame, CCmdUI& ui);
bool RunFileCommand(CMainFrame* frame, int id);
bool UpdateFileCommand(CMainFrame* frame, CCmdUI& ui);
bool RunLevelCommand(CMainFrame* frame, int id);
bool UpdateLevelCommand(CMainFrame* frame, CCmdUI& ui);
bool RunOptionCommand(CMainFrame* frame, int id);
bool UpdateOptionCommand(CMainFrame* frame, CCmdUI& ui);
bool RunViewCommand(CMainFrame* frame, int id);
bool UpdateViewCommand(CMainFrame* frame, CCmdUI& ui);
bool RunCopyCommand(CMainFrame* frame, int id);
bool UpdateCopyCommand(CMainFrame* frame, CCmdUI& ui);
bool RunSetupCommand(CMainFrame* frame, int id);
bool UpdateSetupCommand(CMainFrame* frame, CCmdUI& ui);
bool RunWindowCommand(CMainFrame* frame, int id);
bool UpdateWindowCommand(CMainFrame* frame, CCmdUI& ui);
