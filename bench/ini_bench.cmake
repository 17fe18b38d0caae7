# The INI benchmark measures the settings store against inih (Debian libinih-dev).
find_package(PkgConfig REQUIRED)
pkg_check_modules(INIH REQUIRED IMPORTED_TARGET inih)
target_link_libraries(${name} PRIVATE PkgConfig::INIH)
