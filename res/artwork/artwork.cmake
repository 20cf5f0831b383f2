# The program's pictures are drawn at build time: make_artwork writes one PNG
# per entry of the table in artwork_ids.h, and vorelk_artwork carries them as
# Qt resources (":/bitmaps/<id>", ":/icons/<id>"). Qt attaches the compiled
# resources as object files to every executable that links vorelk_artwork,
# so their registration is never dropped by the static linker.
set(VORELK_ARTWORK_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VORELK_ARTWORK_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR}/artwork)

add_executable(make_artwork
  ${VORELK_ARTWORK_SOURCE_DIR}/make_artwork.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/painting.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/boards.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/pieces.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/markers.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/misc.cpp
  ${VORELK_ARTWORK_SOURCE_DIR}/toolbar_buttons.cpp)
target_include_directories(make_artwork PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_artwork PRIVATE Qt6::Gui)

# The ids come from the table itself, one entry per line.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${VORELK_ARTWORK_SOURCE_DIR}/artwork_ids.h)
file(STRINGS ${VORELK_ARTWORK_SOURCE_DIR}/artwork_ids.h vorelk_artwork_rows
  REGEX "^  {[0-9]+, [0-9]+, [0-9]+, [0-9]+, [0-9]+, ArtworkKind::k[A-Za-z]+")
set(vorelk_artwork_pngs)
set(vorelk_artwork_bitmaps)
set(vorelk_artwork_icons)
foreach(row IN LISTS vorelk_artwork_rows)
  string(REGEX MATCH "^  {([0-9]+), .*ArtworkKind::k([A-Za-z]+)" matched "${row}")
  set(id ${CMAKE_MATCH_1})
  set(png ${VORELK_ARTWORK_OUTPUT_DIR}/${id}.png)
  list(APPEND vorelk_artwork_pngs ${png})
  set_source_files_properties(${png} PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS ${id})
  if(CMAKE_MATCH_2 STREQUAL "Icon")
    list(APPEND vorelk_artwork_icons ${png})
  else()
    list(APPEND vorelk_artwork_bitmaps ${png})
  endif()
endforeach()
if(NOT vorelk_artwork_pngs)
  message(FATAL_ERROR "no picture entries found in artwork_ids.h")
endif()

# Leak reports of the font libraries must not fail a sanitizer build.
add_custom_command(
  OUTPUT ${vorelk_artwork_pngs}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:make_artwork> ${VORELK_ARTWORK_OUTPUT_DIR}
  DEPENDS make_artwork
  COMMENT "Drawing the board textures, pieces, icons and toolbar pictures"
  VERBATIM)

add_library(vorelk_artwork STATIC ${VORELK_ARTWORK_SOURCE_DIR}/artwork_ids.cpp)
target_include_directories(vorelk_artwork PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vorelk_artwork PUBLIC Qt6::Core)
qt6_add_resources(vorelk_artwork vorelk_bitmaps PREFIX "/bitmaps" FILES ${vorelk_artwork_bitmaps})
qt6_add_resources(vorelk_artwork vorelk_icons PREFIX "/icons" FILES ${vorelk_artwork_icons})
