# Each folder under src/ is a room: one static library, vellix_<folder>, that links the rooms
# it stands on and nothing above them. Its files may include headers of their own room and of
# the rooms below it (directly or through another room); every build checks that, so an
# include of a room above fails the build, naming the file and the include, before anything links.
#
#   vellix_room(<folder>
#     SOURCES <platform-free .cpp>...   built natively and for Windows
#     WIN_SOURCES <Win32 .cpp>...       Windows build only
#     USES <rooms>...                   the rooms below, in both builds
#     WIN_USES <rooms>...               the rooms below in the Windows build only (win32)
#     LIBS <targets>...                 other libraries (PUBLIC)
#     WIN_LIBS <targets>...)            the same, Windows build only
#
# A room with no platform-free sources exists in the Windows build only.

set(VELLIX_ROOM_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckRoomIncludes.cmake)

function(vellix_room folder)
  cmake_parse_arguments(R "" "" "SOURCES;WIN_SOURCES;USES;WIN_USES;LIBS;WIN_LIBS" ${ARGN})
  set(target vellix_${folder})
  set(sources ${R_SOURCES})
  set(uses ${R_USES})
  set(libs ${R_LIBS})
  if(WIN32)
    list(APPEND sources ${R_WIN_SOURCES})
    list(APPEND uses ${R_WIN_USES})
    list(APPEND libs ${R_WIN_LIBS})
  endif()
  if(NOT sources)
    return()
  endif()

  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  set(allowed ${folder})
  foreach(room IN LISTS uses)
    if(NOT TARGET vellix_${room})
      message(FATAL_ERROR "room ${folder} uses ${room}, which is not defined yet: rooms below come first")
    endif()
    target_link_libraries(${target} PUBLIC vellix_${room})
    get_property(below GLOBAL PROPERTY VELLIX_ROOM_${room}_ALLOWED)
    list(APPEND allowed ${below})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY VELLIX_ROOM_${folder}_ALLOWED ${allowed})
  if(libs)
    target_link_libraries(${target} PUBLIC ${libs})
  endif()

  # The headers and sources of the folder; natively only the platform-free ones, which are
  # the ones that build there.
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT WIN32)
    list(FILTER files EXCLUDE REGEX "_win\\.(h|cpp)$")
  endif()
  file(GLOB rooms LIST_DIRECTORIES true RELATIVE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/src/*)
  list(FILTER rooms EXCLUDE REGEX "\\.")
  string(REPLACE ";" "," files_arg "${files}")
  string(REPLACE ";" "," allowed_arg "${allowed}")
  string(REPLACE ";" "," rooms_arg "${rooms}")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_includes.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOM=${folder} -DALLOWED=${allowed_arg} -DROOMS=${rooms_arg}
            -DFILES=${files_arg} -DSTAMP=${stamp} -P ${VELLIX_ROOM_CHECK}
    DEPENDS ${files} ${VELLIX_ROOM_CHECK}
    COMMENT "Checking the includes of src/${folder}"
    VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()
