# Concatenation and the point-by-point combination of several spectra.
target_sources(orva_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/UOpConcatCore.h ${CMAKE_CURRENT_LIST_DIR}/UOpConcatCore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UOpMultipleCore.h ${CMAKE_CURRENT_LIST_DIR}/UOpMultipleCore.cpp
)
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UOpConcatenate.h ${CMAKE_CURRENT_LIST_DIR}/UOpConcatenate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UOpMultiple.h ${CMAKE_CURRENT_LIST_DIR}/UOpMultiple.cpp
  )
endif()
