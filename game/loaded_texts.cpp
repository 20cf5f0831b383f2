// Storing the texts a reader finds, cut to what the program keeps, and
// telling the cuts.
#include "game/loaded_texts.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "game/comments.h"

namespace {

std::vector<CutText> committed;

bool SamePlace(const CutText& a, const CutText& b) {
  return a.comment == b.comment && (a.comment ? a.ply == b.ply : a.field == b.field);
}

// Drops the notes of text's place, both kinds.
void DropNotes(LoadedGame& game, const CutText& text) {
  std::erase_if(game.cutTexts, [&](const CutText& cut) { return SamePlace(cut, text); });
}

// The note of a cut for the length at text's place.
CutText* LengthNoteOf(LoadedGame& game, const CutText& text) {
  for (CutText& cut : game.cutTexts)
    if (SamePlace(cut, text) && !cut.atNul) return &cut;
  return nullptr;
}

// text up to its first NUL byte; *nul gets where that is (npos: none).
std::string_view BeforeNul(std::string_view text, size_t* nul) {
  *nul = text.find('\0');
  return text.substr(0, *nul);
}

}  // namespace

void SetLoadedHeaderText(LoadedGame& game, HeaderField field, std::string_view text) {
  if (field >= kHeaderFieldCount) return;
  size_t nul = 0;
  const std::string value(BeforeNul(text, &nul));
  SetHeaderText(HeaderFieldText(game.header, field), value.c_str());
  CutText cut;
  cut.field = field;
  cut.length = nul != std::string_view::npos ? text.size() : value.size();
  cut.kept = std::strlen(HeaderFieldText(game.header, field));
  cut.atNul = nul != std::string_view::npos;
  DropNotes(game, cut);
  if (cut.kept < cut.length) game.cutTexts.push_back(cut);
}

void AddLoadedComment(LoadedGame& game, int ply, const std::string& wholeText, size_t cap,
                      const CommentForm* form) {
  if (ply < 0 || ply >= kCommentSlots) return;
  if (static_cast<int>(game.comments.size()) <= ply) game.comments.resize(ply + 1);
  LoadedComment& slot = game.comments[ply];
  CutText cut;
  cut.comment = true;
  cut.ply = ply;
  size_t nul = 0;
  const std::string fileText(BeforeNul(wholeText, &nul));
  if (nul != std::string::npos) {
    CutText damaged = cut;
    damaged.atNul = true;
    damaged.length = wholeText.size();
    damaged.kept = nul;
    game.cutTexts.push_back(damaged);
  }
  std::string whole = fileText;
  cut.length = fileText.size();
  if (slot.hasText && !slot.text.empty()) {
    if (fileText.empty()) return;
    if (CutText* earlier = LengthNoteOf(game, cut)) {
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
    if (cut.atNul) {
      LogLoadProblem(path,
                     "%s holds a NUL byte after %zu of its %zu bytes, the rest of it is not read",
                     what.c_str(), cut.kept, cut.length);
    } else {
      LogLoadProblem(path, "%s is %zu bytes long, only its first %zu are kept", what.c_str(),
                     cut.length, cut.kept);
    }
  }
}
