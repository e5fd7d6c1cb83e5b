# Showing a tool with many plot windows open (offscreen).
if(ORVA_BUILD_GUI)
  add_executable(bench_tool_show ${CMAKE_CURRENT_LIST_DIR}/bench_tool_show.cpp)
  target_link_libraries(bench_tool_show PRIVATE orva_gui benchmark::benchmark)
endif()
