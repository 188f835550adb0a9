// The high-score store at its own level: the file's bytes, every damaged file of the fuzz corpus
// read the way the game reads it, the private directory, and the table lock as the real end of a
// game takes it while another process holds it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/TempHome.h"
#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"
#include "store/DiskCache.h"
#include "store/ScoreFile.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

const std::string header = "[-110780952][-9133037511685953882]";

class Store : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    dir = userCacheDir(".gridfall");
  }
  std::string kindOfRead() {
    try {
      fromCache(dir, "highscore", strHash);
    } catch (const GameError& error) {
      EXPECT_THAT(error.what(), AllOf(HasSubstr(dir + "highscore"), HasSubstr("move the file away")));
      const std::string what = error.what();  // file contents never reach the terminal raw
      EXPECT_TRUE(std::all_of(what.begin(), what.end(), [](char c) { return c >= 0x20 && c < 0x7f; }))
          << what;
      return error.kind();
    }
    return "";
  }
  std::string dir;
};

TEST_F(Store, ExactBytesInAPrivateDirectoryWhateverTheUmask) {
  const mode_t saved = umask(0);
  toCache({2400, 1200, -350, 0, 0}, dir, "highscore", strHash);
  umask(saved);
  EXPECT_EQ(readFile(dir + "highscore"), header + "A[[0][5]I[2400]I[1200]I[-350]I[0]I[0]]");
  EXPECT_EQ(fs::status(dir).permissions(), fs::perms::owner_all);
  EXPECT_EQ(encodeTable({7, 8}, 1, 0), "[1][-9133037511685953882]A[[0][2]I[7]I[8]]")
      << "a hint below the count";
}

// What each file of the fuzz corpus is as a score table: "" for a table, else the kind of damage.
std::string expectedKind(const std::string& name) {
  if (name == "wrong-id") return "Invalid_Marshalling_ID";
  if (name == "wrong-format-tag" || name == "valid-lenient-numbers") return "Invalid_Function_Table_Hash";
  if (name.rfind("valid-", 0) == 0 || name == "negative-capacity") return "";
  return "Invalid_Value";
}

TEST_F(Store, EveryFileOfTheFuzzCorpusReadsAsATableOrAsNamedDamage) {
  for (const auto& entry : fs::directory_iterator(FUZZ_CORPUS)) {
    const std::string name = entry.path().filename();
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
    fs::copy_file(entry.path(), dir + "highscore", fs::copy_options::overwrite_existing);
    EXPECT_EQ(kindOfRead(), expectedKind(name)) << name;
    if (expectedKind(name).empty()) {
      const std::vector<int> table = fromCache(dir, "highscore", strHash).value();
      EXPECT_EQ(decodeTable(encodeTable(table, 5, 9), 5), table) << name;
    }
  }
}

// Another game holds the lock; the ending game must wait for it and then merge into the table that
// game saved, or one of the two scores is lost.
TEST_F(Store, TheEndOfAGameWaitsForTheTableLockAndMergesWhatTheHolderSaved) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t other = fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    changeScoreTable([&](const std::vector<int>&) {
      (void)!write(ready[1], "r", 1);
      usleep(400000);
      return std::optional<std::vector<int>>({500, 0, 0, 0, 0});
    });
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  MemoryTerminal term;
  const TerminalInUse inUse(term);
  term.pushKeys(" n");
  FileTable table;
  endGame({300, 2}, table);
  int status = 0;
  ASSERT_EQ(waitpid(other, &status, 0), other);
  EXPECT_EQ(readScoreTable(), (std::vector<int>{500, 300, 0, 0, 0}));
}

}  // namespace
