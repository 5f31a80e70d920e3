#include "scan/SearchPass.h"

#include <optional>

#include "cleaning/IgnoreList.h"
#include "cleaning/LoopGuard.h"

namespace kw {

SearchPass::SearchPass(CSystemTools& tools, ResultModel& model, SearchPassListener& listener,
                       const std::vector<std::string>& ignoreList,
                       const std::array<std::string, kCategoryCount>& categoryNames,
                       const OptionFlags& options)
    : m_tools(tools),
      m_listener(listener),
      m_categoryNames(categoryNames),
      m_options(options),
      m_walker(tools.environment().registry(), tools, model, *this, ignoreList, categoryNames,
               options) {}

void SearchPass::Run() {
  m_walker.SetProfile(profileSid);
  for (const ScanCategory& category : ScanCategories()) {
    if (!m_options[category.index]) continue;
    if (stopAtKeyLoop && m_bLoopGuardFired) return;
    m_category = category.index;
    m_strWalkStart = m_walker.PathInPlace(category.check, category.startKey);
    m_walker.ScanKey(m_categoryNames[category.index], m_strWalkStart, category.check,
                     category.extensions);
  }
}

void SearchPass::CheckKeyLoop(const std::string& keyPath) {
  if (m_bLoopGuardFired) return;
  // In a profile the walk's paths begin with "<SID>\"; the ignore list
  // holds paths below the user's root.
  const size_t prefix = m_strWalkStart.size() - ScanCategories()[m_category].startKey.size();
  const std::optional<std::string> entry =
      LoopGuardEntry(keyPath.substr(prefix), m_strWalkStart.substr(prefix));
  if (!entry) return;
  m_bLoopGuardFired = true;
  if (stopAtKeyLoop) m_walker.Stop();
  m_listener.OnKeyLoop(keyPath, *entry);
  AppendIgnoreEntry(m_tools.GetProgramDir() + "\\blacklist.ini", *entry);
}

void SearchPass::OnKeyEntered(const std::string& keyPath) { m_listener.OnKeyEntered(keyPath); }

void SearchPass::OnKeyChecked(const std::string& keyPath) { CheckKeyLoop(keyPath); }

void SearchPass::OnEntryAdded(int row, const std::string& keyPath, bool fileReference) {
  // The caller takes the row first: a guard that throws leaves no row
  // without its caller's record of it.
  m_listener.OnEntryAdded(row, m_category, keyPath, fileReference);
  CheckKeyLoop(keyPath);
}

}  // namespace kw
