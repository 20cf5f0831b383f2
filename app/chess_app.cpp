#include "app/chess_app.h"
int RunChessApp(int, char**) { return 0; }
