// The stored form of a window's placement: the ten numbers of the placement
// record written as "flags,show command,min x,min y,max x,max y,left,top,
// right,bottom" under the window's name in "Windows placement".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The window is to come back maximised.
inline constexpr uint32_t kPlacementRestoreToMaximized = 2;
// Show commands as stored.
inline constexpr uint32_t kShowCommandNormal = 1;

struct WindowPlacementValue {
  uint32_t flags = 0;
  uint32_t showCommand = kShowCommandNormal;
  int32_t minX = -1;
  int32_t minY = -1;
  int32_t maxX = -1;
  int32_t maxY = -1;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool operator==(const WindowPlacementValue&) const = default;
};

// The text "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" of a placement.
std::string FormatWindowPlacement(const WindowPlacementValue& placement);

// The placement written in `text`, or nothing when the text is null, empty
// or anything but exactly ten comma-separated integers (spaces around a
// number are allowed; the first two must not be negative and every number
// must fit its field). The caller then leaves the window at its default
// place.
std::optional<WindowPlacementValue> ParseWindowPlacement(const char* text);
