# tests of herb record logic, lookups and the entry screen
cc_add_test(herbs_logic_tests
  SOURCES
    normalize_field_text_test.cpp
    record_logic_test.cpp
    lookup_logic_test.cpp
  LIBS cc_herbs_logic)

cc_add_test(herbs_screen_tests
  SOURCES
    entry_screen_fixture.h
    entry_screen_keys_test.cpp
    entry_screen_records_test.cpp
  LIBS cc_herbs_screens)
