// kwbench: fills a Wine prefix's registry with a large load, measures the
// floor of a search walk and of a deletion, and drives Kelpwise.exe through
// one search and one deletion, so that the program's times can be set
// against the bare registry cost. Results are key=value lines on stdout.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BackupDeleter.h"
#include "bench/BareWalker.h"
#include "bench/CoreWalk.h"
#include "bench/ProgramDriver.h"
#include "bench/RegistryGenerator.h"
#include "bench/Stopwatch.h"
#include "scan/ScanCategories.h"

namespace kw::bench {
namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: kwbench generate\n"
               "       kwbench bare-walk\n"
               "       kwbench core-walk\n"
               "       kwbench bare-delete <backup.reg>\n"
               "       kwbench drive <Kelpwise.exe> [timeout-seconds-per-phase]\n");
  return 2;
}

int Generate() {
  Stopwatch clock;
  RegistryGenerator generator;
  const bool ok = generator.Run();
  const GenerateCounts& c = generator.counts();
  std::printf("keys=%ld values=%ld references=%ld dead=%ld files=%ld seconds=%.3f\n", c.keys,
              c.values, c.references, c.deadReferences, c.files, clock.Seconds());
  return ok ? 0 : 1;
}

int BareWalk() {
  long keys = 0;
  long values = 0;
  Stopwatch total;
  for (const ScanCategory& category : ScanCategories()) {
    Stopwatch clock;
    BareWalker walker;
    walker.Walk(RootOf(category.check), category.startKey);
    std::printf("category=%d keys=%ld values=%ld seconds=%.3f\t%s\n", category.index, walker.keys(),
                walker.values(), clock.Seconds(), category.startKey.c_str());
    keys += walker.keys();
    values += walker.values();
  }
  std::printf("total keys=%ld values=%ld seconds=%.3f\n", keys, values, total.Seconds());
  return 0;
}

int CoreWalk() {
  const CoreWalkResult r = RunCoreWalk();
  std::printf(
      "keys=%ld rows=%ld opens=%ld listings=%ld queries=%ld query_seconds=%.3f probes=%ld "
      "probe_seconds=%.3f cpu_seconds=%.3f seconds=%.3f\n",
      r.keys, r.rows, r.opens, r.listings, r.queries, r.querySeconds, r.probes, r.probeSeconds,
      r.cpuSeconds, r.seconds);
  return 0;
}

int BareDelete(const char* path) {
  BackupDeleter deleter;
  if (!deleter.Load(path)) return 1;
  Stopwatch clock;
  const long deleted = deleter.DeleteAll();
  std::printf("records=%zu deleted=%ld seconds=%.3f\n", deleter.targets().size(), deleted,
              clock.Seconds());
  return 0;
}

int Drive(const char* exe, const char* timeout) {
  const long seconds = timeout != nullptr ? std::strtol(timeout, nullptr, 10) : 1800;
  if (seconds <= 0) return Usage();
  ProgramDriver driver(exe, static_cast<DWORD>(seconds));
  DriveResult result;
  const bool ok = driver.Run(&result);
  std::printf("pass_seconds=%.3f\n", result.passSeconds);
  std::printf("listed_rows=%ld\n", result.listedRows);
  std::printf("status=%s\n", result.statusAfterPass.c_str());
  std::printf("checking_changes=%ld\n", result.checkingChanges);
  std::printf("checking_still_seconds=%.3f\n", result.checkingStillSeconds);
  std::printf("longest_wait_seconds=%.3f\n", result.longestWaitSeconds);
  std::printf("delete_seconds=%.3f\n", result.deleteSeconds);
  std::printf("report=%s\n", result.report.c_str());
  std::printf("peak_working_set_kb=%lu\n",
              static_cast<unsigned long>(result.peakWorkingSet / 1024));
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace kw::bench

int main(int argc, char** argv) {
  using namespace kw::bench;
  // Unbuffered console output is very slow under Wine.
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof(buffer));

  int rc = 2;
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc == 2)
    rc = Generate();
  else if (command == "bare-walk" && argc == 2)
    rc = BareWalk();
  else if (command == "core-walk" && argc == 2)
    rc = CoreWalk();
  else if (command == "bare-delete" && argc == 3)
    rc = BareDelete(argv[2]);
  else if (command == "drive" && (argc == 3 || argc == 4))
    rc = Drive(argv[2], argc == 4 ? argv[3] : nullptr);
  else
    rc = Usage();
  std::fflush(stdout);
  return rc;
}
