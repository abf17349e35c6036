#ifndef OSTRA_STAMP_MARKER_TEST_DATA_H_
#define OSTRA_STAMP_MARKER_TEST_DATA_H_

// Data for the tests of the search and of the stamp: text helpers, and data that defeats a search
// testing a few marker bytes.

#include <cstddef>
#include <iterator>
#include <random>
#include <string>

namespace marker_test_data {

inline std::string Repeat(size_t count, char byte) { return std::string(count, byte); }

inline std::string Put(std::string bytes, size_t at, const std::string& text) {
  return bytes.replace(at, text.size(), text);
}

// Data made of the marker's own bytes, in which the marker fails only somewhere in the middle:
// nearly every start passes a test of two marker bytes. The unit repeats; the marker is not in it.
struct Family {
  std::string unit;
  std::string marker;
};

inline std::string Times(size_t count, const std::string& text) {
  std::string result;
  for (size_t i = 0; i < count; ++i)
    result += text;
  return result;
}

inline const Family kFamilies[] = {
    {Times(39, "\xfe\xed") + "\xfe\xfe", Times(40, "\xfe\xed")},  // padding with a break
    {"A", Repeat(79, 'A') + "B"},                                   // a run against its end
    {"SERIAL=" + Repeat(39, '@') + ";\n", "SERIAL=" + Repeat(41, '@')},  // text records
    {"SERIAL=" + Repeat(39, '@') + ";\r\n", "SERIAL=" + Repeat(41, '@')},
    {Times(30, "ab") + "aa", Times(40, "ab")},                       // a short period
    {Times(20, "abc") + "ab", Times(26, "abc") + "a"},
};

// `size` bytes of a random family's data from a random phase, and in *marker its marker, sometimes
// cut to a random part of it so that the search splits and filters it in other places. Half the
// time the family is made up: a short unit repeated with one byte changed, and a marker that repeats
// the unit further than the data does.
inline std::string FamilyData(std::mt19937& random, size_t size, std::string* marker) {
  Family family = kFamilies[random() % std::size(kFamilies)];
  if (random() % 2) {
    std::string unit(1 + random() % 5, ' ');
    for (char& byte : unit)
      byte = "abc"[random() % 3];
    family.unit = Times(1 + random() % 30, unit);
    family.marker = Times(family.unit.size() / unit.size() + 1 + random() % 8, unit).substr(0, 80);
    family.unit[random() % family.unit.size()] ^= 3;
  }
  const std::string data = Times(size / family.unit.size() + 2, family.unit);
  *marker = family.marker;
  if (random() % 3 == 0) {
    const size_t from = random() % (marker->size() - 1);
    *marker = marker->substr(from, 2 + random() % (marker->size() - from - 1));
  }
  return data.substr(random() % family.unit.size(), size);
}

}  // namespace marker_test_data

#endif  // OSTRA_STAMP_MARKER_TEST_DATA_H_
