# TinyXML 2.6.2 with TIXML_USE_STL. The native build links Debian's libtinyxml; the Windows
# and fuzz builds compile Debian's patched sources, fetched by scripts/fetch-tinyxml.sh.
if(WIN32 OR VELLIX_FUZZ)
  if(NOT EXISTS "${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp")
    message(FATAL_ERROR "TINYXML_SOURCE_DIR must name Debian's tinyxml sources (make fetches them)")
  endif()
  add_library(tinyxml STATIC
    ${TINYXML_SOURCE_DIR}/tinyxml.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlerror.cpp)
  target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_SOURCE_DIR})
  target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
  target_compile_options(tinyxml PRIVATE -w)
  if(VELLIX_FUZZ)
    target_compile_options(tinyxml PRIVATE -fsanitize=fuzzer-no-link,address)
  endif()
else()
  find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
  find_library(TINYXML_LIBRARY tinyxml REQUIRED)
  add_library(tinyxml INTERFACE)
  target_include_directories(tinyxml SYSTEM INTERFACE ${TINYXML_INCLUDE_DIR})
  target_link_libraries(tinyxml INTERFACE ${TINYXML_LIBRARY})
  target_compile_definitions(tinyxml INTERFACE TIXML_USE_STL)
endif()

find_path(UTFCPP_INCLUDE_DIR utf8.h PATHS /usr/include/utf8cpp NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(utfcpp INTERFACE)
target_include_directories(utfcpp SYSTEM INTERFACE ${UTFCPP_INCLUDE_DIR})
