# tests of the print text and the hand-off to the word processor
cc_add_test(herbs_print_text_tests
  SOURCES print_text_test.cpp print_document_test.cpp
  LIBS cc_herbs_print_logic)

# The hand-off tests read the written document back through a real, headless LibreOffice.
cc_add_test(herbs_print_handoff_tests
  SOURCES print_to_word_test.cpp print_office.cpp
  LIBS cc_herbs_print)
