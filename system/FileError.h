// Raised when a file the program needs cannot be opened or written. The
// main window has the dialog layer's top-level handling show it in a message
// box that names the file (Message), and the handler that was running ends.
#pragma once

#include <stdexcept>
#include <string>

namespace kw {

class FileError : public std::runtime_error {
 public:
  enum class Cause { Open, Write };

  FileError(Cause cause, std::string path)
      : std::runtime_error((cause == Cause::Open ? "cannot open " : "cannot write ") + path),
        m_cause(cause),
        m_path(std::move(path)) {}

  Cause cause() const { return m_cause; }
  const std::string& path() const { return m_path; }
  // The text of the box that reports it.
  std::string Message() const {
    return (m_cause == Cause::Open ? "The file could not be opened:\n\n"
                                   : "The file could not be written:\n\n") +
           m_path;
  }

 private:
  Cause m_cause;
  std::string m_path;
};

}  // namespace kw
