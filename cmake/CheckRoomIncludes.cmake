# cmake -DROOM=<folder> -DALLOWED=<rooms,...> -DROOMS=<every room,...> -DFILES=<files,...>
#       -DSTAMP=<file> -P CheckRoomIncludes.cmake
#
# Fails when a file of the room includes a header of a room that is not allowed to it (see
# Rooms.cmake); touches STAMP otherwise.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" allowed "${ALLOWED}")
string(REPLACE "," ";" rooms "${ROOMS}")
string(REPLACE "," ";" files "${FILES}")

set(wrong "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z0-9_]+/")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "\"([a-z0-9_]+)/" found "${line}")
    set(room "${CMAKE_MATCH_1}")
    if(room IN_LIST rooms AND NOT room IN_LIST allowed)
      get_filename_component(name "${file}" NAME)
      string(APPEND wrong "\n  src/${ROOM}/${name}: ${line}")
    endif()
  endforeach()
endforeach()

if(wrong)
  list(REMOVE_ITEM allowed "${ROOM}")
  string(REPLACE ";" ", " below "${allowed}")
  if(NOT below)
    set(below "no other room")
  endif()
  message(FATAL_ERROR "src/${ROOM} may include only its own headers and those of ${below}:${wrong}")
endif()
file(TOUCH "${STAMP}")
