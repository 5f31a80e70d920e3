// What the program relies on from the registry, as typed tests that run on
// any back end: tests/unit/system_test.cpp runs them on MemoryRegistry,
// tests/wine/e2e_tests/RegistryContractTest.cpp on Win32Registry under Wine.
// A side gives the back end, removes kContractKey when made and destroyed,
// and sets up what only it can:
//   Registry& registry();
//   // Values the ANSI code page cannot hold (in name or data), written below
//   // `key`; gives their names as the ANSI functions list them.
//   std::vector<std::string> SetNamesOutsideCodePage(const std::string& key);
//   void Deny();  // kDeniedKey, existing and refusing to be read
// Only the real side shows a value that changes while it is read (the twin
// has no second writer) and drive types (the fake environment has no drives).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/Registry.h"

namespace kw::test {

using namespace std::string_literals;
constexpr RegRoot kContractRoot = RegRoot::CurrentUser;
constexpr char kContractKey[] = "Software\\Kelpwise Contract";
constexpr char kDeniedKey[] = "Software\\Kelpwise Contract\\Denied";

// One line per value: name, type and data, in the order given.
inline std::vector<std::string> Lines(const std::vector<RegValue>& values) {
  std::vector<std::string> lines;
  for (const RegValue& v : values)
    lines.push_back(v.name + '|' + std::to_string(v.type) + '|' + v.data);
  return lines;
}

template <typename Side>
class RegistryContract : public ::testing::Test {
 protected:
  // `path` below the contract key, created and open for writing.
  RegKey Create(const std::string& path) {
    RegKey key(reg);
    EXPECT_EQ(key.Create(kContractRoot, kContractKey + "\\"s + path), RegStatus::Ok) << path;
    return key;
  }
  // The value as one of Lines, or "status N".
  std::string Read(const RegKey& key, const std::string& name) {
    RegValue value;
    const RegStatus status = reg.QueryValue(key.handle(), name, &value);
    return status == RegStatus::Ok ? Lines({value})[0] : "status " + std::to_string(int(status));
  }

  Side side;
  Registry& reg = side.registry();
};
TYPED_TEST_SUITE_P(RegistryContract);
const std::string kNotFound = "status 1";

// Wine takes ANSI key paths of at most 255 characters, so a long one is
// opened in pieces: components are cut so that a piece running to the first
// separator past 240 characters would be too long.
TYPED_TEST_P(RegistryContract, LongPathsAndStraySeparatorsReachTheSameKey) {
  std::string parent = "Long", doubled = "\\\\"s + kContractKey;
  for (size_t length : {200, 250, 100, 60}) parent += "\\" + std::string(length, 'a' + length % 26);
  const std::string path = parent + "\\" + std::string(239, 'z');
  for (char c : "\\" + path) doubled += c == '\\' ? "\\\\"s : std::string(1, c);
  RegKey key = this->Create(path);
  ASSERT_EQ(this->reg.SetValue(key.handle(), "v", kRegSz, "deep\0"s), RegStatus::Ok);
  for (const std::string& variant : {"\\"s + kContractKey + "\\" + path + "\\", doubled}) {
    RegKey opened(this->reg);
    EXPECT_EQ(opened.Open(kContractRoot, variant), RegStatus::Ok) << variant;
    EXPECT_EQ(this->Read(opened, "v"), "v|1|deep\0"s);
  }
  std::vector<std::string> names;
  EXPECT_EQ(this->reg.ListSubKeys(this->Create(parent).handle(), &names), RegStatus::Ok);
  EXPECT_EQ(names, std::vector<std::string>{std::string(239, 'z')});
  EXPECT_EQ(this->reg.DeleteValue(key.handle(), "v"), RegStatus::Ok);
  EXPECT_EQ(this->Read(key, "v"), kNotFound);
}

// The first read of a value's data takes 1,024 bytes; more takes another.
// The values are created in name order: Wine lists them by name, Windows and
// the twin in creation order; subkeys come by name, in any letter case.
TYPED_TEST_P(RegistryContract, ListingsAndReadsGiveEveryTypeByteForByte) {
  RegKey key = this->Create("Data");
  std::vector<RegValue> rows = {{"", kRegSz, "default\0"s},
                                {"binary", kRegBinary, "\0\xff\x01"s},
                                {"dword", kRegDword, "\x2a\0\0\x80"s},
                                {"empty", kRegBinary, ""},
                                {"Empty sz", kRegSz, ""},
                                {"expand", kRegExpandSz, "%SystemRoot%\\x.dll\0"s},
                                {"multi", kRegMultiSz, "a\0bc\0\0"s},
                                {"none", kRegNone, "\x01\x02"s}};
  for (size_t size : {1023, 1024, 1025, 65536}) {
    std::string data(size, '\0');
    for (size_t i = 0; i + 1 < size; ++i) data[i] = static_cast<char>('a' + i % 26);
    rows.push_back({"size " + std::to_string(size), size > 1025 ? kRegBinary : kRegSz, data});
  }
  std::vector<std::string> read, names, subKeys, keys;
  for (const RegValue& row : rows) {
    ASSERT_EQ(this->reg.SetValue(key.handle(), row.name, row.type, row.data), RegStatus::Ok);
    read.push_back(this->Read(key, row.name));
    names.push_back(row.name + "|0|");
  }
  for (const char* sub : {"zeta", "Eta", "theta"}) this->Create("Data\\"s + sub);
  std::vector<RegValue> values, listed, named;
  ASSERT_EQ(this->reg.ListKey(key.handle(), &values, &subKeys), RegStatus::Ok);
  ASSERT_EQ(this->reg.ListValues(key.handle(), true, &listed), RegStatus::Ok);
  ASSERT_EQ(this->reg.ListValues(key.handle(), false, &named), RegStatus::Ok);
  ASSERT_EQ(this->reg.ListSubKeys(key.handle(), &keys), RegStatus::Ok);
  EXPECT_EQ(read, Lines(rows));
  EXPECT_EQ(Lines(values), Lines(rows));
  EXPECT_EQ(Lines(listed), Lines(rows));
  EXPECT_EQ(Lines(named), names);
  EXPECT_EQ(subKeys, (std::vector<std::string>{"Eta", "theta", "zeta"}));
  EXPECT_EQ(keys, subKeys);
}

TYPED_TEST_P(RegistryContract, NamesOutsideTheCodePageAreListedButNotAnsiExact) {
  RegKey key = this->Create("Names");
  ASSERT_EQ(this->reg.SetValue(key.handle(), "plain", kRegSz, "text\0"s), RegStatus::Ok);
  const auto odd = this->side.SetNamesOutsideCodePage(kContractKey + "\\Names"s);
  std::vector<RegValue> values;
  ASSERT_EQ(this->reg.ListValues(key.handle(), false, &values), RegStatus::Ok);
  const std::vector<std::string> listed = Lines(values);
  for (const std::string& name : odd) {
    EXPECT_EQ(std::count(listed.begin(), listed.end(), name + "|0|"), 1) << name;
    EXPECT_FALSE(this->reg.IsAnsiExact(key.handle(), name)) << name;
  }
  EXPECT_TRUE(this->reg.IsAnsiExact(key.handle(), "plain"));
  EXPECT_TRUE(this->reg.IsAnsiExact(key.handle(), "gone"));  // nothing left to restore
}

TYPED_TEST_P(RegistryContract, RefusalsAndAbsencesHaveTheirOwnStatus) {
  RegKey key = this->Create("Kept"), other(this->reg);
  ASSERT_EQ(this->reg.SetValue(key.handle(), "kept", kRegSz, "x\0"s), RegStatus::Ok);
  this->side.Deny();
  EXPECT_EQ(other.Open(kContractRoot, kDeniedKey), RegStatus::AccessDenied);
  EXPECT_EQ(other.Open(kContractRoot, kContractKey + "\\Missing\\Deeper"s), RegStatus::NotFound);
  ASSERT_EQ(other.Open(kContractRoot, kContractKey + "\\Kept"s), RegStatus::Ok);
  EXPECT_EQ(this->Read(other, "missing"), kNotFound);
  EXPECT_EQ(this->reg.DeleteValue(other.handle(), "kept"), RegStatus::AccessDenied);
  EXPECT_EQ(this->reg.SetValue(other.handle(), "kept", kRegSz, ""), RegStatus::AccessDenied);
  EXPECT_EQ(this->Read(other, "kept"), "kept|1|x\0"s);
  EXPECT_EQ(this->reg.DeleteValue(key.handle(), "missing"), RegStatus::NotFound);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, LongPathsAndStraySeparatorsReachTheSameKey,
                            ListingsAndReadsGiveEveryTypeByteForByte,
                            NamesOutsideTheCodePageAreListedButNotAnsiExact,
                            RefusalsAndAbsencesHaveTheirOwnStatus);

}  // namespace kw::test
