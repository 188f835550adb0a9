// Tests of the journal files: a run's journal is held while it runs, taken over by a resume with
// its torn last line cut off, moved to last-game.rec at a normal end unless the file-size limit cut
// it short, and only the ten newest cut-off journals are kept. The recording format's documented
// bytes are checked here too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TempHome.h"
#include "support/Journal.h"

namespace {

namespace fs = std::filesystem;

using JournalTest = TempHome;

TEST(RecordingFormat, TheDocumentedBytesReadBackAndATornLastLineIsLeftOut) {
  const std::string text = recordingHeader(1709294400) + keyLine(259) + keyLine(110) +
                           tableLine({2400, 1200, 350, 0, 0}) + writtenLine() + keyLine(110);
  EXPECT_EQ(text, "gridfall recording 1\nseed 1709294400\nk 259\nk 110\nt 2400 1200 350 0 0\nw\nk 110\n");
  const Recording whole = parseRecording(text + "k 26", "x.rec");
  EXPECT_EQ(whole.seed, 1709294400u);
  EXPECT_EQ(whole.wholeBytes, text.size());
  ASSERT_EQ(whole.events.size(), 5u);
  EXPECT_EQ(whole.events[2].table, (std::vector<int>{2400, 1200, 350, 0, 0}));
  EXPECT_EQ(whole.events[4].key, 110);
  EXPECT_EQ(parseRecording(recordingHeader(4294967295u), "x.rec").seed, 4294967295u);
  for (const char* bad :
       {"k 1 2\n", "k\n", "k +1\n", "t 1 2 3 4 5 6\n", "t 1 2 3 4 2147483648\n", "K 1\n", "\n"}) {
    EXPECT_THROW(parseRecording(recordingHeader(1) + bad, "x.rec"), RecordingError) << bad;
  }
}

TEST_F(JournalTest, AHeldJournalIsLeftAloneAndACutOffOneIsTakenOverWithoutItsTornLine) {
  Journal run = startJournal(42, 0);
  ASSERT_GE(run.fd, 0);
  EXPECT_EQ(run.path, journalDir() + "19700101-000000-" + std::to_string(getpid()) + ".rec");
  appendToJournal(run, keyLine(106));
  appendToJournal(run, "k 10");  // cut off in mid-write
  std::string why;
  EXPECT_FALSE(takeNewestJournal(why));
  EXPECT_NE(why.find("held by a running gridfall"), std::string::npos) << why;

  closeJournal(run);
  std::optional<ResumableRun> resumed = takeNewestJournal(why);
  ASSERT_TRUE(resumed);
  EXPECT_EQ(resumed->recording.seed, 42u);
  EXPECT_EQ(resumed->recording.events.size(), 1u);
  appendToJournal(resumed->journal, keyLine(107));
  finishJournal(resumed->journal);
  EXPECT_EQ(readFile(lastGamePath()), recordingHeader(42) + "k 106\nk 107\n");
  EXPECT_FALSE(takeNewestJournal(why));
  EXPECT_NE(why.find("no cut-off game"), std::string::npos) << why;
}

TEST_F(JournalTest, AJournalCutShortByTheFileSizeLimitDoesNotReplaceTheLastGame) {
  fs::create_directories(journalDir());
  std::ofstream(lastGamePath()) << recordingHeader(7);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit small{64, saved.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  Journal run = startJournal(42, 0);
  for (int i = 0; i < 20; ++i) appendToJournal(run, keyLine(106));
  setrlimit(RLIMIT_FSIZE, &saved);
  finishJournal(run);
  EXPECT_EQ(readFile(lastGamePath()), recordingHeader(7));
  EXPECT_EQ(readFile(run.path), recordingHeader(42) + "k 106\nk 106\nk 106\nk 106\nk 106\n")
      << "a true beginning";
}

TEST_F(JournalTest, OnlyTheTenNewestCutOffJournalsAreKept) {
  Journal held = startJournal(1, 0);
  fs::create_directories(journalDir());
  for (int i = 0; i < 12; ++i) {
    const std::string path = journalDir() + "old-" + std::to_string(i) + ".rec";
    std::ofstream(path) << recordingHeader(1);
    const timespec times[2] = {{1000 + i, 0}, {1000 + i, 0}};  // old-11 is the newest
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  pruneJournals(10);
  EXPECT_TRUE(fs::exists(held.path));
  EXPECT_FALSE(fs::exists(journalDir() + "old-0.rec"));
  EXPECT_FALSE(fs::exists(journalDir() + "old-1.rec"));
  EXPECT_TRUE(fs::exists(journalDir() + "old-2.rec"));
  EXPECT_EQ(std::distance(fs::directory_iterator(journalDir()), fs::directory_iterator{}), 11);
  closeJournal(held);
}

}  // namespace
