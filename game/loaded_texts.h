// The header texts and comments a reader stores in a staged game: a text
// longer than the program keeps is stored cut and noted, so that the load
// can say which text was cut and how much of it was kept; comments a file
// holds for one place are all kept, joined by line breaks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_loader.h"
#include "game/header.h"

// The line break between comments a file holds for one place: CR LF, as the
// program's comments break their lines.
inline constexpr std::string_view kJoinedCommentBreak = "\r\n";

// Stores text in the header field of game.header, cut to the field's 127
// bytes on a character boundary (FitDoubleByteText). A cut is noted in
// game.cutTexts; a text stored whole drops an earlier note of the field.
// A NUL byte in text ends what is stored; that is noted (CutText::atNul)
// instead of a cut for the length.
void SetLoadedHeaderText(LoadedGame& game, HeaderField field, std::string_view text);

// How a file holds a comment when that is not the stored text itself (the
// keyword files escape "*/"): toFile gives the file's form of a stored text,
// fromFile the stored text of the file's form. The cap counts the file's form.
struct CommentForm {
  std::string (*toFile)(const std::string& stored);
  std::string (*fromFile)(const std::string& inFile);
};

// Stores a comment read from a file (in the file's form) in slot ply
// (0..kCommentSlots - 1, others ignored), keeping its mark. A slot that
// holds a non-empty text keeps it, and the new text follows it after
// kJoinedCommentBreak; an empty text adds nothing then. The whole is kept
// up to cap bytes of the file's form, cut on a character boundary; a cut is
// noted once for the slot, with the length of the whole. A NUL byte in
// fileText ends it: what follows is not stored, and that is noted
// (CutText::atNul) for the slot.
void AddLoadedComment(LoadedGame& game, int ply, const std::string& fileText, size_t cap,
                      const CommentForm* form = nullptr);

// The texts the last CommitLoadedGame stored cut, in the order they were
// read; ClearCommittedCutTexts empties the list (a load that fails commits
// nothing).
const std::vector<CutText>& CommittedCutTexts();
void ClearCommittedCutTexts();
// Called by the commit: makes game.cutTexts the committed list.
void CommitCutTexts(const LoadedGame& game);
// Logs one line for each of cuts: "Loading <path>: the event is 200 bytes
// long, only its first 127 are kept", or for a text cut at a NUL byte
// "Loading <path>: the event holds a NUL byte after 3 of its 9 bytes, the
// rest of it is not read".
void LogCutTexts(const char* path, const std::vector<CutText>& cuts);
