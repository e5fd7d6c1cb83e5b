# The synthetic spectra of "New Profile" (Qt-free) and the dialog that lists them.
target_sources(orva_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/UNewProfileCore.cpp
)
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UNewProfilePages.h ${CMAKE_CURRENT_LIST_DIR}/UNewProfilePages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UNewProfile.h ${CMAKE_CURRENT_LIST_DIR}/UNewProfile.cpp
  )
endif()
