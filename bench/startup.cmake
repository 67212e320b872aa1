# The start-up benchmark runs the built program on the built assets.
add_executable(bench_startup ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp)
target_link_libraries(bench_startup PRIVATE benchmark::benchmark)
target_compile_definitions(bench_startup PRIVATE MIVO_RUNTIME_DIR="${MIVO_RUNTIME_DIR}")
foreach(dep mivo-config mivo_assets)
  if(TARGET ${dep})
    add_dependencies(bench_startup ${dep})
  endif()
endforeach()
