// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark harness: runs every benchmark in repetitions (in random order, so each pair of
// figures that is compared shares the machine's ups and downs), then prints one table with the
// median of each figure, its floor or its counterpart (a view: the same view on a table holding
// only the entries it shows; start-up: the default files), the ratio and PASS or FAIL per target.
// The exit code is 0 whatever the verdicts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cases.h"
#include "store/data_files.h"
#include "world.h"

namespace {

constexpr int kRepetitions = 15;
constexpr double kFrameMs = 16.0;
constexpr double kMemoryLimitBytes = 100.0 * 1024 * 1024;

// Collects the time per iteration of every repetition; prints one line per finished benchmark.
class Collector : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.function_name;
      if (run.error_occurred) {
        errors_[name] = run.error_message;
        continue;
      }
      const double ms = run.real_accumulated_time * 1e3 / static_cast<double>(run.iterations);
      times_[name].push_back(ms);
      if (++runs_ % 50 == 0) std::fprintf(stderr, "  %d runs done\n", runs_);
    }
  }

  // The median of the repetitions, or nothing when the benchmark failed or did not run.
  std::optional<double> Median(const std::string& name) const {
    if (errors_.count(name)) return std::nullopt;
    const auto found = times_.find(name);
    if (found == times_.end() || found->second.empty()) return std::nullopt;
    std::vector<double> t = found->second;
    std::sort(t.begin(), t.end());
    const std::size_t n = t.size();
    return n % 2 == 1 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
  }
  std::string Error(const std::string& name) const {
    const auto found = errors_.find(name);
    return found == errors_.end() ? std::string() : found->second;
  }
  // The first and third quartile of the repetitions, or nothing.
  std::optional<std::pair<double, double>> Quartiles(const std::string& name) const {
    if (errors_.count(name)) return std::nullopt;
    const auto found = times_.find(name);
    if (found == times_.end() || found->second.empty()) return std::nullopt;
    std::vector<double> t = found->second;
    std::sort(t.begin(), t.end());
    const auto at = [&t](double q) {
      return t[static_cast<std::size_t>(q * (t.size() - 1) + 0.5)];
    };
    return std::pair{at(0.25), at(0.75)};
  }
  std::size_t Repetitions(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0 : found->second.size();
  }

 private:
  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, std::string> errors_;
  int runs_ = 0;
};

enum class Target { Ratio, Frame, None };

struct Row {
  const char* label;
  std::string measured;
  std::vector<std::string> counterpart;  // summed
  const char* counterpartLabel;
  Target target;
  double limit = 0;
};

std::vector<Row> Rows() {
  return {
      {"Entries file rewrite, every row encoded",
       "Rewrite/full",
       {"FloorWrite/full"},
       "floor: atomic write of its bytes",
       Target::Ratio,
       2.0},
      {"  encoding every row alone (RecordWriter)",
       "Encode/full",
       {"FloorWrite/full"},
       "floor: atomic write of its bytes",
       Target::None},
      {"Entries file load (ReadEntryFile)",
       "Load/full",
       {"FloorRead/full"},
       "floor: readAll + split('\\n')",
       Target::Ratio,
       4.0},
      {"Export to a spreadsheet (read, CSV, write)",
       "Export/full",
       {"Load/full"},
       "load of the entries file",
       Target::Ratio,
       3.0},
      {"Import from a spreadsheet (read, check, store)",
       "Import/full",
       {"Load/full"},
       "load of the entries file",
       Target::Ratio,
       3.0},
      {"SaveEntry, update (after an earlier save)",
       "SaveEntryUpdate/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       1.3},
      {"SaveEntry, the first of a day (with its backup)",
       "SaveEntryWithBackup/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       2.5},
      {"Undo of an update (Ctrl+Z)",
       "Undo/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       1.3},
      {"Redo of an update (Ctrl+Y)",
       "Redo/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       1.3},
      {"SaveEntry, the first after start-up",
       "FirstSaveEntry/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       1.5},
      {"SaveEntry, append (49,999 + 1)",
       "SaveEntryAppend/full",
       {"FloorWrite/full"},
       "floor: rewrite of the file",
       Target::Ratio,
       1.3},
      {"DeleteEntryAt",
       "DeleteEntryAt/full",
       {"FloorWrite/full", "FloorRead/full"},
       "floor: rewrite + reload",
       Target::Ratio,
       1.5},
      {"Start-up (layout, LoadData, DrawCalendar)",
       "StartUp/full",
       {"StartUp/defaults"},
       "default files",
       Target::None},
      {"Start-up less loading the three files",
       "StartUpLessLoading/full",
       {"StartUpWithStop/defaults"},
       "default start-up, the same stop",
       Target::Ratio,
       1.2},
      {"  against start-up without a stop",
       "StartUpLessLoading/full",
       {"StartUp/defaults"},
       "start-up with the default files",
       Target::None},
      {"  against the same on the default files",
       "StartUpLessLoading/full",
       {"StartUpLessLoading/defaults"},
       "the same, default files",
       Target::None},
      {"  only reading + splitting the entries file",
       "FloorRead/full",
       {"StartUp/defaults"},
       "start-up with the default files",
       Target::None},
      {"DrawCalendar",
       "DrawCalendar/full",
       {"DrawCalendar/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "DrawCalendar/full",
       {"DrawCalendar/defaults"},
       "default files (no entries)",
       Target::None},
      {"FillDayList", "FillDayList/full", {"FillDayList/defaults"}, "default files", Target::Frame},
      {"ShowTabPage (rebuild)",
       "ShowTabPage/full",
       {"ShowTabPage/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "ShowTabPage/full",
       {"ShowTabPage/defaults"},
       "default files (no entries)",
       Target::None},
      {"SelectDayAt",
       "SelectDayAt/full",
       {"SelectDayAt/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "SelectDayAt/full",
       {"SelectDayAt/defaults"},
       "default files (no entries)",
       Target::None},
      {"NextMonth",
       "NextMonth/full",
       {"NextMonth/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "NextMonth/full",
       {"NextMonth/defaults"},
       "default files (no entries)",
       Target::None},
      {"FillSeriesItems",
       "FillSeriesItems/full",
       {"FillSeriesItems/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "FillSeriesItems/full",
       {"FillSeriesItems/defaults"},
       "default files (no entries)",
       Target::None},
      {"DrawDevelopment",
       "DrawDevelopment/full",
       {"DrawDevelopment/shown"},
       "the same, only the shown entries",
       Target::Ratio,
       1.5},
      {"  against the default files",
       "DrawDevelopment/full",
       {"DrawDevelopment/defaults"},
       "default files (no entries)",
       Target::None},
      {"SaveEntry, update",
       "SaveEntryUpdate/full",
       {"SaveEntryUpdate/defaults"},
       "default files",
       Target::None},
      {"SaveEntry, append",
       "SaveEntryAppend/full",
       {"SaveEntryAppend/defaults"},
       "default files",
       Target::None},
      {"DeleteEntryAt",
       "DeleteEntryAt/full",
       {"DeleteEntryAt/defaults"},
       "default files",
       Target::None},
      {"AddPerson (99 + 1)",
       "AddPerson/full",
       {"AddPerson/defaults"},
       "default files",
       Target::None},
  };
}

std::string Ms(std::optional<double> ms) {
  if (!ms) return "n/a";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f ms", *ms);
  return buf;
}

std::string MachineLine() {
  QString cpu = QStringLiteral("unknown CPU");
  QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
  if (cpuinfo.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
      if (line.startsWith("model name")) {
        cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        break;
      }
    }
  }
  QString memory = QStringLiteral("unknown memory");
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  if (meminfo.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
      if (line.startsWith("MemTotal:")) {
        const double kb = line.mid(9).trimmed().split(' ').front().toDouble();
        memory = QStringLiteral("%1 GiB memory").arg(kb / 1024 / 1024, 0, 'f', 1);
      }
    }
  }
  return QStringLiteral("%1, %2 cores, %3, %4 %5")
      .arg(cpu)
      .arg(QThread::idealThreadCount())
      .arg(memory, QSysInfo::prettyProductName(), QSysInfo::currentCpuArchitecture())
      .toStdString();
}

// Runs this program again as a child that only starts up with full tables and runs every
// procedure once, and reads its peak memory.
std::optional<double> PeakMemoryBytes() {
  World world(DataSet::Full);  // the full files in a fresh folder, where the child starts
  QProcess child;
  child.setWorkingDirectory(world.Folder());
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-memory")});
  if (!child.waitForFinished(120000) || child.exitCode() != 0) return std::nullopt;
  bool ok = false;
  const double bytes = QString::fromUtf8(child.readAllStandardOutput()).trimmed().toDouble(&ok);
  return ok && bytes > 0 ? std::optional<double>(bytes) : std::nullopt;
}

void PrintTable(const Collector& c, std::optional<double> peakBytes) {
  std::printf("\nLumivera benchmarks, %s\nMachine: %s\n",
              QDateTime::currentDateTime().toString(Qt::ISODate).toStdString().c_str(),
              MachineLine().c_str());
  std::printf(
      "Medians of %d repetitions (each the mean of a fixed number of calls), real time, all "
      "figures from this one run; 50,000 entries, 2000 category pairs, 100 persons. Spread: the "
      "ratio of the quartiles of the repetitions, lower against upper and upper against "
      "lower.\n\n",
      kRepetitions);
  std::printf("| %-42s | %10s | %-34s | %10s | %6s | %-11s | %-12s | %-7s |\n", "figure",
              "at 50,000", "floor or counterpart", "its time", "ratio", "spread", "target",
              "verdict");
  std::printf(
      "|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(44, '-').c_str(), std::string(12, '-').c_str(),
      std::string(36, '-').c_str(), std::string(12, '-').c_str(), std::string(8, '-').c_str(),
      std::string(13, '-').c_str(), std::string(14, '-').c_str(), std::string(9, '-').c_str());
  int failed = 0;
  for (const Row& row : Rows()) {
    const std::optional<double> measured = c.Median(row.measured);
    std::optional<double> base = 0.0;
    for (const std::string& name : row.counterpart) {
      const std::optional<double> part = c.Median(name);
      base = base && part ? std::optional<double>(*base + *part) : std::nullopt;
    }
    std::optional<double> ratio;
    if (measured && base && *base > 0) ratio = *measured / *base;
    char ratioText[16] = "n/a";
    if (ratio) std::snprintf(ratioText, sizeof ratioText, "%.2f", *ratio);
    // The ratio's spread: the lower quartile of the figure against the upper one of its
    // counterpart, and the other way round.
    const std::optional<std::pair<double, double>> mine = c.Quartiles(row.measured);
    double theirLow = 0, theirHigh = 0;
    bool theirsKnown = true;
    for (const std::string& name : row.counterpart) {
      const auto part = c.Quartiles(name);
      theirsKnown = theirsKnown && part;
      if (part) {
        theirLow += part->first;
        theirHigh += part->second;
      }
    }
    char spreadText[24] = "-";
    if (ratio && mine && theirsKnown && theirLow > 0) {
      std::snprintf(spreadText, sizeof spreadText, "%.2f-%.2f", mine->first / theirHigh,
                    mine->second / theirLow);
    }
    std::string target = "-";
    std::string verdict = "-";
    if (row.target == Target::Ratio) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "<= %.1f x", row.limit);
      target = buf;
      verdict = ratio ? (*ratio <= row.limit ? "PASS" : "FAIL") : "FAIL";
    } else if (row.target == Target::Frame) {
      target = "<= 16 ms";
      verdict = measured ? (*measured <= kFrameMs ? "PASS" : "FAIL") : "FAIL";
    }
    if (verdict == "FAIL") ++failed;
    std::printf("| %-42s | %10s | %-34s | %10s | %6s | %-11s | %-12s | %-7s |\n", row.label,
                Ms(measured).c_str(), row.counterpartLabel, Ms(base).c_str(), ratioText, spreadText,
                target.c_str(), verdict.c_str());
    for (const std::string& name : row.counterpart) {
      if (!c.Error(name).empty())
        std::printf("|   %s failed: %s\n", name.c_str(), c.Error(name).c_str());
    }
    if (!c.Error(row.measured).empty()) {
      std::printf("|   %s failed: %s\n", row.measured.c_str(), c.Error(row.measured).c_str());
    }
  }
  char peak[32] = "n/a";
  if (peakBytes) std::snprintf(peak, sizeof peak, "%.1f MB", *peakBytes / 1024 / 1024);
  const bool memoryPasses = peakBytes && *peakBytes < kMemoryLimitBytes;
  if (!memoryPasses) ++failed;
  std::printf("| %-42s | %10s | %-34s | %10s | %6s | %-11s | %-12s | %-7s |\n",
              "Peak memory (VmHWM), whole program, 1,000 changes", peak, "-", "-", "-", "-",
              "< 100 MB", memoryPasses ? "PASS" : "FAIL");
  std::printf("\n%s\n", failed == 0 ? "All targets PASS."
                                    : (std::to_string(failed) + " target(s) FAIL.").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

  if (argc == 3 && std::string(argv[1]) == "--write-sample-files") {
    // The full files in the named directory, to try the program with them.
    const DataFiles& files = FilesOf(DataSet::Full);
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    for (const auto& [name, bytes] : {std::pair{DataFile::Persons, files.persons},
                                      std::pair{DataFile::Categories, files.categories},
                                      std::pair{DataFile::Entries, files.entries}}) {
      QFile file(dir.filePath(FileName(name)));
      if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
          file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return 1;
      }
    }
    return 0;
  }
  if (argc == 2 && std::string(argv[1]) == "--peak-memory") {
    const long long bytes = PeakMemoryOfFullRun();
    std::printf("%lld\n", bytes);
    return bytes > 0 ? 0 : 1;
  }

  // Random interleaving unless asked otherwise: the repetitions of all benchmarks are mixed, so
  // a figure and its floor are measured over the same stretch of time.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.push_back(interleave.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  std::fprintf(stderr, "Generating the sample files ...\n");
  (void)FilesOf(DataSet::Full);
  (void)FilesOf(DataSet::FullLessOne);
  (void)FilesOf(DataSet::ShownMonthOnly);
  {
    // One start-up first, so no benchmark pays for loading fonts and plugins.
    World warmUp(DataSet::Full);
    warmUp.StartUp();
    warmUp.OpenDayView();
  }
  RegisterBenchmarks(kRepetitions);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  std::fprintf(stderr, "Measuring the peak memory of a full run ...\n");
  PrintTable(collector, PeakMemoryBytes());
  return 0;
}
