#include "app/RestoreRun.h"

#include <map>
#include <memory>

#include "app/CommandReport.h"
#include "app/CommandRun.h"
#include "cleaning/BackupFile.h"
#include "cleaning/BackupReader.h"
#include "cleaning/RestoreScope.h"
#include "scan/EntryChecks.h"
#include "system/FileError.h"
#include "system/SystemTools.h"

namespace kw {

namespace {

// How long /restore waits for a clean-up on the machine to finish.
constexpr unsigned kCleanUpWaitMs = 10 * 60 * 1000;

const char kAlreadyThere[] = "already there";
const char kRestored[] = "restored";
const char kReplaced[] = "replaced";
const char kNotRestored[] = "not restored: ";

// What the registry holds for a value: nothing (key or value missing), the
// value, or an answer that is neither.
struct Reading {
  RegStatus status = RegStatus::NotFound;
  RegValue value;
  bool ansiExact = true;  // a backup can hold its name and data
};

Reading Read(Registry& registry, const BackupValue& target) {
  Reading reading;
  RegKey key(registry);
  reading.status = key.Open(target.root, target.keyPath);
  if (reading.status != RegStatus::Ok) return reading;
  reading.status = key.registry().QueryValue(key.handle(), target.value.name, &reading.value);
  if (reading.status == RegStatus::Ok) {
    reading.ansiExact = key.registry().IsAnsiExact(key.handle(), target.value.name);
  }
  return reading;
}

bool Holds(const Reading& reading, const RegValue& value) {
  return reading.status == RegStatus::Ok && reading.value.type == value.type &&
         reading.value.data == value.data;
}

bool Same(const Reading& a, const Reading& b) {
  return a.status == b.status && (a.status != RegStatus::Ok || Holds(a, b.value));
}

// The data column: the text of a string, else the bytes in hex.
std::string Shown(const RegValue& value) {
  if (value.type == kRegSz) return DecodeRegString(value);
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : value.data) {
    if (!hex.empty()) hex += ',';
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

// One value of the backup and what became of it.
struct Item {
  BackupValue target;
  Reading before;
  bool write = false;
  std::string outcome;  // decided; empty while the value is still to be written
};

class RestoreRun {
 public:
  RestoreRun(const CommandLine& command, Environment& env, ProfileReach reach)
      : m_command(command), m_env(env), m_tools(env), m_reach(std::move(reach)) {
    if (!m_reach) m_reach = LoadedProfilesOnly(env);
    m_summary.restore = true;
  }

  int Run() {
    try {
      const std::unique_ptr<CleanUpLock> lock = m_env.LockCleanUps(kCleanUpWaitMs);
      std::vector<BackupValue> values;
      std::string why;
      if (!lock) {
        Fail("another clean-up was still running after 10 minutes, nothing restored");
      } else if (!ReadBackupFile(m_command.restorePath, &values, &why)) {
        Fail("not a Kelpwise backup, nothing restored: " + why);
      } else if (!(why = FirstOutsideScope(values)).empty()) {
        Fail("backup refused, nothing restored: " + why);
      } else {
        m_items.resize(values.size());
        for (size_t i = 0; i < values.size(); ++i) m_items[i].target = std::move(values[i]);
        Restore();
      }
    } catch (const std::exception& error) {
      Fail(error.what());
    } catch (...) {
      Fail("unexpected error");
    }
    return WriteReport();
  }

 private:
  void Fail(const std::string& why) {
    m_facts.failed = true;
    m_summary.error = why;
  }

  void Restore() {
    Registry& registry = m_env.registry();
    std::map<std::string, std::string> blocked;  // SID -> why it cannot be reached; "" when it can
    for (Item& item : m_items) {
      const std::string sid = ProfileSidOf(item.target.root, item.target.keyPath);
      if (!sid.empty()) {
        auto it = blocked.find(sid);
        if (it == blocked.end()) {
          std::string why;
          const bool reached = m_reach(sid, &why);
          if (!reached && why.empty()) why = "the user's profile cannot be reached";
          it = blocked.emplace(sid, reached ? "" : why).first;
        }
        if (!it->second.empty()) {
          item.outcome = kNotRestored + it->second;
          continue;
        }
      }
      Decide(item, Read(registry, item.target));
    }
    if (!WriteSafetyBackup()) return;
    for (Item& item : m_items) {
      if (item.write) Write(item);
    }
    for (Item& item : m_items) {
      if (item.write && item.outcome.empty()) ReadBack(item);
    }
  }

  void Decide(Item& item, const Reading& now) {
    item.before = now;
    if (Holds(now, item.target.value)) {
      item.outcome = kAlreadyThere;
    } else if (now.status != RegStatus::Ok && now.status != RegStatus::NotFound) {
      item.outcome = kNotRestored + std::string("its key could not be read");
    } else if (now.status == RegStatus::Ok &&
               (!now.ansiExact || SafetyRecord(item).kind != RecordKind::Restorable)) {
      item.outcome = kNotRestored + std::string("the data there now cannot be backed up");
    } else {
      item.write = true;
    }
  }

  // The record of the data a write would replace, as the search makes it.
  BackupRecord SafetyRecord(const Item& item) const {
    const BackupValue& target = item.target;
    if (IsSharedDllKey(target.root, target.keyPath)) {
      return MakeSharedDllRecord(target.keyPath, item.before.value);
    }
    return MakeValueRecord(target.root, target.keyPath, item.before.value);
  }

  // Writes what is to be replaced into a new backup before anything is
  // written; false, deciding every write as not done, when it cannot.
  bool WriteSafetyBackup() {
    std::vector<BackupRecord> records;
    for (const Item& item : m_items) {
      if (item.write && item.before.status == RegStatus::Ok) records.push_back(SafetyRecord(item));
    }
    if (records.empty()) return true;
    std::string path = BackupFolder(m_tools.GetProgramDir());
    try {
      const std::unique_ptr<TextFileWriter> file =
          CreateBackupFile(m_tools.GetProgramDir(), m_tools.GetTimestamp());
      path = file->path();
      WriteBackupFile(*file, records);
      m_summary.backupFile = path;
      return true;
    } catch (const FileError& error) {
      m_facts.backupFailed = true;
      m_summary.error = "safety backup not written, nothing restored: " + error.path();
    }
    for (Item& item : m_items) {
      if (item.write)
        item.outcome = kNotRestored + std::string("the safety backup was not written");
    }
    return false;
  }

  void Write(Item& item) {
    Registry& registry = m_env.registry();
    // Another program may have written since the first look: its data is
    // in no backup then.
    if (!Same(Read(registry, item.target), item.before)) {
      item.outcome = kNotRestored + std::string("changed while restoring");
      return;
    }
    RegKey key(registry);
    const RegValue& value = item.target.value;
    if (key.Create(item.target.root, item.target.keyPath) != RegStatus::Ok ||
        registry.SetValue(key.handle(), value.name, value.type, value.data) != RegStatus::Ok) {
      item.outcome = kNotRestored + std::string("the registry refused it");
    }
  }

  void ReadBack(Item& item) {
    const Reading after = Read(m_env.registry(), item.target);
    if (Holds(after, item.target.value)) {
      item.outcome = item.before.status == RegStatus::Ok ? kReplaced : kRestored;
    } else {
      item.outcome =
          kNotRestored + std::string(after.status == RegStatus::Ok ? "it reads back different"
                                                                   : "it cannot be read back");
    }
  }

  int WriteReport() {
    std::vector<ReportEntry> entries;
    for (const Item& item : m_items) {
      const BackupValue& target = item.target;
      const int category = CategoryReaching(target.root, target.keyPath);
      const std::string& outcome = item.outcome;
      if (outcome == kRestored) ++m_summary.restored;
      if (outcome == kReplaced) ++m_summary.replaced;
      if (outcome == kAlreadyThere) ++m_summary.alreadyThere;
      if (outcome.compare(0, sizeof kNotRestored - 1, kNotRestored) == 0) ++m_summary.notRestored;
      entries.push_back({category, RootName(target.root), target.keyPath,
                         NameColumn(ScanCategories()[category].check, target.value.name),
                         target.value.type, Shown(target.value), "", outcome, ""});
    }
    m_facts.found = m_summary.restored + m_summary.replaced;
    m_facts.notDeleted = m_summary.notRestored;
    return WriteRunReport(m_command, m_tools, m_env, entries, m_summary, m_facts);
  }

  const CommandLine& m_command;
  Environment& m_env;
  CSystemTools m_tools;
  ProfileReach m_reach;
  std::vector<Item> m_items;
  RunFacts m_facts;
  ReportSummary m_summary;
};

}  // namespace

ProfileReach LoadedProfilesOnly(Environment& env) {
  return [&env](const std::string& sid, std::string* why) {
    RegKey key(env.registry());
    if (key.Open(RegRoot::Users, sid) == RegStatus::Ok) return true;
    *why = "the user's profile is not loaded";
    return false;
  };
}

int RunRestore(const CommandLine& command, Environment& env, ProfileReach reach) {
  return RestoreRun(command, env, std::move(reach)).Run();
}

}  // namespace kw
