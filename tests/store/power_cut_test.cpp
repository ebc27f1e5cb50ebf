// SPDX-License-Identifier: GPL-3.0-or-later
// A power cut right after a rewrite is reported: on a loop-mounted ext4 image the file system is
// stopped without writing its journal (as a cut would leave it), mounted again, and the file
// holds what was reported as written. Needs root and a loop device; skipped otherwise.
#include <fcntl.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <cstdlib>

#include "store/atomic_file.h"
#include "temp_dir.h"

namespace {

// The file systems' shutdown request, and its flag that drops the journal not yet written.
constexpr unsigned long kShutdown = _IOR('X', 125, unsigned int);
constexpr unsigned int kWithoutLogFlush = 2;

constexpr int kSkip = 77;

class PowerCut : public InTempDir {};

QByteArray Read(const QByteArray& path) {
  QFile file(QFile::decodeName(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

TEST_F(PowerCut, AReplacedFileAndANewBackupSurviveTheDeviceStoppingWithoutItsJournal) {
  const QByteArray image = QFile::encodeName(Path("disk.img"));
  const QByteArray mountPoint = QFile::encodeName(Path("mnt"));
  const QByteArray file = mountPoint + "/lv_items.txt";
  const QByteArray backup = mountPoint + "/lv_items.txt.beschaedigt";
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mkdir(mountPoint.constData(), 0700) != 0) {
      _exit(kSkip);
    }
    const QByteArray mountIt = "mount -o loop '" + image + "' '" + mountPoint + "' 2>/dev/null";
    if (std::system(
            ("truncate -s 32M '" + image + "' && mkfs.ext4 -q -F '" + image + "' >/dev/null 2>&1")
                .constData()) != 0 ||
        std::system(mountIt.constData()) != 0) {
      _exit(kSkip);
    }
    // The old contents, on the device for good.
    if (WriteFileAtomically(QFile::decodeName(file), "old")) _exit(3);
    sync();
    // Reported as written: the next moment the device stops.
    if (WriteFileAtomically(QFile::decodeName(file), "new content") ||
        WriteFileAtomically(QFile::decodeName(backup), "backup", Placing::NewName)) {
      _exit(4);
    }
    const int fd = open(mountPoint.constData(), O_RDONLY | O_DIRECTORY);
    unsigned int flags = kWithoutLogFlush;
    if (fd < 0 || ioctl(fd, kShutdown, &flags) != 0) _exit(kSkip);
    close(fd);
    if (umount(mountPoint.constData()) != 0 || std::system(mountIt.constData()) != 0) _exit(5);
    const bool kept = Read(file) == "new content" && Read(backup) == "backup";
    umount(mountPoint.constData());
    _exit(kept ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kSkip) GTEST_SKIP() << "no loop-mounted ext4 image can be made here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "after the cut the file or the backup was the old one";
}
