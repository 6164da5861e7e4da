// Runs a program as a child process and collects its standard output, its
// standard error and its exit status, for tests of the command-line tools.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tools_test {

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or -1 when the program did not exit normally
};

// Quotes a word for /bin/sh.
inline std::string shell_quote(const std::string& word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs program with args in directory dir (the current one when empty).
inline RunResult run(const std::string& program, const std::vector<std::string>& args,
                     const std::string& dir = "") {
  static int serial = 0;
  const std::string err_path =
      "/tmp/morva-test-stderr-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
  std::string command;
  if (!dir.empty()) command = "cd " + shell_quote(dir) + " && ";
  command += shell_quote(program);
  for (const std::string& a : args) (command += ' ') += shell_quote(a);
  command += " 2>" + shell_quote(err_path);

  RunResult r;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
  const int wait_status = ::pclose(pipe);
  r.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  r.err = read_file(err_path);
  std::remove(err_path.c_str());
  return r;
}

}  // namespace tools_test
