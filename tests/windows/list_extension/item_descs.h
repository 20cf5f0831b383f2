// Item descriptions the list extension's tests send.
#pragma once

#include <cstdint>
#include <string>

#include "windows/list_extension/list_base.h"

namespace list_descs {

inline ListItemDesc StateDesc(int item, int column, std::uint32_t state, std::uint32_t mask) {
  ListItemDesc desc;
  desc.mask = kItemState;
  desc.item = item;
  desc.subItem = column;
  desc.state = state;
  desc.stateMask = mask;
  return desc;
}

inline ListItemDesc TextDesc(int item, const std::string& text) {
  ListItemDesc desc;
  desc.mask = kItemText;
  desc.item = item;
  desc.text = text;
  return desc;
}

}  // namespace list_descs
