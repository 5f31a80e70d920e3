// Fills the registry of the current prefix with a large, realistic load for
// the search: ProgIDs and file types, COM classes, type libraries, shared
// DLLs, fonts, help files and history lists. One file reference in twenty
// is dead; live references point at files it creates under C:\kwbench\live.
#pragma once

#include <windows.h>

#include <string>

namespace kw::bench {

struct GenerateCounts {
  long keys = 0;
  long values = 0;
  long references = 0;
  long deadReferences = 0;
  long files = 0;
};

class RegistryGenerator {
 public:
  // False (with a message on stderr) when a key or file cannot be made.
  bool Run();
  const GenerateCounts& counts() const { return m_counts; }

 private:
  bool MakeLiveFiles();
  bool MakeFile(const std::string& path);
  bool ProgIds();
  bool ComClasses();
  bool TypeLibs();
  bool SharedDlls();
  bool Fonts();
  bool HelpFiles();
  bool HistoryLists();

  // Creates (or opens) root\path; every call counts as one key written.
  HKEY Create(HKEY root, const std::string& path);
  bool SetString(HKEY key, const char* name, const std::string& data);
  bool SetDword(HKEY key, const char* name, DWORD data);
  // Next reference: dead (C:\kwbench\gone), in the Windows folder, or live.
  enum class RefKind { Dead, Windows, Live };
  RefKind NextReference();
  // A file path for the next reference: kGone\<stem><n><extension>,
  // `windowsFile`, or one of the live files.
  std::string NextReferencePath(const char* stem, const char* extension, const char* windowsFile,
                                long n);

  GenerateCounts m_counts;
  bool m_failed = false;
};

}  // namespace kw::bench
