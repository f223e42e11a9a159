# Compiler settings shared by every target of the project.
add_library(vellix_options INTERFACE)
target_compile_options(vellix_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wno-unused-parameter>)

if(WIN32)
  target_compile_definitions(vellix_options INTERFACE
    UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # One self-contained executable per program: no runtime DLL to ship.
  target_link_options(vellix_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(VELLIX_SANITIZE AND NOT WIN32)
  target_compile_options(vellix_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vellix_options INTERFACE -fsanitize=address,undefined)
endif()

# Fuzz tree: the code under test carries the fuzzer's coverage and AddressSanitizer too.
if(VELLIX_FUZZ)
  target_compile_options(vellix_options INTERFACE -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
  target_link_options(vellix_options INTERFACE -fsanitize=address)
endif()
