#pragma once
int RunChessApp(int argc, char** argv);
