# Filters and the small n-tools: what they compute (Qt-free), then their dialogs.
target_sources(orva_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/UFiltersCore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UNToolsCore.cpp
)
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UFilters.h ${CMAKE_CURRENT_LIST_DIR}/UFilters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UNToolsTemplate.h ${CMAKE_CURRENT_LIST_DIR}/UNToolsTemplate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UNToolsFFT.h ${CMAKE_CURRENT_LIST_DIR}/UNToolsFFT.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UNToolsEvaluate.h ${CMAKE_CURRENT_LIST_DIR}/UNToolsEvaluate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UPolRoot.h ${CMAKE_CURRENT_LIST_DIR}/UPolRoot.cpp
  )
endif()
