// libFuzzer target for the high-score decoder: whatever bytes a damaged or hostile score file
// holds, decodeTable either returns a table or throws one of the store's error kinds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "store/DiskCache.h"

namespace {

const std::int32_t highscoreId = strHash("highscore");

// A table the decoder accepted must survive a save and a reload unchanged; otherwise the game
// would silently rewrite a player's scores the next time it saves.
void checkRoundTrip(const std::vector<int>& table) {
  const std::vector<int> reloaded = decodeTable(encodeTable(table, highscoreId), highscoreId);
  if (reloaded != table) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    checkRoundTrip(decodeTable(text, highscoreId));
  } catch (const Invalid_Value&) {
  } catch (const Invalid_Marshalling_ID&) {
  } catch (const Invalid_Function_Table_Hash&) {
  }
  // Any other exception escapes, and libFuzzer reports it as a crash with the input that caused it.
  return 0;
}
