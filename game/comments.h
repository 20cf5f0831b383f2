// The comment store: one comment and one annotation mark per ply of the
// game, slot 0 holding the comment on the whole game.
#pragma once

#include <cstdint>

#include "game/header.h"

// Annotation marks and their texts.
enum Annotation : uint8_t {
  kMarkNone = 0,
  kMarkBlunder = 1,    // "??"
  kMarkMistake = 2,    // "?"
  kMarkEven = 3,       // "="
  kMarkGood = 4,       // "!"
  kMarkBrilliant = 5,  // "!!"
};

constexpr int kCommentSlots = 1230;

// One slot; it owns its text buffer.
struct MoveComment {
  uint32_t capacity;   // bytes allocated for text, 0 without a buffer
  uint8_t annotation;  // Annotation; a file may give another byte, kept and shown as none
  // The code page of text (HeaderTextPage): marked for comments typed in
  // the program and read from files that say, so that they show alike in
  // every interface language; unknown shows them in the language's page.
  uint8_t page;
  char* text;  // NUL-terminated comment, or null
};

// Slot n holds the comment that follows move n of the game.
extern MoveComment moveComments[kCommentSlots];
// 1 once a comment was ever stored; never reset.
extern int32_t hasComments;

// Stores a copy of text (null = empty) in slot ply with its code page
// (HeaderTextPage), leaving its mark alone. A ply outside 0..1229 is
// ignored.
void SetComment(int ply, const char* text, uint8_t page = kHeaderTextsUnknown);
// With ply -1 frees every slot's text and zeroes every slot (text, capacity,
// page and mark); with 0..1229 that slot only; other plies are ignored. Does
// nothing to free while no comment was ever stored; the marks are cleared
// in any case.
void ClearComment(int ply);
// Sets the mark of slot ply; a ply outside 0..1229 is ignored.
void SetAnnotation(int ply, uint8_t code);
// The reset's clearing of the store: frees and zeroes every slot.
void ClearCommentStore();
// currentGameHeader := emptyGameHeader, then every comment slot is cleared.
void ResetGameHeaderAndComments();
// The mark text of code 1..5, else "".
const char* AnnotationMarkText(int code);
// Appends the mark text of code to the NUL-terminated text (nothing for 0 or
// an unknown code). The caller leaves room for two more bytes.
void AppendAnnotationMark(char* text, int code);
