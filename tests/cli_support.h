// Runs the built rosgen program and captures what it prints.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

extern char** environ;

namespace rosgen::test {

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs `rosgen ARGS...`; stdout and stderr are kept apart, bytes unchanged.
// `program` may name a copy of the program placed elsewhere; `stdout_file`,
// when given, receives stdout instead of the pipe.
inline Result rosgen(const std::vector<std::string>& args, const std::string& program = ROSGEN_BIN,
                     const char* stdout_file = nullptr) {
  int out_pipe[2];
  int err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdout_file) {
    posix_spawn_file_actions_addopen(&actions, 1, stdout_file, O_WRONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  }
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
  posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  Result r;
  if (rc != 0) return r;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&r.out, &r.err};
  int open_fds = 2;
  while (open_fds > 0) {
    if (poll(fds, 2, 10000) <= 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[65536];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_fds;
      } else {
        sinks[i]->append(buf, static_cast<size_t>(n));
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

// stderr without the field warnings, for tests about message boxes and
// addresses; the warnings have tests of their own.
inline std::string without_warnings(const std::string& err) {
  std::string out;
  size_t at = 0;
  while (at < err.size()) {
    size_t end = err.find('\n', at);
    end = end == std::string::npos ? err.size() : end + 1;
    if (err.compare(at, 10, "[warning] ") != 0) out.append(err, at, end - at);
    at = end;
  }
  return out;
}

// A page's buttons from `rosgen show --json` without the RouterOS 7 siblings,
// which have tests of their own over every page.
inline nlohmann::json classic_buttons(const nlohmann::json& page) {
  nlohmann::json out = nlohmann::json::array();
  for (const auto& b : page["buttons"]) {
    if (!b["id"].get<std::string>().ends_with("-7x")) out.push_back(b);
  }
  return out;
}

}  // namespace rosgen::test
