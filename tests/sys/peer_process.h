// Runs area_peer as a separate process and talks to it line by line, for tests
// that need a second holder of a shared area or an instance lock, or one that
// dies while holding it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class PeerProcess {
 public:
  PeerProcess() {
    int toPeer[2], fromPeer[2];
    if (pipe2(toPeer, O_CLOEXEC) != 0) return;
    if (pipe2(fromPeer, O_CLOEXEC) != 0) {
      close(toPeer[0]);
      close(toPeer[1]);
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toPeer[0], 0);
      dup2(fromPeer[1], 1);
      execl(AREA_PEER, AREA_PEER, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toPeer[0]);
    close(fromPeer[1]);
    in_ = toPeer[1];
    out_ = fromPeer[0];
  }
  ~PeerProcess() {
    if (in_ >= 0) close(in_);  // end of input ends the peer
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
      int status;
      waitpid(pid_, &status, 0);
    }
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Sends one command and returns the answer line, or "no answer" when the peer
  // is gone or silent for ten seconds.
  std::string Ask(const std::string& command) { return Send(command) ? Receive() : "no answer"; }

  // The two halves of Ask, for running several peers at once.
  bool Send(const std::string& command) {
    std::string line = command + "\n";
    return in_ >= 0 && write(in_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  }
  std::string Receive() {
    std::string answer;
    for (;;) {
      pollfd p{out_, POLLIN, 0};
      if (out_ < 0 || poll(&p, 1, 10000) <= 0) return "no answer";
      char c;
      if (read(out_, &c, 1) != 1) return "no answer";
      if (c == '\n') return answer;
      answer += c;
    }
  }

  // Kills the peer at once, as a crash would, and waits until it is gone.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
};
