// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a process in the middle of rewriting a full entries file, again and again, and checks
// after every kill that the file on disk is whole: either the old content or the new one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <chrono>
#include <cstdio>
#include <random>

#include "sample_data.h"
#include "store/store.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

class CrashSafety : public InTempDir {};

#if defined(LUMIVERA_SANITIZED)
// Forking a sanitized process holding two full tables takes seconds; a tenth of the entries
// keeps 200 kills within the time bound there.
constexpr int kEntries = EntryTable::kCapacity / 10;
#else
constexpr int kEntries = EntryTable::kCapacity;
#endif

// The child rewrites the entries file from two alternating tables until it is killed.
[[noreturn]] void RewriteForever(Store& first, Store& second) {
  for (;;) {
    (void)first.WriteEntryFile();
    (void)second.WriteEntryFile();
  }
}

}  // namespace

TEST_F(CrashSafety, AKilledRewriteLeavesEitherTheOldOrTheNewFile) {
  Store a(Folder()), b(Folder());
  a.entries = MakeSampleData(1, kEntries).entries;
  b.entries = MakeSampleData(2, kEntries - 1).entries;
  const QByteArray bytesA = EntryFileBytes(a.entries);
  const QByteArray bytesB = EntryFileBytes(b.entries);
  // Kill at a random moment within about four rewrites, so every stage of a rewrite is hit.
  const auto before = Clock::now();
  ASSERT_FALSE(b.WriteEntryFile());
  ASSERT_FALSE(a.WriteEntryFile());
  const auto twoWrites =
      std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before);

  std::mt19937 rng(7);
  const auto deadline = Clock::now() + std::chrono::seconds(240);
  int kills = 0;
  int sawA = 0, sawB = 0;
  for (; kills < 200 && Clock::now() < deadline; ++kills) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) RewriteForever(b, a);  // the file holds A: the first rewrite brings B
    usleep(static_cast<useconds_t>(rng() % (2 * twoWrites.count() + 1)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    // Byte equality with one of the two contents means the file loads as that content; both
    // were loaded once below.
    const QByteArray onDisk = ReadBytes("lv_items.txt");
    ASSERT_TRUE(onDisk == bytesA || onDisk == bytesB)
        << "kill " << kills << ": " << onDisk.size() << " bytes";
    (onDisk == bytesA ? sawA : sawB)++;
    // Temporary files of interrupted rewrites are left over; they are no data files.
    for (const QString& name : QDir(Path(".")).entryList(QDir::Files)) {
      if (name.startsWith("lv_items.txt.")) QFile::remove(Path(name));
    }
  }
  EXPECT_GE(kills, 200);
  std::printf("%d kills: %d left the old file, %d the new one\n", kills, sawA, sawB);
  for (const QByteArray& content : {bytesA, bytesB}) {
    WriteBytes("lv_items.txt", content);
    Store check(Folder());
    ASSERT_FALSE(check.ReadEntryFile());
    EXPECT_EQ(EntryFileBytes(check.entries), content);
  }
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
}
