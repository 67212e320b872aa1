# The composition benchmark compares against pixman in the same run.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MIVO_PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
add_executable(bench_compose ${CMAKE_CURRENT_SOURCE_DIR}/compose.cpp)
target_link_libraries(bench_compose PRIVATE benchmark::benchmark mivo_gfx PkgConfig::MIVO_PIXMAN)
