# One static library per source folder: every .cpp of the folder, headers included by
# their folder name ("util/ini_file.h"), private warnings, public dependencies.
function(tvx_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(tvx_${name} STATIC ${sources})
    target_include_directories(tvx_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tvx_${name} PUBLIC ${ARG_DEPENDS})
    tvx_warnings(tvx_${name})
  else()
    # A folder whose code has not been written yet.
    add_library(tvx_${name} INTERFACE)
    target_include_directories(tvx_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(tvx_${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

function(tvx_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                             -Wno-format-nonliteral)
  endif()
endfunction()
