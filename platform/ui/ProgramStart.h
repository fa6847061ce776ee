#pragma once
// Starting another program with a list of arguments, never through a shell: a path with
// blanks or quotes stays one argument. The program installs nothing and gets a detached
// start (QProcess::startDetached, the program looked up on PATH when it holds no "/");
// tests install a starter that records the start or runs the program and waits for it.
#include <functional>
#include <string>
#include <vector>

namespace qv::ui {

using ProgramStarter = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;

// Starts `program` with `args`; false when it could not be started (not found, not
// executable).
bool StartProgram(const std::string& program, const std::vector<std::string>& args);

// Installs a starter for the lifetime of this object, then puts back the previous one.
class ScopedProgramStarter {
 public:
  explicit ScopedProgramStarter(ProgramStarter s);
  ~ScopedProgramStarter();
  ScopedProgramStarter(const ScopedProgramStarter&) = delete;
  ScopedProgramStarter& operator=(const ScopedProgramStarter&) = delete;

 private:
  ProgramStarter previous_;
};

}  // namespace qv::ui
