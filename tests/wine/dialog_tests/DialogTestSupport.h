// Helpers of the dialog tests: the built program's resources, dialogs that
// run a test's steps inside their modal loop, an answerer for message boxes
// and a private program folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Dialog.h"
#include "system/Environment.h"
#include "system/Win32Environment.h"

namespace kw::test {

// Kelpwise.exe loaded as a data file, for its templates, menu, icons and
// strings. Taken from KW_PROGRAM_DIR when set, else from beside this test
// program (Kelpwise\Kelpwise.exe or Kelpwise.exe).
class ProgramResources {
 public:
  ProgramResources();
  ~ProgramResources();
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;

  HINSTANCE module() const { return m_module; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  HINSTANCE m_module = nullptr;
};

// The one shared instance (loaded on first use).
HINSTANCE ProgramModule();

// Runs `Steps` once the dialog's modal loop has started, then lets the
// dialog go on; the steps usually end it (press OK, Cancel, ...).
template <class Base>
class Scripted : public Base {
 public:
  template <class... Args>
  explicit Scripted(Args&&... args) : Base(std::forward<Args>(args)...) {}

  std::function<void(Base&)> steps;

  HINSTANCE ResourceModule() const override { return ProgramModule(); }

 protected:
  static constexpr UINT kRunSteps = WM_APP + 71;

  // Posted first, so that the steps run even when the initialisation fails.
  bool OnInitDialog() override {
    ::PostMessageA(this->hwnd(), kRunSteps, 0, 0);
    return Base::OnInitDialog();
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message != kRunSteps) return Base::OnMessage(message, wParam, lParam, result);
    if (steps) steps(*this);
    return true;
  }
};

// Clicks a push button of a dialog (as the user would, through WM_COMMAND).
void Click(HWND dialog, int id);

// While alive, answers every message box that this thread shows with
// `answer` and records what it said.
class MessageBoxAnswerer {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };

  explicit MessageBoxAnswerer(int answer = IDOK);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  const std::vector<Box>& boxes() const { return m_boxes; }

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);

  int m_answer;
  HHOOK m_hook;
  std::vector<Box> m_boxes;
};

// A fresh program folder in the temporary directory, removed at the end,
// and an environment whose executable lives there.
class ProgramFolder : public Environment {
 public:
  ProgramFolder();
  ~ProgramFolder() override;
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& path() const { return m_path; }
  // Writes `lines` to the file `name`, each ended by CR LF.
  void WriteLines(const std::string& name, const std::vector<std::string>& lines) const;
  std::vector<std::string> ReadLines(const std::string& name) const;

  Registry& registry() override { return m_machine.registry(); }
  std::string ModuleFileName() override { return m_path + "\\Kelpwise.exe"; }
  bool WindowsDirectory(std::string* dir) override { return m_machine.WindowsDirectory(dir); }
  PathState ProbePath(const std::string& path) override { return m_machine.ProbePath(path); }
  LocalTime Now() override { return m_machine.Now(); }

 private:
  std::string m_path;
  Win32Environment m_machine;
};

}  // namespace kw::test
