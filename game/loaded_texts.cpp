// Storing the texts a reader finds, cut to what the program keeps, and
// telling the cuts.
#include "game/loaded_texts.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "game/comments.h"

namespace {

std::vector<CutText> committed;

bool SameText(const CutText& a, const CutText& b) {
  return a.comment == b.comment && (a.comment ? a.ply == b.ply : a.field == b.field);
}

void DropNote(LoadedGame& game, const CutText& text) {
  std::erase_if(game.cutTexts, [&](const CutText& cut) { return SameText(cut, text); });
}

CutText* NoteOf(LoadedGame& game, const CutText& text) {
  for (CutText& cut : game.cutTexts)
    if (SameText(cut, text)) return &cut;
  return nullptr;
}

}  // namespace

void SetLoadedHeaderText(LoadedGame& game, HeaderField field, std::string_view text) {
  if (field >= kHeaderFieldCount) return;
  const std::string value(text);
  // A NUL ends the text, as it ends the stored field.
  const size_t length = value.find('\0') != std::string::npos ? value.find('\0') : value.size();
  SetHeaderText(HeaderFieldText(game.header, field), value.c_str());
  CutText cut;
  cut.field = field;
  cut.length = length;
  cut.kept = std::strlen(HeaderFieldText(game.header, field));
  DropNote(game, cut);
  if (cut.kept < cut.length) game.cutTexts.push_back(cut);
}

void AddLoadedComment(LoadedGame& game, int ply, const std::string& fileText, size_t cap,
                      const CommentForm* form) {
  if (ply < 0 || ply >= kCommentSlots) return;
  if (static_cast<int>(game.comments.size()) <= ply) game.comments.resize(ply + 1);
  LoadedComment& slot = game.comments[ply];
  CutText cut;
  cut.comment = true;
  cut.ply = ply;
  std::string whole = fileText;
  cut.length = fileText.size();
  if (slot.hasText && !slot.text.empty()) {
    if (fileText.empty()) return;
    if (CutText* earlier = NoteOf(game, cut)) {
      // The slot is full already: the new text is counted, not kept.
      earlier->length += kJoinedCommentBreak.size() + fileText.size();
      return;
    }
    whole = (form != nullptr ? form->toFile(slot.text) : slot.text) +
            std::string(kJoinedCommentBreak) + fileText;
    cut.length = whole.size();
  }
  cut.kept = FitDoubleByteText(whole.data(), whole.size(), cap);
  whole.resize(cut.kept);
  slot.hasText = true;
  slot.text = form != nullptr ? form->fromFile(whole) : whole;
  if (cut.kept < cut.length) game.cutTexts.push_back(cut);
}

const std::vector<CutText>& CommittedCutTexts() { return committed; }

void ClearCommittedCutTexts() { committed.clear(); }

void CommitCutTexts(const LoadedGame& game) { committed = game.cutTexts; }

void LogCutTexts(const char* path, const std::vector<CutText>& cuts) {
  for (const CutText& cut : cuts) {
    std::string what;
    if (!cut.comment) {
      what = std::string("the ") + HeaderFieldName(cut.field);
    } else if (cut.ply == 0) {
      what = "the game comment";
    } else {
      what = "the comment on ply " + std::to_string(cut.ply);
    }
    LogLoadProblem(path, "%s is %zu bytes long, only its first %zu are kept", what.c_str(),
                   cut.length, cut.kept);
  }
}
