# The tool framework: the base panels and the host that shows them (windows).
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UToolTemplate.h ${CMAKE_CURRENT_LIST_DIR}/UToolTemplate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolSelection.h ${CMAKE_CURRENT_LIST_DIR}/UToolSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolHost.h ${CMAKE_CURRENT_LIST_DIR}/UToolHost.cpp
  )
endif()
