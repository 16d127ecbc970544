# tests of herb record logic, lookups and the entry screen
