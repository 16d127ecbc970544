# tests of the print text and the hand-off to the word processor
