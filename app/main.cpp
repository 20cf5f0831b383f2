// The program: the application object starts the main window and runs the
// message loop until it is gone.
#include "app/chess_app.h"

int main(int argc, char** argv) { return RunChessApp(argc, argv); }
