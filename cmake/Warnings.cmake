# One place for the compiler warnings every target of the project is built with.
add_library(cc_warnings INTERFACE)
target_compile_options(cc_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)
if(CC_WARNINGS_AS_ERRORS)
  target_compile_options(cc_warnings INTERFACE -Werror)
endif()
