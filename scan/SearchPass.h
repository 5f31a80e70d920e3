// One search pass, for the window and for the command line alike: walks the
// categories switched on in the options, in category order, past the keys
// of the ignore list, appends what it finds to the result model and runs
// the key-loop guard on every key it visits.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "options/OptionsString.h"
#include "scan/KeyWalker.h"
#include "scan/ResultModel.h"
#include "scan/ScanCategories.h"
#include "scan/ScanListener.h"
#include "system/SystemTools.h"

namespace kw {

// What a search pass tells its caller while it walks.
class SearchPassListener {
 public:
  virtual ~SearchPassListener() = default;

  // A key is about to be opened (the progress line).
  virtual void OnKeyEntered(const std::string& keyPath) {}
  // Row `row` of the model was just appended for a value of the key
  // `keyPath`, which category `category` walks.
  virtual void OnEntryAdded(int row, int category, const std::string& keyPath, bool fileReference) {
  }
  // The key-loop guard has met a loop at `keyPath`; `entry` is the key that
  // goes into blacklist.ini right after this call (empty: no key can).
  virtual void OnKeyLoop(const std::string& keyPath, const std::string& entry) {}
};

class SearchPass : private ScanListener {
 public:
  // `categoryNames` are the names the rows show, in category order.
  SearchPass(CSystemTools& tools, ResultModel& model, SearchPassListener& listener,
             const std::vector<std::string>& ignoreList,
             const std::array<std::string, kCategoryCount>& categoryNames,
             const OptionFlags& options);

  // After the key-loop guard has fired the pass enters no further key.
  // Otherwise it walks on to the end, the guard silent.
  bool stopAtKeyLoop = false;

  // The history categories walk the profile of this SID below HKEY_USERS
  // instead of HKEY_CURRENT_USER (empty: the current user's).
  std::string profileSid;

  // Walks every category switched on; the model's pass is left unsettled.
  // Throws FileError when blacklist.ini cannot take the loop's entry.
  void Run();

 private:
  void CheckKeyLoop(const std::string& keyPath);

  void OnKeyEntered(const std::string& keyPath) override;
  void OnKeyChecked(const std::string& keyPath) override;
  void OnEntryAdded(int row, const std::string& keyPath, bool fileReference) override;

  CSystemTools& m_tools;
  SearchPassListener& m_listener;
  std::array<std::string, kCategoryCount> m_categoryNames;
  OptionFlags m_options;
  KeyWalker m_walker;
  int m_category = 0;
  // The start key of the category walk in progress.
  std::string m_strWalkStart;
  // The key-loop guard fires once per pass.
  bool m_bLoopGuardFired = false;
};

}  // namespace kw
