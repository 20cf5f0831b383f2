// The toolbar resources: the button list of the game toolbar and of the
// design toolbar. Each button carries its command id (res/menus.h), its
// tooltip row (res/toolbar_texts.h) and its picture (an id of the artwork
// table, res/artwork/artwork_ids.h); a command of 0 is a separator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/toolbar_texts.h"

enum ToolbarResourceId : uint16_t {
  kToolbarGame = 104,
  kToolbarDesign = 115,
};

struct ToolbarButton {
  uint16_t command;       // 0 for a separator
  ToolbarTextId tooltip;  // kToolbarTextCount for a separator
  int picture;            // 0 for a separator
};

struct ToolbarResource {
  uint16_t id;
  const ToolbarButton* buttons;
  size_t buttonCount;
};

extern const ToolbarResource kToolbarResources[];
extern const size_t kToolbarResourceCount;

// The resource of a toolbar id, null for an unknown id.
const ToolbarResource* FindToolbarResource(int id);
// The 8-bit tooltip of a row in a language (0..5) in that language's code
// page; null for a row or language outside the table.
const char* ToolbarText(ToolbarTextId text, int language);
