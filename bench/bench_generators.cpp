// Every button of every page, pressed with the page's default fields.
#include <benchmark/benchmark.h>

#include "engine/driver.h"
#include "pages/registry.h"
#include "pages/wan/carrier_routes.h"

using namespace rosgen;

namespace {

// No windows, no disks: only the generator's own work is measured.
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

void press_button(benchmark::State& state, const Page* page, const Button* button) {
  BenchEnv env;
  auto form = start_form(*page);
  Ctx ctx(*form, env);
  for (auto _ : state) {
    button->run(ctx);
    benchmark::DoNotOptimize(form->output().size());
  }
}

void route_table(benchmark::State& state, Carrier carrier) {
  const Gbk gateway = "203.0.113.1"_a;
  for (auto _ : state) benchmark::DoNotOptimize(fill_gateway(carrier, gateway) + backup_default_route(gateway));
}

int register_all() {
  for (const Page& page : pages()) {
    walk(page.items, [&](const Item& item, const std::string&) {
      if (const auto* b = std::get_if<Button>(&item.v)) {
        benchmark::RegisterBenchmark((page.slug + "/" + b->id).c_str(), press_button, &page, b);
      }
    });
  }
  benchmark::RegisterBenchmark("routes/netcom", route_table, Carrier::Netcom);
  benchmark::RegisterBenchmark("routes/telecom", route_table, Carrier::Telecom);
  return 0;
}

const int registered = register_all();

}  // namespace

BENCHMARK_MAIN();
