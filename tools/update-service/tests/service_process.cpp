#include "service_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

extern char** environ;

namespace update_service::testing {

ServiceProcess::~ServiceProcess() { Stop(); }

bool ServiceProcess::Start(const std::vector<std::string>& args, const std::string& stderr_file,
                           std::string& error) {
  std::vector<std::string> all = {UPDATE_SERVICE_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  // A failed test must never leave a service behind.
  all.insert(all.end(), {"--exit-after", "60"});
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error = "pipe failed";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderr_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    pid_ = -1;
    error = std::string("cannot start ") + argv[0];
    return false;
  }

  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd entry{out[0], POLLIN, 0};
    if (::poll(&entry, 1, 100) <= 0) continue;
    char buffer[256];
    const ssize_t got = ::read(out[0], buffer, sizeof(buffer));
    if (got <= 0) break;
    line.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(out[0]);
  char scheme[8] = "";
  if (std::sscanf(line.c_str(), "listening on %7[a-z]://127.0.0.1:%d", scheme, &port_) != 2) {
    error = "no listening line, got \"" + line + "\"";
    return false;
  }
  scheme_ = scheme;
  return true;
}

int ServiceProcess::ExitStatus(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

int ServiceProcess::Stop() {
  if (pid_ < 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return ExitStatus(status);
}

int ServiceProcess::WaitForExit(double seconds) {
  if (pid_ < 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      Stop();
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pid_ = -1;
  return ExitStatus(status);
}

}  // namespace update_service::testing
