cc_logic_library(cc_herbs_print_logic
  SOURCES print_text.cpp odt_document.cpp odt_zip.cpp
  LIBS cc_herbs_logic)

add_library(cc_herbs_print STATIC print_to_word.cpp)
target_include_directories(cc_herbs_print PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cc_herbs_print PUBLIC cc_herbs_print_logic cc_ui PRIVATE cc_warnings)
