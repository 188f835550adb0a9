// Tests of the high-score store: the exact file bytes, the decoder on damaged text, the directory
// and name checks, atomic saving and the lock that keeps two ending games from losing a score.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "support/DiskCache.h"

namespace {

namespace fs = std::filesystem;

const std::string header = "[-110780952][-9133037511685953882]";
const std::string highScoreFile = header + "A[[0][5]I[2400]I[1200]I[350]I[0]I[0]]";
const std::int32_t highScoreId = strHash("highscore");

std::string readFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// The kind of the GameError that `body` raised, or "" when it returned normally.
std::string kindRaisedBy(const std::function<void()>& body) {
  try {
    body();
  } catch (const GameError& error) {
    return error.kind();
  }
  return "";
}

std::string decodeKind(const std::string& text) {
  return kindRaisedBy([&] { decodeTable(text, highScoreId); });
}

TEST(TableFormat, ExactBytesAndRoundTripsUnderAnyCapacityHint) {
  EXPECT_EQ(highScoreId, -110780952);
  EXPECT_EQ(strHash(""), 0);
  EXPECT_EQ(encodeTable({2400, 1200, 350, 0, 0}, highScoreId), highScoreFile);
  EXPECT_EQ(highScoreFile.size(), 71u);
  EXPECT_EQ(encodeTable({350, 0, 0, 0, 0}, highScoreId), header + "A[[0][5]I[350]I[0]I[0]I[0]I[0]]");
  // A hint below the element count would mislead readers that trust it.
  EXPECT_EQ(encodeTable({1, 2}, 7, 0), "[7][-9133037511685953882]A[[0][2]I[1]I[2]]");
  for (const auto& table : std::vector<std::vector<int>>{
           {2400, 1200, 350, 0, 0}, {}, {-5}, {INT_MAX, INT_MIN, 0}, std::vector<int>(100, 42)}) {
    EXPECT_EQ(decodeTable(encodeTable(table, highScoreId), highScoreId), table);
    EXPECT_EQ(decodeTable(encodeTable(table, -1, 8), -1), table);
    EXPECT_EQ(decodeTable(encodeTable(table, 0, 16), 0), table);
  }
}

TEST(TableFormat, ReadsNumberFieldsAsLenientlyAsTheOriginalReader) {
  EXPECT_EQ(decodeTable(header + "A[[0][5]I[ +350xyz]I[]I[\t-7]I[-]]", highScoreId),
            (std::vector<int>{350, 0, -7, 0}));
  EXPECT_EQ(decodeTable("[ -110780952junk][-9133037511685953882]A[[0][0]I[1]]", highScoreId),
            (std::vector<int>{1}));
  EXPECT_EQ(decodeTable(header + "A[[0][5]I[" + std::string(32, ' ') + "9]]", highScoreId),
            (std::vector<int>{9}));
  EXPECT_EQ(decodeTable(highScoreFile + "\ntrailing text", highScoreId),
            (std::vector<int>{2400, 1200, 350, 0, 0}));
  // A forged capacity hint must not make the reader reserve gigabytes.
  EXPECT_EQ(decodeTable(header + "A[[0][2147483647]I[3]]", highScoreId), (std::vector<int>{3}));
}

TEST(TableFormat, RejectsForeignAndMalformedTextByTheirOwnKinds) {
  EXPECT_EQ(kindRaisedBy([] { decodeTable(highScoreFile, highScoreId + 1); }), "Invalid_Marshalling_ID");
  EXPECT_EQ(decodeKind("[-110780952][-9133037511685953881]A[[0][0]]"), "Invalid_Function_Table_Hash");
  EXPECT_EQ(decodeKind("[1][junk"), "Invalid_Marshalling_ID") << "the name is checked before the tag is read";
  std::vector<std::string> damaged = {
      "",
      "x" + highScoreFile,
      "[" + std::string(34, '1') + "]",                      // field beyond the 33-character buffer
      header + "A[[0][5]I[" + std::string(33, ' ') + "1]]",  // 34 characters, blanks included
      "[-110780952][-99999999999999999999]A[[0][0]]",        // tag beyond 64 bits
      header + "A[[0][5]I[2147483648]]",
      header + "A[[0][5]I[-2147483649]]",  // element beyond int
      header + "A[[0][5000000000]]",       // capacity beyond int
      header + "A[[1][5]I[1]]",
      header + "A[[-1][5]]",  // wrong array index
      header + "A(0][5]]",
      header + "A[[0][5]I(1)]",
      header + "I[5]",                // a lone int, not a table
      header + "A[[0][1]A[[1][0]]]",  // array of arrays
      header + "Z"};
  for (const char kind : std::string("CSRUF")) {
    damaged.push_back(header + kind + "[0]");
    damaged.push_back(header + "A[[0][1]" + kind + "[0]]");
  }
  for (std::size_t length = 0; length < highScoreFile.size(); ++length)
    damaged.push_back(highScoreFile.substr(0, length));
  for (const auto& text : damaged) EXPECT_EQ(decodeKind(text), "Invalid_Value") << text;
  // Any single damaged byte either still decodes or raises one of the store's own kinds.
  for (std::size_t at = 0; at < highScoreFile.size(); ++at) {
    for (const char replacement : std::string("[]AIC-+09 \0\xff", 13)) {
      std::string text = highScoreFile;
      text[at] = replacement;
      const std::string kind = decodeKind(text);
      EXPECT_TRUE(kind.empty() || kind == "Invalid_Value" || kind == "Invalid_Marshalling_ID" ||
                  kind == "Invalid_Function_Table_Hash")
          << kind << " for " << text;
    }
  }
}

TEST(BestFive, PadsShortTablesWithZerosAndKeepsTheFirstFiveOfLongOnes) {
  EXPECT_EQ(bestFive({}), (std::vector<int>{0, 0, 0, 0, 0}));
  EXPECT_EQ(bestFive({350, 7}), (std::vector<int>{350, 7, 0, 0, 0}));
  EXPECT_EQ(bestFive({9, 8, 7, 6, 5, 4, 3}), (std::vector<int>{9, 8, 7, 6, 5}));
}

// Each test gets its own HOME under /tmp, never the player's.
class StoreOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gridfall-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home = pattern;
    if (const char* old = std::getenv("HOME")) savedHome = old;
    setenv("HOME", home.c_str(), 1);
    savedUmask = umask(022);
    dir = userCacheDir(".gridfall");
  }
  void TearDown() override {
    umask(savedUmask);
    if (savedHome)
      setenv("HOME", savedHome->c_str(), 1);
    else
      unsetenv("HOME");
    fs::remove_all(home);
  }
  std::vector<std::string> entriesOfDir() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string readKind(const std::string& from, const std::string& name = "highscore") {
    return kindRaisedBy([&] { fromCache(from, name, strHash); });
  }
  std::string saveKind(const std::string& to, const std::string& name = "highscore") {
    return kindRaisedBy([&] { toCache({1, 2, 3, 4, 5}, to, name, strHash); });
  }

  std::string home, dir;
  std::optional<std::string> savedHome;
  mode_t savedUmask = 0;
};

TEST_F(StoreOnDisk, FirstReadCreatesAPrivateDirectoryWhateverTheUmask) {
  EXPECT_EQ(dir, home + "/.gridfall/");
  for (const mode_t mask : {0000, 0022, 0277}) {
    umask(mask);
    const std::string cacheDir = home + "/cache" + std::to_string(mask) + "/";
    EXPECT_EQ(fromCache(cacheDir, "highscore", strHash), std::nullopt);
    struct stat info {};
    ASSERT_EQ(stat(cacheDir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u) << "umask " << mask;
  }
}

TEST_F(StoreOnDisk, SavesTheExactBytesWithDefaultPermissionsAndReadsThemBack) {
  toCache({2400, 1200, 350, 0, 0}, dir, "highscore", strHash);
  EXPECT_EQ(readFile(dir + "highscore"), highScoreFile);
  EXPECT_EQ(fromCache(dir, "highscore", strHash), (std::vector<int>{2400, 1200, 350, 0, 0}));
  EXPECT_EQ(entriesOfDir(), std::vector<std::string>{"highscore"});  // no temporary left behind
  EXPECT_EQ(fs::status(dir + "highscore").permissions(), fs::perms(0644));
  umask(077);
  toCache({350, 0, 0, 0, 0}, dir, "highscore", strHash);
  EXPECT_EQ(readFile(dir + "highscore"), header + "A[[0][5]I[350]I[0]I[0]I[0]I[0]]");
  EXPECT_EQ(fs::status(dir + "highscore").permissions(), fs::perms(0600));
}

TEST_F(StoreOnDisk, AnEmptyOrUnsetHomeMeansTheWorkingDirectory) {
  const fs::path savedCwd = fs::current_path();
  fs::current_path(home);
  unsetenv("HOME");
  EXPECT_EQ(userCacheDir(".gridfall"), "./.gridfall/");
  setenv("HOME", "", 1);
  EXPECT_EQ(userCacheDir(".gridfall"), "./.gridfall/");
  toCache({1, 2, 3, 4, 5}, userCacheDir(".gridfall"), "highscore", strHash);
  fs::current_path(savedCwd);
  EXPECT_EQ(readFile(home + "/.gridfall/highscore"), encodeTable({1, 2, 3, 4, 5}, highScoreId));
}

TEST_F(StoreOnDisk, UnsafeNamesMissingParentsAndUnreadableFilesRaiseTheirOwnKinds) {
  setenv("HOME", (home + "/a/../b").c_str(), 1);
  const std::string dotted = userCacheDir(".gridfall");
  EXPECT_EQ(readKind(dotted), "UnsafeDirectory");
  EXPECT_EQ(saveKind(dotted), "UnsafeDirectory");
  EXPECT_EQ(kindRaisedBy([&] { TableLock lock(dotted, "highscore"); }), "UnsafeDirectory");
  EXPECT_EQ(readKind(dir, ".."), "UnsafeDirectory");
  EXPECT_EQ(readKind(dir, "../highscore"), "UnsafeDirectory");
  EXPECT_EQ(saveKind(dir, "/"), "UnsafeObject");
  EXPECT_EQ(readKind(dir, "sub/highscore"), "UnsafeObject");
  EXPECT_FALSE(fs::exists(dir)) << "a refused name must not create the directory";
  EXPECT_EQ(readKind(home + "/missing/.gridfall/"), "FileError");
  EXPECT_EQ(saveKind(home + "/missing/.gridfall/"), "FileError");

  // Root reads through any permission bits, so a directory stands in for the unreadable file.
  fs::create_directories(dir + "highscore");
  EXPECT_EQ(readKind(dir), "FileError");
  if (geteuid() != 0) {
    fs::remove(dir + "highscore");
    std::ofstream(dir + "highscore") << highScoreFile;
    fs::permissions(dir + "highscore", fs::perms::none);
    EXPECT_EQ(readKind(dir), "FileError");
  }
}

TEST_F(StoreOnDisk, ADamagedFileNamesItselfAndHowToRecover) {
  toCache({5, 4, 3, 2, 1}, dir, "highscore", [](const std::string&) { return 12345; });
  try {
    fromCache(dir, "highscore", strHash);
    FAIL() << "a table stored under another name was accepted";
  } catch (const Invalid_Marshalling_ID& error) {
    EXPECT_NE(std::string(error.what()).find(dir + "highscore"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("move the file away"), std::string::npos) << error.what();
  }
  std::ofstream(dir + "highscore") << "[-110780952][42]A[[0][0]]";
  EXPECT_EQ(readKind(dir), "Invalid_Function_Table_Hash");
  std::ofstream(dir + "highscore") << highScoreFile.substr(0, 50);
  EXPECT_EQ(readKind(dir), "Invalid_Value");
}

TEST_F(StoreOnDisk, AFailedSaveRaisesAndLeavesTheOldTableByteForByte) {
  fs::create_directories(dir + "highscore/occupied");  // the rename cannot replace a directory
  EXPECT_EQ(saveKind(dir), "FileError");
  EXPECT_TRUE(fs::is_directory(dir + "highscore/occupied"));
  EXPECT_EQ(entriesOfDir(), std::vector<std::string>{"highscore"});

  fs::remove_all(dir + "highscore");
  toCache({2400, 1200, 350, 0, 0}, dir, "highscore", strHash);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file size limit makes the write stop partway, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{40, 40};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::string kind =
        kindRaisedBy([&] { toCache(std::vector<int>(50, 9999), dir, "highscore", strHash); });
    _exit(kind == "FileError" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the failed save was not reported as FileError";
  EXPECT_EQ(readFile(dir + "highscore"), highScoreFile);
  EXPECT_EQ(entriesOfDir(), std::vector<std::string>{"highscore"});
}

// What the end of a game does to the table, with a pause that invites the other game in.
void recordScoreLikeAnEndingGame(const std::string& dir, int score) {
  TableLock lock(dir, "highscore");
  std::vector<int> table = bestFive(fromCache(dir, "highscore", strHash).value_or(std::vector<int>(5, 0)));
  usleep(20000);
  table.push_back(score);
  std::sort(table.rbegin(), table.rend());
  table.resize(5);
  toCache(table, dir, "highscore", strHash);
}

TEST_F(StoreOnDisk, TwoGamesEndingTogetherBothKeepTheirScores) {
  int startGate[2];
  ASSERT_EQ(pipe(startGate), 0);
  std::vector<pid_t> games;
  for (const auto& scores : {std::vector<int>{100, 300}, std::vector<int>{200, 400}}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(startGate[1]);
      char ignored;
      (void)!read(startGate[0], &ignored, 1);  // returns when the parent closes the gate
      const std::string kind = kindRaisedBy([&] {
        for (const int score : scores) recordScoreLikeAnEndingGame(dir, score);
      });
      _exit(kind.empty() ? 0 : 1);
    }
    games.push_back(child);
  }
  close(startGate[0]);
  close(startGate[1]);
  for (const pid_t game : games) {
    int status = 0;
    ASSERT_EQ(waitpid(game, &status, 0), game);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(fromCache(dir, "highscore", strHash), (std::vector<int>{400, 300, 200, 100, 0}));
  EXPECT_TRUE(fs::exists(dir + "highscore.lock"));
}

}  // namespace
