add_executable(bench_spline ${CMAKE_CURRENT_LIST_DIR}/bench_spline.cpp)
target_link_libraries(bench_spline PRIVATE orva_core benchmark::benchmark)
