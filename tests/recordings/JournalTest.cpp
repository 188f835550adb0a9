// Tests of the journal files: a run's journal is held while it runs, taken over by a resume with
// its torn last line cut off, moved to last-game.rec at a normal end unless the file-size limit cut
// it short, and only the ten newest cut-off journals are kept. The recording format's documented
// bytes are checked here too.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/TempHome.h"
#include "recordings/Journal.h"

namespace {

namespace fs = std::filesystem;

using ::testing::HasSubstr;
using JournalTest = TempHome;

TEST(RecordingFormat, TheDocumentedBytesReadBackAndATornLastLineIsLeftOut) {
  const std::string text = recordingHeader(1709294400) + keyLine(259) + keyLine(258) + keyLine(110) +
                           tableLine({2400, 1200, 350, 0, 0}) + writtenLine() + keyLine(110);
  EXPECT_EQ(text,
            "gridfall recording 1\nseed 1709294400\nk 259\nk 258\nk 110\nt 2400 1200 350 0 0\nw\nk 110\n");
  const Recording whole = parseRecording(text + "k 26", "x.rec");
  EXPECT_EQ(whole.seed, 1709294400u);
  EXPECT_EQ(whole.wholeBytes, text.size());
  ASSERT_EQ(whole.events.size(), 6u);
  EXPECT_EQ(whole.tableOf(whole.events[3]), (std::vector<int>{2400, 1200, 350, 0, 0}));
  EXPECT_EQ(whole.events[5].key, 110);
  EXPECT_EQ(parseRecording(recordingHeader(4294967295u), "x.rec").seed, 4294967295u);
  for (const char* bad :
       {"k 1 2\n", "k\n", "k +1\n", "k -0\n", "t 1 2 3 4 5 6\n", "t 1 2 3 4 2147483648\n", "K 1\n", "\n"}) {
    EXPECT_THROW(parseRecording(recordingHeader(1) + bad, "x.rec"), RecordingError) << bad;
  }
}

std::string journalNamed(const std::string& rest) { return journalFolder() + "19700101-000000-" + rest; }

// A journal watched as it is written arrives in pieces cut anywhere: whole lines are read as they
// complete, a torn one waits, and a bad line is named by its line in the file.
TEST(RecordingFormat, ARecordingReadAsItGrowsIsTheRecordingReadWhole) {
  const std::string header = recordingHeader(7);
  const std::string text = header + keyLine(259) + tableLine({1, 0, 0, 0, 0}) + writtenLine() + keyLine(110);
  const Recording whole = parseRecording(text, "x.rec");
  for (std::size_t cut = header.size(); cut <= text.size(); ++cut) {
    Recording grown = parseRecording(header, "x.rec");
    continueRecording(grown, text.substr(header.size(), cut - header.size()), "x.rec");
    continueRecording(grown, text.substr(grown.wholeBytes), "x.rec");
    EXPECT_EQ(grown.wholeBytes, text.size());
    ASSERT_EQ(grown.events.size(), whole.events.size());
    for (std::size_t i = 0; i < whole.events.size(); ++i) {
      EXPECT_EQ(grown.events[i].kind, whole.events[i].kind);
      EXPECT_EQ(grown.events[i].key, whole.events[i].key);
    }
    EXPECT_EQ(grown.tables, whole.tables);
  }
  Recording grown = parseRecording(header + keyLine(1), "x.rec");
  EXPECT_THAT(
      [&] { continueRecording(grown, "k 2\nw\n", "x.rec"); },
      ::testing::ThrowsMessage<RecordingError>(HasSubstr("x.rec: line 5: 'w' must follow a 't' line")));
}

TEST_F(JournalTest, AHeldJournalIsLeftAloneAndACutOffOneIsTakenOverWithoutItsTornLine) {
  Journal run = startJournal(42, 0);
  ASSERT_TRUE(run.file.valid()) << run.trouble;
  EXPECT_EQ(run.path, journalNamed(std::to_string(getpid()) + ".rec"));
  appendToJournal(run, keyLine(106));
  appendToJournal(run, "k 10");  // cut off in mid-write
  EXPECT_EQ(takeJournal(run.path).outcome, TakeOutcome::Held);

  closeJournal(run);
  TakenJournal resumed = takeJournal(run.path);
  ASSERT_EQ(resumed.outcome, TakeOutcome::Taken) << resumed.why;
  EXPECT_EQ(resumed.recording.seed, 42u);
  EXPECT_EQ(resumed.recording.events.size(), 1u);
  appendToJournal(resumed.journal, keyLine(107));
  finishJournal(resumed.journal);
  EXPECT_EQ(readFile(lastGamePath()), recordingHeader(42) + "k 106\nk 107\n");
  EXPECT_TRUE(cutOffJournalsNewestFirst().empty());
  EXPECT_EQ(takeJournal(run.path).outcome, TakeOutcome::Gone) << "another resume moved it on";
}

// A journal that stops early is a true beginning of its run; it is never offered for a resume,
// and a normal end still moves it out of the journal folder.
TEST_F(JournalTest, AJournalStoppedByTheFileSizeLimitIsNeverResumed) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit small{64, saved.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  Journal run = startJournal(42, 0);
  for (int i = 0; i < 20; ++i) appendToJournal(run, keyLine(106));
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_THAT(run.trouble, HasSubstr("file-size limit"));
  EXPECT_EQ(readFile(run.path), recordingHeader(42) + "k 106\nk 106\nk 106\nk 106\nk 106\n");
  EXPECT_TRUE(cutOffJournalsNewestFirst().empty());
  finishJournal(run);
  EXPECT_EQ(readFile(lastGamePath()), recordingHeader(42) + "k 106\nk 106\nk 106\nk 106\nk 106\n");
  EXPECT_TRUE(fs::is_empty(journalFolder()));
}

// The writer never makes a journal its reader would refuse, and a strict umask still gets folders
// the game can write in.
TEST_F(JournalTest, AJournalStopsAtTheReadersLimitAndFoldersAreMadeWritableWhateverTheUmask) {
  const mode_t saved = umask(0277);
  Journal run = startJournal(5, 0);
  umask(saved);
  EXPECT_EQ(fs::status(storeFolder()).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(journalFolder()).permissions(), fs::perms::owner_all);
  const std::string megabyte(1 << 20, 'k');
  for (int i = 0; i < 9; ++i) appendToJournal(run, megabyte);
  EXPECT_THAT(run.trouble, HasSubstr("limit of 8 MiB"));
  EXPECT_NO_THROW(readRecordingFile(run.path));
  EXPECT_LE(fs::file_size(run.path), maxRecordingBytes);
  closeJournal(run);
}

// Only files of the journal's own name pattern are journals: others are never pruned, taken or
// removed, and half-made journals are removed only when no running program holds them.
TEST_F(JournalTest, OnlyTheGamesOwnFilesAreTouched) {
  Journal held = startJournal(1, 0);
  for (int i = 0; i < 12; ++i) {
    const std::string path = journalNamed(std::to_string(100 + i) + ".rec");
    std::ofstream(path) << recordingHeader(1);
    const timespec times[2] = {{1000 + i, 0}, {1000 + i, 0}};  // pid 111 is the newest
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  const std::vector<std::string> foreign = {"my-best.rec", "notes.txt", ".19700101-000000-x.new",
                                            "19700101-000000-5.rec.bak"};
  for (const std::string& name : foreign) std::ofstream(journalFolder() + name) << recordingHeader(1);
  const std::string stale = journalFolder() + ".19700101-000000-2147483646.new";  // no such process
  std::ofstream(stale) << "gridfall rec";
  Journal making = startJournal(2, 86400);  // its half-made name is not held once it is in place
  const std::string heldHalf = journalFolder() + ".19700101-000000-8.new";
  std::ofstream(heldHalf) << "x";
  const int holder = open(heldHalf.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);

  pruneJournals(10);
  removeHalfMadeJournals();
  EXPECT_TRUE(fs::exists(held.path));
  for (int i = 100; i < 112; ++i)
    EXPECT_EQ(fs::exists(journalNamed(std::to_string(i) + ".rec")), i >= 102) << i;
  for (const std::string& name : foreign) EXPECT_TRUE(fs::exists(journalFolder() + name)) << name;
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(heldHalf)) << "its maker still runs";
  close(holder);
  const std::vector<std::string> offered = cutOffJournalsNewestFirst();
  EXPECT_EQ(std::count(offered.begin(), offered.end(), journalFolder() + "my-best.rec"), 0);
  closeJournal(held);
  closeJournal(making);
}

// A link planted where the journal is made is never followed, and a journal folder reached through
// a link is refused, so nothing is written or removed in the folder it points to.
TEST_F(JournalTest, PlantedLinksAreNeverFollowed) {
  fs::create_directories(journalFolder());
  fs::permissions(storeFolder(), fs::perms::owner_all, fs::perm_options::replace);
  fs::permissions(journalFolder(), fs::perms::owner_all, fs::perm_options::replace);
  const fs::path victim = home / "victim";
  std::ofstream(victim) << "keep me";
  fs::create_symlink(victim, journalFolder() + ".19700101-000000-" + std::to_string(getpid()) + ".new");
  Journal run = startJournal(3, 0);
  EXPECT_FALSE(run.file.valid());
  EXPECT_EQ(readFile(victim), "keep me");
  // Nor is a file planted at that name taken over, nor a file holding a journal's name replaced.
  fs::remove(journalFolder() + ".19700101-000000-" + std::to_string(getpid()) + ".new");
  std::ofstream(journalFolder() + ".19700101-000000-" + std::to_string(getpid()) + ".new") << "keep me";
  EXPECT_FALSE(startJournal(3, 0).file.valid());
  EXPECT_EQ(readFile(journalFolder() + ".19700101-000000-" + std::to_string(getpid()) + ".new"), "keep me");
  fs::remove(journalFolder() + ".19700101-000000-" + std::to_string(getpid()) + ".new");
  std::ofstream(journalNamed(std::to_string(getpid()) + ".rec")) << "an older run";
  Journal second = startJournal(3, 0);
  EXPECT_EQ(second.path, journalNamed(std::to_string(getpid()) + "-2.rec"));
  EXPECT_EQ(readFile(journalNamed(std::to_string(getpid()) + ".rec")), "an older run");
  closeJournal(second);

  fs::remove_all(journalFolder());
  fs::create_directories(home / "elsewhere");
  std::ofstream(home / "elsewhere" / "19700101-000000-9.rec") << recordingHeader(1);
  fs::create_directory_symlink(home / "elsewhere", journalFolder().substr(0, journalFolder().size() - 1));
  pruneJournals(0);
  EXPECT_THROW(cutOffJournalsNewestFirst(), RecordingError);
  EXPECT_TRUE(fs::exists(home / "elsewhere" / "19700101-000000-9.rec"));
  EXPECT_THAT(startJournal(4, 0).trouble, HasSubstr("symbolic link"));
}

}  // namespace
