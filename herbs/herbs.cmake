# The herb records apart from their window: stored form, input check, table operations,
# lookups and the typing limits' byte count.
cc_logic_library(cc_herbs_logic
  SOURCES
    normalize_field_text.cpp
    input_check.cpp
    herb_table.cpp
    herb_lookup.cpp
    gbk_bytes.cpp
  LIBS cc_datastore PkgConfig::ICU)

# The herb entry screen, registered with the shell.
add_library(cc_herbs_screens STATIC
  register_herb_screens.cpp
  typing_limit.cpp
  frmzyyc.cpp
  frmzyyc_records.cpp
  frmzyyc_lookup.cpp
  frmzyyc_keys.cpp)
target_include_directories(cc_herbs_screens PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cc_herbs_screens PUBLIC cc_shell cc_herbs_print cc_herbs_logic PRIVATE cc_warnings)

# A libFuzzer target for the stored form of herb texts (clang only).
if(CC_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CC_BUILD_FUZZERS needs clang (CC=clang CXX=clang++)")
  endif()
  add_executable(normalize_field_text_fuzz
    fuzz/normalize_field_text_fuzz.cpp
    normalize_field_text.cpp)
  target_include_directories(normalize_field_text_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(normalize_field_text_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(normalize_field_text_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(normalize_field_text_fuzz PRIVATE Qt6::Core cc_warnings)
endif()
