// A program run as a child process with pipes to its standard input and output,
// for the tests that need IpcProbe or a host in a process of its own.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace probetest {

class ChildProcess {
 public:
  // Starts `argv[0]` with the arguments and the extra environment ("NAME=value").
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(out[1], STDERR_FILENO);
      for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
  ~ChildProcess() {
    CloseInput();
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void Write(const std::string& text) {
    if (input_ >= 0 && write(input_, text.data(), text.size()) < 0) CloseInput();
  }
  void CloseInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
  }
  void Signal(int sig) {
    if (pid_ > 0 && status_ < 0) kill(pid_, sig);
  }

  // Reads output until it contains `text` (searching from `from`) or the time is up.
  bool WaitForOutput(const std::string& text, double seconds, size_t from = 0) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (output().find(text, from) == std::string::npos) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !ReadSome(int(left.count()))) return false;
    }
    return true;
  }

  // Waits for the end (reading the rest of the output); the exit code, or -1.
  int Wait(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (status_ < 0) {
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() > end) return -1;
      ReadSome(50);
    }
    while (ReadSome(0)) {
    }
    return status_;
  }

  const std::string& output() const { return output_text_; }

 private:
  bool ReadSome(int timeoutMs) {
    if (output_ < 0) return false;
    pollfd p{output_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return status_ < 0 && timeoutMs > 0;
    char buffer[4096];
    ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) {
      close(output_);
      output_ = -1;
      return false;
    }
    output_text_.append(buffer, size_t(n));
    return true;
  }

  pid_t pid_ = -1;
  int input_ = -1, output_ = -1;
  int status_ = -1;
  std::string output_text_;
};

}  // namespace probetest
