// The store's messages under failures a player can meet: advice that fits the error. (File names
// that cannot send escape sequences to the terminal: tests/e2e/cases/refused-home-with-escapes.case.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>

#include "store/DiskCache.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(StoreFailures, TooLongPathsAndTooManyOpenFilesAreToldAsSuch) {
  EXPECT_THAT([] { checkCache("/" + std::string(5000, 'a') + "/", "highscore", strHash); },
              ThrowsMessage<GameError>(HasSubstr("File name too long; the path is too long")));

  // With no descriptor left the temporary file of the save cannot be opened. (The error above has
  // already loaded what raising one needs, the unwinder and a sanitizer's type checks.)
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit none = saved;
  none.rlim_cur = 0;
  const std::string dir = testing::TempDir() + "store-failures/";
  const auto saveWithNoDescriptor = [&] {
    setrlimit(RLIMIT_NOFILE, &none);
    try {
      toCache({5, 4, 3, 2, 1}, dir, "highscore", strHash);
    } catch (...) {
      setrlimit(RLIMIT_NOFILE, &saved);
      throw;
    }
    setrlimit(RLIMIT_NOFILE, &saved);
  };
  EXPECT_THAT(saveWithNoDescriptor,
              ThrowsMessage<GameError>(HasSubstr("too many files are open; close some programs")));
}

}  // namespace
