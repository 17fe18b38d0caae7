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

# Test programs and the command-line front end are compiled without optimisation in the
# sanitized (Debug) builds: their code is thin and compiles two to three times faster at -O0,
# while the libraries they drive keep the preset's -O1 and run at speed.
function(tvx_compile_quickly_when_sanitized target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Debug>:-O0>)
endfunction()

# Headers nearly every file of a target includes, parsed once per target instead of once per
# file: the option parser of the command line, the test framework, the Qt widgets. They make up
# most of the compile time of those files.
set(TVX_STD_HEADERS <string> <vector> <memory> <optional> <functional> <map>)
set(TVX_QT_HEADERS <QApplication> <QWidget> <QPushButton> <QLabel> <QComboBox> <QCheckBox>
                   <QTableWidget> <QTimer> <QString> <QPainter> <QImage>)
function(tvx_precompile target)
  target_precompile_headers(${target} PRIVATE ${TVX_STD_HEADERS} ${ARGN})
endfunction()
