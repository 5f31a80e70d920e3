#include "app/CommandRun.h"

#include <algorithm>
#include <array>
#include <memory>

#include "app/CommandReport.h"
#include "app/JsonReport.h"
#include "app/RestoreRun.h"
#include "cleaning/BackupFile.h"
#include "cleaning/Deletion.h"
#include "cleaning/IgnoreList.h"
#include "options/OptionsString.h"
#include "scan/SearchPass.h"
#include "system/FileError.h"
#include "system/ProfileHives.h"
#include "system/TextFile.h"
#include "system/UserProfiles.h"

namespace kw {

namespace {

constexpr int kUsageErrorCode = 2;
constexpr int kOtherErrorCode = 5;
// How long /clean waits for another clean-up on the machine to finish.
constexpr unsigned kCleanUpWaitMs = 10 * 60 * 1000;

const char* OutcomeText(RecordOutcome outcome) {
  switch (outcome) {
    case RecordOutcome::Deleted:
      return "deleted";
    case RecordOutcome::AlreadyGone:
      return "deleted (was gone already)";
    case RecordOutcome::NotRestorable:
      return "not deleted: a backup cannot restore its name or data";
    case RecordOutcome::Unreadable:
      return "not deleted: unreadable record";
    case RecordOutcome::Changed:
      return "not deleted: changed since the search";
    case RecordOutcome::Refused:
      return "not deleted: the registry refused it";
    case RecordOutcome::Skipped:
      break;
  }
  return "";
}

// Where a row was found: its category, root and key, and with /allusers
// the account whose profile holds it.
struct RowPlace {
  int category;
  RegRoot root;
  std::string keyPath;
  std::string user;
};

// The options with only the history kinds, or only the others, left on.
OptionFlags OnlyKinds(OptionFlags options, bool history) {
  for (const ScanCategory& category : ScanCategories()) {
    if ((category.check == SCAN_HISTORY) != history) options[category.index] = false;
  }
  return options;
}

bool AnyKind(const OptionFlags& options) {
  return std::any_of(options.begin(), options.begin() + kCategoryCount,
                     [](bool chosen) { return chosen; });
}

class CommandRun : private SearchPassListener {
 public:
  CommandRun(const CommandLine& command, Environment& env)
      : m_command(command), m_env(env), m_hives(env), m_tools(m_hives) {
    m_facts.clean = command.mode == CommandMode::Clean;
    m_summary.userColumn = command.allUsers;
  }

  int Run() {
    if (m_command.allUsers && !m_env.IsAdministrator()) {
      m_summary.error =
          "/allusers needs administrator rights (an elevated prompt, or SYSTEM): nothing searched";
      m_facts.usageError = true;
      return WriteReport();
    }
    try {
      const OptionFlags options = ReadOptionFlags(m_tools.ReadSetting("Options"));
      if (!AnyKind(options)) {
        Fail("no kind of entry chosen: \"Options\" in config.ini names none, nothing searched");
      } else {
        Search(options);
        if (!m_summary.keyLoop.empty()) {
          Fail("key loop: added to blacklist.ini, nothing deleted");
        } else if (m_facts.clean && m_facts.found > 0) {
          Clean();
        }
      }
    } catch (const std::exception& error) {
      Fail(error.what());
    } catch (...) {
      Fail("unexpected error");
    }
    // Every hive this run loaded goes before the report tells that it ended.
    m_hives.UnloadAll();
    return WriteReport();
  }

 private:
  void Fail(const std::string& why) {
    m_facts.failed = true;
    m_summary.error = why;
  }

  void Search(const OptionFlags& options) {
    const std::vector<std::string> ignoreList = LoadIgnoreList(BlacklistPath());
    if (!m_command.allUsers) {
      SearchOnce(options, ignoreList);
    } else {
      // The history lists of every profile, then the machine's own kinds.
      const OptionFlags history = OnlyKinds(options, true);
      if (AnyKind(history)) {
        for (const UserProfile& profile : ListUserProfiles(m_env)) {
          if (!m_summary.keyLoop.empty()) break;
          SearchProfile(profile, history, ignoreList);
        }
      }
      if (m_summary.keyLoop.empty()) SearchOnce(OnlyKinds(options, false), ignoreList);
    }
    for (int row : m_model.SettlePass()) m_places.erase(m_places.begin() + row);
    m_facts.found = m_summary.found = m_model.m_nEntryCount;
  }

  void SearchProfile(const UserProfile& profile, const OptionFlags& history,
                     const std::vector<std::string>& ignoreList) {
    const std::string account = m_env.AccountName(profile.sid);
    m_user = account.empty() ? profile.sid : account;
    std::string why;
    if (m_hives.Reach(profile, &why)) {
      m_profileSid = profile.sid;
      SearchOnce(history, ignoreList);
    } else {
      ++m_facts.profilesNotSearched;
      m_unsearched.push_back({-1, RootName(RegRoot::Users), profile.sid, "", kRegNone, "", "",
                              "profile not searched: " + why, m_user});
    }
    m_profileSid.clear();
    m_user.clear();
  }

  void SearchOnce(const OptionFlags& options, const std::vector<std::string>& ignoreList) {
    if (!AnyKind(options)) return;
    std::array<std::string, kCategoryCount> names;
    for (int i = 0; i < kCategoryCount; ++i) names[i] = CategoryEnglishName(i);
    SearchPass pass(m_tools, m_model, *this, ignoreList, names, options);
    pass.profileSid = m_profileSid;
    // Nothing is deleted after a loop: the rest of the pass could only
    // take longer.
    pass.stopAtKeyLoop = true;
    pass.Run();
  }

  void Clean() {
    const std::unique_ptr<CleanUpLock> lock = m_env.LockCleanUps(kCleanUpWaitMs);
    if (!lock) {
      Fail("another clean-up was still running after 10 minutes, nothing deleted");
      return;
    }
    try {
      const DeleteRunResult run = BackUpAndDelete(m_tools, m_model.m_arrBackupRecords);
      m_summary.backupFile = run.backupPath;
      m_summary.deleted = run.deletion.deleted;
      m_facts.notDeleted = m_summary.notDeleted = run.deletion.failed;
      m_outcomes = run.deletion.outcomes;
      if (run.backupKeepsUndeleted) {
        m_summary.warning =
            "the backup also holds entries that were not deleted: do not restore it whole";
      }
    } catch (const FileError& error) {
      m_facts.backupFailed = true;
      m_summary.error = "backup not written, nothing deleted: " + error.path();
    }
  }

  std::string Outcome(int row) const {
    if (!m_facts.clean) return "found";
    if (m_facts.backupFailed) return "not deleted: backup not written";
    const int record = m_model.BackupIndexOf(row);
    if (record < 0 || static_cast<size_t>(record) >= m_outcomes.size()) {
      return "not deleted: the run ended early";
    }
    return OutcomeText(m_outcomes[static_cast<size_t>(record)]);
  }

  int WriteReport() {
    std::vector<ReportEntry> entries;
    for (size_t row = 0; row < m_model.rows().size(); ++row) {
      const ResultRow& found = m_model.rows()[row];
      const RowPlace& place = m_places[row];
      std::string keyPath = place.keyPath;
      if (!keyPath.empty() && keyPath[0] == '\\') keyPath.erase(0, 1);
      entries.push_back({place.category, RootName(place.root), keyPath, found.valueName,
                         found.valueType, found.shown, found.missingPath,
                         Outcome(static_cast<int>(row)), place.user});
    }
    entries.insert(entries.end(), m_unsearched.begin(), m_unsearched.end());
    return WriteRunReport(m_command, m_tools, m_env, entries, m_summary, m_facts);
  }

  std::string BlacklistPath() const { return m_tools.GetProgramDir() + "\\blacklist.ini"; }

  // The loop's key goes into blacklist.ini; the run deletes nothing.
  void OnKeyLoop(const std::string& keyPath, const std::string& entry) override {
    m_summary.keyLoop = entry.empty() ? keyPath : entry;
  }
  void OnEntryAdded(int, int category, const std::string& keyPath, bool) override {
    const ScanCheck check = ScanCategories()[category].check;
    const bool inProfile = check == SCAN_HISTORY && !m_profileSid.empty();
    m_places.push_back({category, inProfile ? RegRoot::Users : RootOf(check), keyPath, m_user});
  }

  const CommandLine& m_command;
  Environment& m_env;
  // The machine, with every profile's keys below HKEY_USERS\<SID>.
  ProfileHives m_hives;
  CSystemTools m_tools;
  std::string m_profileSid;               // the profile being searched, if any
  std::string m_user;                     // its account
  std::vector<ReportEntry> m_unsearched;  // profiles whose hive could not be loaded
  ResultModel m_model;
  std::vector<RowPlace> m_places;         // one per row of m_model
  std::vector<RecordOutcome> m_outcomes;  // one per record, after /clean
  RunFacts m_facts;
  ReportSummary m_summary;
};

}  // namespace

void WriteNamedReport(const std::string& path, const std::string& bytes) {
  if (IsLinkOrJunction(path) || IsLinkOrJunction(FolderOf(path))) {
    throw FileError(FileError::Cause::Write, path);
  }
  ReplaceWholeFile(path, bytes);
}

int WriteRunReport(const CommandLine& command, CSystemTools& tools, Environment& env,
                   const std::vector<ReportEntry>& entries, ReportSummary summary, RunFacts facts) {
  summary.exitCode = DecideExitCode(facts);
  try {
    if (command.reportPath.empty()) {
      const std::string folder = BackupFolder(tools.GetProgramDir());
      if (IsLinkOrJunction(folder)) throw FileError(FileError::Cause::Write, folder);
      WriteNewFile(folder + "\\report - " + tools.GetTimestamp(), ".txt",
                   FormatReport(env, entries, summary));
    } else if (IsJsonReportPath(command.reportPath)) {
      WriteNamedReport(command.reportPath, FormatJsonReport(env, entries, summary));
    } else {
      WriteNamedReport(command.reportPath, FormatReport(env, entries, summary));
    }
  } catch (...) {
    facts.failed = true;
  }
  return DecideExitCode(facts);
}

int RunCommand(const CommandLine& command, Environment& env) {
  if (command.mode == CommandMode::Restore) {
    // A value of a profile nobody is logged on to goes into its hive file.
    ProfileHives hives(env);
    return RunRestore(command, hives, [&hives](const std::string& sid, std::string* why) {
      return hives.Reach(sid, why);
    });
  }
  if (command.mode != CommandMode::Search && command.mode != CommandMode::Clean) {
    return kUsageErrorCode;
  }
  return CommandRun(command, env).Run();
}

int WriteUsageReport(const CommandLine& command, Environment& env) {
  if (command.reportPath.empty()) return 0;
  try {
    WriteNamedReport(command.reportPath, WithCrLf(env.AnsiToUtf8(std::string(kUsageText) + "\n")));
  } catch (...) {
    return kOtherErrorCode;
  }
  return 0;
}

}  // namespace kw
