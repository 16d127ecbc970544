# The herb records apart from their window: stored form, input check, table operations,
# lookups and the typing limits' byte count.
cc_logic_library(cc_herbs_logic
  SOURCES
    normalize_field_text.cpp
    input_check.cpp
    herb_table.cpp
    herb_lookup.cpp
    unsaved_changes.cpp
    gbk_bytes.cpp
  LIBS cc_datastore cc_browse_names PkgConfig::ICU)

# The herb entry screen, registered with the shell.
add_library(cc_herbs_screens STATIC
  register_herb_screens.cpp
  typing_limit.cpp
  frmzyyc.cpp
  frmzyyc_records.cpp
  frmzyyc_lookup.cpp
  frmzyyc_keys.cpp
  frmzyyc_changes.cpp)
target_include_directories(cc_herbs_screens PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(cc_herbs_screens PUBLIC cc_shell_services cc_herbs_print cc_herbs_logic cc_formulas_screens PRIVATE cc_warnings)
