# The program's sounds: synthesised at build time by make_sounds.py and
# compiled into the library vorelk_sounds as the Qt resources
# ":/sounds/148" .. ":/sounds/152" (no extension).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(VORELK_SOUND_IDS 148 149 150 151 152)
  set(VORELK_SOUND_DIR ${CMAKE_CURRENT_BINARY_DIR}/sounds)
  set(VORELK_SOUND_FILES)
  foreach(id ${VORELK_SOUND_IDS})
    list(APPEND VORELK_SOUND_FILES ${VORELK_SOUND_DIR}/${id}.wav)
  endforeach()
  add_custom_command(
    OUTPUT ${VORELK_SOUND_FILES}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_sounds.py ${VORELK_SOUND_DIR}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_sounds.py
    COMMENT "Synthesising the sounds"
    VERBATIM)
  foreach(id ${VORELK_SOUND_IDS})
    set_source_files_properties(${VORELK_SOUND_DIR}/${id}.wav PROPERTIES
      GENERATED TRUE QT_RESOURCE_ALIAS ${id})
  endforeach()
  # The resources are the whole library; a static library still needs one
  # source of its own.
  file(CONFIGURE OUTPUT ${VORELK_SOUND_DIR}/sounds_library.cpp
    CONTENT "// The sounds are the Qt resources of this library.\n")
  add_library(vorelk_sounds STATIC ${VORELK_SOUND_DIR}/sounds_library.cpp)
  # The resources stay uncompressed: they are played straight from memory.
  qt_add_resources(vorelk_sounds vorelk_sounds
    PREFIX /sounds
    BASE ${VORELK_SOUND_DIR}
    OPTIONS -no-compress
    FILES ${VORELK_SOUND_FILES})
endif()
