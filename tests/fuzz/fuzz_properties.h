#pragma once

// The property each fuzz target checks, shared by its libFuzzer entry and by the ordinary test
// that replays the corpus kept in tests/fuzz/corpus/<target>/. Each returns what broke, or an
// empty text when the property holds.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

using Property = std::string (*)(const uint8_t *data, size_t size);

std::string normalizeFieldText(const uint8_t *data, size_t size);
std::string keywordSplitter(const uint8_t *data, size_t size);
std::string likePattern(const uint8_t *data, size_t size);
std::string dataFileOpen(const uint8_t *data, size_t size);
std::string queryText(const uint8_t *data, size_t size);

// The first byte chooses how the rest is read: as UTF-8 (short texts of the punctuation the
// rules care about) or as raw UTF-16 code units (any character, lone surrogates included).
QString textFromBytes(const uint8_t *data, size_t size);

} // namespace fuzz
