# The splash screen and the about box: their window-free logic, and the two windows.
cc_logic_library(cc_splash_logic
  SOURCES
    splash_logic.cpp
  LIBS cc_datastore)
# The texts "标准版 5.20" and "5.2" come from the program's own version.
target_compile_definitions(cc_splash_logic PUBLIC
  CC_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  CC_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  CC_VERSION_PATCH=${PROJECT_VERSION_PATCH})

add_library(cc_shell_screens STATIC
  frmsplash.cpp
  frmabout.cpp)
target_include_directories(cc_shell_screens PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cc_shell_screens PUBLIC cc_shell_services cc_splash_logic PRIVATE cc_warnings)

# The about box's contact lines come from the one list the help page is made from.
include(${PROJECT_SOURCE_DIR}/share/contact.cmake)
configure_file(contact_details.h.in ${CMAKE_BINARY_DIR}/generated/startup/contact_details.h @ONLY)
target_include_directories(cc_shell_screens PRIVATE ${CMAKE_BINARY_DIR}/generated)
