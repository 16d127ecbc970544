# One place for the compiler warnings every target of the project is built with.
add_library(cc_warnings INTERFACE)
target_compile_options(cc_warnings INTERFACE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(cc_warnings INTERFACE -Wshadow=local)
endif()
if(CC_WARNINGS_AS_ERRORS)
  target_compile_options(cc_warnings INTERFACE -Werror)
endif()
