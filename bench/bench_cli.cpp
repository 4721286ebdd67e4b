// A whole `rosgen run` process, from start to exit.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <unistd.h>

extern char** environ;

namespace {

void run_process(benchmark::State& state, std::vector<std::string> args) {
  args.insert(args.begin(), ROSGEN_BIN);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, ROSGEN_BIN, &actions, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start rosgen");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK_CAPTURE(run_process, wan_fixed, {"run", "wan-fixed", "gen-3x"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run_process, pppoe_server, {"run", "pppoe-server", "gen-2x", "--check", "选择框_pppoe_客户端限速"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
