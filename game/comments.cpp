// The comment store and the clearing of the header with it.
#include "game/comments.h"

#include <cstdlib>
#include <cstring>

#include "game/header.h"

MoveComment moveComments[kCommentSlots];
int32_t hasComments = 0;

namespace {

bool IsSlot(int ply) { return ply >= 0 && ply < kCommentSlots; }

// Slots at or past this index were not written since the store was last
// emptied: emptying it (every new game, every load) visits only the slots
// that can hold something.
int slotsUsed = 0;

void NoteSlotUsed(int ply) {
  if (ply >= slotsUsed) slotsUsed = ply + 1;
}

void FreeSlot(MoveComment& slot) {
  std::free(slot.text);
  slot.text = nullptr;
  slot.capacity = 0;
  slot.annotation = kMarkNone;
  slot.page = kHeaderTextsUnknown;
}

void FreeAllSlots() {
  for (int ply = 0; ply < slotsUsed; ++ply) FreeSlot(moveComments[ply]);
  slotsUsed = 0;
}

}  // namespace

void SetComment(int ply, const char* text, uint8_t page) {
  if (!IsSlot(ply)) return;
  if (text == nullptr) text = "";
  NoteSlotUsed(ply);
  MoveComment& slot = moveComments[ply];
  const size_t length = std::strlen(text);
  // Buffers grow in steps of 1024 bytes and never shrink.
  if (slot.capacity == 0 || length + 1 >= slot.capacity) {
    const size_t capacity = length / 1024 * 1024 + 1025;
    char* buffer = static_cast<char*>(std::malloc(capacity));
    if (buffer == nullptr) return;  // keeps the old comment
    std::free(slot.text);
    slot.text = buffer;
    slot.capacity = static_cast<uint32_t>(capacity);
  }
  std::memcpy(slot.text, text, length + 1);
  slot.page = page;
  hasComments = 1;
}

// Marks can be set without any comment text (the binary reader, the comments
// window), so clearing always resets them; freeing finds nothing to free
// while no comment was ever stored.
void ClearComment(int ply) {
  if (ply == -1) {
    FreeAllSlots();
  } else if (IsSlot(ply)) {
    FreeSlot(moveComments[ply]);
  }
}

void SetAnnotation(int ply, uint8_t code) {
  if (!IsSlot(ply)) return;
  NoteSlotUsed(ply);
  moveComments[ply].annotation = code;
}

void ClearCommentStore() { FreeAllSlots(); }

void ResetGameHeaderAndComments() {
  currentGameHeader = emptyGameHeader;
  ClearComment(-1);
}

const char* AnnotationMarkText(int code) {
  static constexpr const char* kMarks[6] = {"", "??", "?", "=", "!", "!!"};
  return code >= 0 && code <= 5 ? kMarks[code] : "";
}

void AppendAnnotationMark(char* text, int code) { std::strcat(text, AnnotationMarkText(code)); }
