# The idle benchmark runs the main window headless, so it needs the application library.
if(TARGET mivo_app)
  add_executable(bench_idle ${CMAKE_CURRENT_SOURCE_DIR}/idle.cpp)
  target_link_libraries(bench_idle PRIVATE benchmark::benchmark mivo_app)
  target_compile_definitions(bench_idle PRIVATE MIVO_RUNTIME_DIR="${MIVO_RUNTIME_DIR}")
endif()
