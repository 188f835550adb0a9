// The store's messages under failures a player can meet: advice that fits the error, and file
// names that cannot send escape sequences to the terminal.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <set>

#include "store/DiskCache.h"
#include "store/FileMessages.h"

namespace {

template <class Operation>
std::string messageOf(Operation operation) {
  try {
    operation();
  } catch (const GameError& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(StoreFailures, EachCommonErrorGetsAdviceOfItsOwn) {
  std::set<std::string> advice;
  for (const int error : {EMFILE, ENOSPC, EROFS, EACCES, ENAMETOOLONG, EFBIG, ENOTDIR}) {
    const std::string text = withAdvice(error, "the general advice");
    EXPECT_EQ(text.find("the general advice"), std::string::npos) << text;
    advice.insert(text.substr(text.find("; ")));
  }
  EXPECT_EQ(advice.size(), 7u);
  EXPECT_EQ(withAdvice(EIO, "the general advice"), std::string(strerror(EIO)) + "; the general advice");
}

TEST(StoreFailures, TooLongPathsAndTooManyOpenFilesAreToldAsSuch) {
  const std::string tooLong =
      messageOf([] { checkCache("/" + std::string(5000, 'a') + "/", "highscore", strHash); });
  EXPECT_NE(tooLong.find("File name too long; the path is too long"), std::string::npos) << tooLong;

  // With no descriptor left the temporary file of the save cannot be opened. (The error above has
  // already loaded what raising one needs, the unwinder and a sanitizer's type checks.)
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit none = saved;
  none.rlim_cur = 0;
  setrlimit(RLIMIT_NOFILE, &none);
  const std::string dir = testing::TempDir() + "store-failures/";
  const std::string noDescriptor = messageOf([&] { toCache({5, 4, 3, 2, 1}, dir, "highscore", strHash); });
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_NE(noDescriptor.find("too many files are open; close some programs"), std::string::npos)
      << noDescriptor;
}

TEST(StoreFailures, ControlCharactersInFileNamesAreShownEscaped) {
  const std::string message = messageOf([] {
    checkCache(
        "/nonexistent/\x1b[2J\a\x7f\xc2\x9b"
        "1m\\/",
        "highscore", strHash);
  });
  EXPECT_NE(message.find("/nonexistent/\\x1b[2J\\x07\\x7f\\xc2\\x9b1m\\\\/"), std::string::npos) << message;
  EXPECT_EQ(message.find_first_of("\x1b\a\x7f\x9b"), std::string::npos) << message;
  EXPECT_EQ(shown("caf\xc3\xa9 ok"), "caf\xc3\xa9 ok") << "letters of other languages stay";
}
