# One static library per source folder: every .cpp of the folder, headers included by their
# path below src/ ("util/ini_file.h"), private warnings. PUBLIC names what the folder's headers
# expose to their users; PRIVATE what only its sources use.
function(tvx_add_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(tvx_${name} STATIC ${sources})
  target_include_directories(tvx_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(tvx_${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  tvx_warnings(tvx_${name})
endfunction()

function(tvx_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                             -Wno-format-nonliteral)
  endif()
endfunction()
