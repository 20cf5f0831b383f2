// A FEN text pasted from the clipboard: the bytes of the clipboard text a
// paste reads, the check that the text gives a playable position, and the
// position it sets up. The window side fetches the clipboard's text in the
// current language's code page and hands it here.
#pragma once

#include <cstddef>

// The longest clipboard text a paste reads, in bytes: a FEN text of a full
// board with its side to move fits with room to spare.
constexpr size_t kPastedFenBytes = 119;

// How many leading bytes of an 8-bit text of `size` bytes are read: the
// text ends before its first NUL, as a C text would, and is cut to at most
// maxBytes without splitting a two-byte character when twoByteCodePage
// (GBK and Big5, where a byte from 0x81 to 0xFE starts one).
size_t PastedTextLength(const char* bytes, size_t size, size_t maxBytes, bool twoByteCodePage);

// Whether a FEN text gives a position a game can start from: a well-formed
// text (CheckFenText: ten ranks of nine squares, piece letters and digits, a
// side letter "w", "r" or "b"), both kings in their palaces, not facing each
// other, and the side that is not to move not in check. It is read into a
// scratch position; the game is untouched.
bool IsPlayableFen(const char* text);

// Sets up the position of a FEN text as a new game with no moves, shown on
// the board. Returns 1; 0 when the text is not a playable position
// (IsPlayableFen), and the game is then left as it was.
int PasteFenPosition(const char* text);
