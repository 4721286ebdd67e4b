// The RouterOS 7 checker on the largest script the program's RouterOS 7 buttons write, alone and
// with the run on the default configuration, and how soon the compiled command tree answers its
// first question.
#include <benchmark/benchmark.h>

#include <chrono>

#include "engine/driver.h"
#include "pages/registry.h"
#include "routeros/checker.h"
#include "routeros/model.h"
#include "routeros/tree.h"
#include "script/text.h"

using namespace rosgen;

namespace {

// The first check in this process, before anything else touched the tree: what a user waits for
// when the program starts and checks its first script.
double cold_first_check_us() {
  static const double us = [] {
    auto start = std::chrono::steady_clock::now();
    auto findings = ros7::check_script("/ip firewall filter add chain=forward action=drop\n:put [/ip address find]\n");
    auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(findings);
    return std::chrono::duration<double, std::micro>(end - start).count();
  }();
  return us;
}

class BenchEnv : public Env {
 public:
  void message(const std::string&, const std::string&) override {}
  std::optional<Gbk> input_box(const std::string&, const std::string&, const Gbk& initial) override { return initial; }
  void open_address(const std::string&) override {}
  std::filesystem::path program_dir() override { return "/nonexistent"; }
  std::filesystem::path user_data_dir() override { return "/nonexistent"; }
  Date today() override { return {2010, 3, 5}; }
  std::uint32_t tick_count() override { return 0; }
  std::uint32_t random_below(std::uint32_t n) override { return (state_ = state_ * 1103515245u + 12345u) % n; }
  bool append_file(const std::filesystem::path&, const std::string&) override { return true; }
  std::vector<KeyPair> new_key_pairs(std::size_t n) override { return std::vector<KeyPair>(n); }

 private:
  std::uint32_t state_ = 1;
};

struct Largest {
  std::string name;
  std::string script;
};

// Every RouterOS 7 button on every page with default fields; the longest script wins. Until
// there are such buttons, 35 KB of route lines stand in.
const Largest& largest_script() {
  static const Largest largest = [] {
    Largest best;
    for (const Page& page : pages()) {
      walk(page.items, [&](const Item& item, const std::string&) {
        const auto* b = std::get_if<Button>(&item.v);
        if (!b || !(b->id == "gen-7x" || b->id.ends_with("-7x"))) return;
        BenchEnv env;
        auto form = start_form(page);
        run_button(*form, env, *b);
        std::string out = to_utf8(form->output());
        if (out.size() > best.script.size()) best = {page.slug + "/" + b->id, std::move(out)};
      });
    }
    if (best.script.empty()) {
      best.name = "synthetic route lines";
      for (int i = 0; best.script.size() < 35 * 1024; ++i) {
        best.script += "/ip route add dst-address=10." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) +
                       ".0/24 gateway=192.168.1.1 routing-table=main comment=\"line " + std::to_string(i) + "\"\n";
      }
    }
    return best;
  }();
  return largest;
}

void check_largest(benchmark::State& state) {
  const Largest& s = largest_script();
  state.SetLabel(s.name + ", " + std::to_string(s.script.size()) + " bytes");
  for (auto _ : state) benchmark::DoNotOptimize(ros7::check_script(s.script));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.script.size()));
}

// What "检查脚本" does: the command tree, then the script applied to the default configuration
// and judged.
void check_largest_on_defconf(benchmark::State& state) {
  const Largest& s = largest_script();
  state.SetLabel(s.name + ", " + std::to_string(s.script.size()) + " bytes");
  for (auto _ : state) benchmark::DoNotOptimize(ros7::check(s.script, ros7::Base::Defconf));
}

void table_ready(benchmark::State& state) {
  // The cold figure is one measurement; the loop times a warm lookup of a deep name beside it.
  state.counters["cold_first_check_us"] = cold_first_check_us();
  for (auto _ : state) {
    auto ip = ros7::lookup(ros7::Node::root(), "ip");
    auto fw = ros7::lookup(*ip.node, "firewall");
    auto filter = ros7::lookup(*fw.node, "filter");
    benchmark::DoNotOptimize(ros7::lookup(*filter.node, "add"));
  }
}

// Measured before the benchmarks run, while the tree is still untouched.
[[maybe_unused]] const double cold = cold_first_check_us();

}  // namespace

BENCHMARK(check_largest);
BENCHMARK(check_largest_on_defconf);
BENCHMARK(table_ready);

BENCHMARK_MAIN();
